#include "EditorFixture.h"

#include "editor/SplashWindow.h"
#include "platform_ui/PaintableDisplay.h"

#include <QFileSystemWatcher>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWindow>

#include <csignal>

namespace kivo::test {
namespace {

const QString kWarning = QStringLiteral(
    "現在のカラーモード（画面の色では正しく作動しません。デスクトップで右クリックし、"
    "プロパティーを選択して変更してください。");

// What the real canvas gives back on a display that keeps colours in `format`.
SplashWindow::PixelReader displayOf(QImage::Format format) {
  return [format](const QPixmap& canvas, QPoint at) {
    return canvas.toImage().convertToFormat(format).pixel(at);
  };
}

struct Display {
  const char* name;
  QImage::Format format;
  bool warns;
};

// Five bits of red are enough: 8 is the 8-bit value of level 1.
const Display kDisplays[] = {
    {"TrueColour32", QImage::Format_RGB32, false},
    {"TrueColour24", QImage::Format_RGB888, false},
    {"HighColour16", QImage::Format_RGB16, false},
    {"HighColour15", QImage::Format_RGB555, false},
    {"Colours4096", QImage::Format_RGB444, true},
    {"Grey256", QImage::Format_Grayscale8, true},
    {"Mono", QImage::Format_Mono, true},
};

class StartUp : public EditorHarness, public ::testing::WithParamInterface<Display> {
 protected:
  StartUp() : EditorHarness(displayOf(GetParam().format)) {}

