#include "platform_ui/JapaneseTexts.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(JapaneseTexts, QtsOwnDialogsSpeakJapanese) {
  QObject owner;
  ASSERT_TRUE(useJapaneseQtTexts(&owner)) << "the Qt translations are installed by the setup";
  const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
  EXPECT_NE(cancel, "Cancel");
  EXPECT_FALSE(cancel.isEmpty());
}

}  // namespace
}  // namespace kivo
