#include "EditorFixture.h"

#include <QDir>
#include <QFontDatabase>
#include <QImage>

namespace kivo::test {
namespace {

// A missing Japanese font draws boxes without a word of warning.
TEST(Fonts, AJapaneseFontIsInstalled) {
  EXPECT_FALSE(QFontDatabase::families(QFontDatabase::Japanese).isEmpty());
}

// Writes the window's picture for a person to look at.
TEST_F(EditorTest, ScreenshotOfTheMainWindow) {
  const QString folder = qEnvironmentVariable("KIVO_SHOTS", QDir::tempPath());
  ASSERT_TRUE(QDir().mkpath(folder));
  line(1)->setText(QStringLiteral("231"));
  line(12)->setText(QStringLiteral("10545"));
  trigger("mnuzikkouw");
  const QImage shot = window()->grab().toImage();
  EXPECT_EQ(shot.size(), window()->size());
  EXPECT_TRUE(shot.save(QDir(folder).filePath(QStringLiteral("main_window.png"))));
}

}  // namespace
}  // namespace kivo::test
