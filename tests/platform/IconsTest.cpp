#include "platform_ui/Icons.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

// Every toolbar picture and the program's icon come at both sizes that the
// desktop and the toolbar ask for.
TEST(Icons, EachComesAt16And32) {
  std::vector<QIcon> icons = {programIcon()};
  for (const char* name : {"new", "open", "save", "copy", "paste", "monitor", "run", "stop", "help"})
    icons.push_back(toolbarIcon(name));
  for (const QIcon& icon : icons) {
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_EQ(sizes.size(), 2);
    EXPECT_TRUE(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)));
  }
}

// Managers draw an icon of their own for a window that has none.
TEST(Icons, NoIconIsOneThatShowsNothing) {
  QImage clear(16, 16, QImage::Format_ARGB32_Premultiplied);
  clear.fill(Qt::transparent);
  EXPECT_EQ(noIcon().pixmap(16).toImage().convertToFormat(clear.format()), clear);
}

}  // namespace
}  // namespace kivo
