#include "EditorFixture.h"

#include "editor/SplashWindow.h"
#include "support/Windows.h"

#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QImage>

namespace kivo::test {
namespace {

// A missing Japanese font draws boxes without a word of warning.
TEST(Fonts, AJapaneseFontIsInstalled) {
  EXPECT_FALSE(QFontDatabase::families(QFontDatabase::Japanese).isEmpty());
}

TEST_F(EditorTest, ScreenshotOfTheMainWindow) {
  line(1)->setText(QStringLiteral("231"));
  line(12)->setText(QStringLiteral("10545"));
  trigger("mnuzikkouw");
  saveShot(window(), QStringLiteral("main_window.png"));
}

TEST_F(EditorTest, ScreenshotsOfSplashMonitorVersionAndHelp) {
  saveShot(editor.splash().peek(), QStringLiteral("splash.png"));
  control<QComboBox>(QStringLiteral("Combo1"))->setEditText(QStringLiteral("8508"));
  QTest::mouseClick(control(QStringLiteral("Command10")), Qt::LeftButton);
  saveShot(window(), QStringLiteral("monitor.png"));
  trigger("mnubazyon");
  saveShot(shown(QStringLiteral("Form11")), QStringLiteral("version.png"));
  trigger("mnuhelpdd");
  saveShot(shown(QStringLiteral("Form12")), QStringLiteral("help.png"));
}

}  // namespace
}  // namespace kivo::test