  // What a window manager would have made of the last activations.
  static QWidget* active() {
    QCoreApplication::processEvents();
    return QApplication::activeWindow();
  }
};

TEST_P(StartUp, ChecksOnceAfter800msThenLeavesTheMainWindowInFront) {
  const Display& display = GetParam();
  editor.start();

  QPointer<SplashWindow> splash = editor.splash().peek();
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(shown(QStringLiteral("Form5")), splash.data());
  EXPECT_NE(shown(QStringLiteral("Form2")), nullptr);
  EXPECT_NE(shown(QStringLiteral("Form1")), nullptr);
  EXPECT_EQ(active(), splash.data()) << "the splash stands in front";
  EXPECT_EQ(splash->canvas().depth(), splash->screen()->depth()) << "the display's own format";

  clock.advance(SplashWindow::kCheckMs - 1);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(editor.splash().loaded());

  // The box is modal: the splash stays up behind it, and the ticks that
  // arrive meanwhile are no second check.
  bool splashBehindBox = false;
  host.whileBoxOpen = [&] {
    splashBehindBox = shown(QStringLiteral("Form5")) != nullptr;
    host.whileBoxOpen = nullptr;
    clock.advance(3 * SplashWindow::kCheckMs);
  };
  clock.advance(1);
  EXPECT_EQ(host.messages, display.warns ? std::vector<QString>{kWarning} : std::vector<QString>{});
  EXPECT_EQ(splashBehindBox, display.warns);
  ASSERT_FALSE(splash.isNull());
  EXPECT_EQ(splash->canvas().toImage().pixel(1, 1), qRgb(8, 0, 0)) << "drawn on the canvas";

  EXPECT_FALSE(editor.splash().loaded());
  EXPECT_EQ(shown(QStringLiteral("Form5")), nullptr);
  EXPECT_NE(shown(QStringLiteral("Form2")), nullptr);
  EXPECT_EQ(active(), window()) << "the main window comes forward, active";

  clock.advance(10 * SplashWindow::kCheckMs);
  EXPECT_EQ(host.messages.size(), display.warns ? 1u : 0u);
  EXPECT_EQ(shown(QStringLiteral("Form5")), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Displays, StartUp, ::testing::ValuesIn(kDisplays),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GreyDisplay, ColourMapRunsFromBlackToWhite) {
  EXPECT_EQ(greyLevel(0), 0);
  EXPECT_EQ(greyLevel(8), 8 * 257);
  EXPECT_EQ(greyLevel(255), 65535);
}

// As root without a runtime folder: Qt's settings go to a private folder
// that no one can foresee, with no warning, and it goes with a logout.
TEST(EndedBySignal, LeavesNoSettingsFolder) {
  for (const auto& [path, signal] : {std::pair{KIVO_EDITOR, SIGTERM}, std::pair{KIVO_PLAYER, SIGHUP}}) {
    SCOPED_TRACE(path);
    QTemporaryDir tmp;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    env.insert(QStringLiteral("TMPDIR"), tmp.path());
    QProcess program;
    program.setProcessEnvironment(env);
    QFileSystemWatcher watcher({tmp.path()});
    QSignalSpy made(&watcher, &QFileSystemWatcher::directoryChanged);
    program.start(QString::fromUtf8(path), {});
    ASSERT_TRUE(made.wait(10000));
    const QFileInfoList folders = QDir(tmp.path()).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 1);
    EXPECT_NE(folders[0].fileName(), QStringLiteral("kivo-settings-%1").arg(program.processId()));
    EXPECT_EQ(folders[0].permissions().toInt() & 0077, 0) << "for the owner alone";

    ::kill(static_cast<pid_t>(program.processId()), signal);
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(QDir(tmp.path()).isEmpty());
    EXPECT_FALSE(program.readAllStandardError().contains("XDG_RUNTIME_DIR"));
  }
}

struct Place {
  const char* name;
  QRect rect;  // pixels in the splash
};

const Place kSplashPlaces[] = {
    {"Image1", {16, 16, 200, 200}}, {"Label2", {16, 216, 49, 17}},
    {"Label1", {152, 200, 73, 17}}, {"Picture1", {48, 360, 49, 9}},
    {"Line4", {8, 8, 217, 1}},      {"Line3", {224, 8, 1, 233}},
    {"Line2", {8, 240, 217, 1}},    {"Line1", {8, 8, 1, 233}},
};

TEST_F(EditorTest, SplashIsABorderlessCentredWhiteSquareWithLogoLabelsAndFrame) {
  SplashWindow* splash = editor.splash().peek();
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(splash->objectName(), "Form5");
  EXPECT_EQ(splash->windowTitle(), "Form5");
  EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(splash->size(), QSize(233, 249));
  const QPoint off = splash->geometry().center() - splash->screen()->availableGeometry().center();
  EXPECT_LE(off.manhattanLength(), 2) << "centred";
  EXPECT_EQ(splash->palette().color(splash->backgroundRole()), QColor(Qt::white));
  EXPECT_EQ(splash->timerInterval(), SplashWindow::kCheckMs) << "running from the load";

  for (const Place& p : kSplashPlaces) {
    auto* c = splash->findChild<QWidget*>(QString::fromLatin1(p.name));
    ASSERT_NE(c, nullptr) << p.name;
    EXPECT_EQ(c->geometry(), p.rect) << p.name;
  }
  EXPECT_FALSE(splash->rect().intersects(splash->findChild<QWidget*>("Picture1")->geometry()))
      << "the canvas is never seen";
  EXPECT_EQ(splash->findChild<QLabel*>("Label2")->text(), "起動中...");
  EXPECT_EQ(splash->findChild<QLabel*>("Label1")->text(), "KORVANEST");
  const QColor ink = splash->palette().color(QPalette::WindowText);
  EXPECT_EQ(splash->findChild<QWidget*>("Line1")->palette().color(QPalette::Window), ink);
}

// A manager may minimise the splash at once; its time runs on.
TEST_F(EditorTest, AMinimisedSplashStillChecksAndGoes) {
  editor.splash().peek()->windowHandle()->showMinimized();
  QCoreApplication::processEvents();
  clock.advance(SplashWindow::kCheckMs);
  EXPECT_FALSE(editor.splash().loaded());
}

TEST_F(EditorTest, ClosingTheMainWindowUnderTheSplashEndsTheEditorForGood) {
  window()->close();
  clock.advance(2 * SplashWindow::kCheckMs);
  EXPECT_EQ(window(), nullptr) << "the check brings no window back";
  for (const char* form : {"Form1", "Form2", "Form5"})
    EXPECT_EQ(shown(QString::fromLatin1(form)), nullptr) << form;
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace kivo::test
