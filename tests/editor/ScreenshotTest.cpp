#include "EditorFixture.h"

#include "editor/SplashWindow.h"

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

// Writes a window's picture for a person to look at.
void saveShot(QWidget* window, const char* file) {
  ASSERT_NE(window, nullptr) << file;
  const QString folder = qEnvironmentVariable("KIVO_SHOTS", QDir::tempPath());
  ASSERT_TRUE(QDir().mkpath(folder));
  const QImage shot = window->grab().toImage();
  EXPECT_EQ(shot.size(), window->size()) << file;
  EXPECT_TRUE(shot.save(QDir(folder).filePath(QString::fromLatin1(file)))) << file;
}

TEST_F(EditorTest, ScreenshotOfTheMainWindow) {
  line(1)->setText(QStringLiteral("231"));
  line(12)->setText(QStringLiteral("10545"));
  trigger("mnuzikkouw");
  saveShot(window(), "main_window.png");
}

TEST_F(EditorTest, ScreenshotsOfSplashMonitorVersionAndHelp) {
  saveShot(editor.splash().peek(), "splash.png");
  control<QComboBox>(QStringLiteral("Combo1"))->setEditText(QStringLiteral("8508"));
  QTest::mouseClick(control(QStringLiteral("Command10")), Qt::LeftButton);
  saveShot(window(), "monitor.png");
  trigger("mnubazyon");
  saveShot(shown(QStringLiteral("Form11")), "version.png");
  trigger("mnuhelpdd");
  saveShot(shown(QStringLiteral("Form12")), "help.png");
}

}  // namespace
}  // namespace kivo::test
