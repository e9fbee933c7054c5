#include "X11Session.h"

#include "editor/Editor.h"
#include "editor/MainWindow.h"
#include "platform/TimerSet.h"
#include "platform_ui/WindowFrame.h"
#include "platform_ui/WindowGeometry.h"
#include "platform/Twips.h"
#include "runner_ui/RunLauncher.h"
#include "runner_ui/RunWindow.h"
#include "store/Store.h"
#include "support/FakeHost.h"
#include "support/Windows.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace kivo::test {
namespace {

bool near(const QRect& a, const QRect& b) {
  return std::abs(a.left() - b.left()) <= 1 && std::abs(a.top() - b.top()) <= 1 &&
         std::abs(a.width() - b.width()) <= 1 && std::abs(a.height() - b.height()) <= 1;
}

bool near(QPoint a, QPoint b) { return (a - b).manhattanLength() <= 1; }

bool near(const QSize& a, const QSize& b) {
  return std::abs(a.width() - b.width()) <= 1 && std::abs(a.height() - b.height()) <= 1;
}

QRect freeArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

bool centred(const QRect& frame) {
  const QRect free = freeArea();
  return std::abs((frame.left() - free.left()) - (free.right() - frame.right())) <= 2 &&
         std::abs((frame.top() - free.top()) - (free.bottom() - frame.bottom())) <= 2;
}

// The run window's design: its client area in a fixed tool window's frame,
// as the manager draws one.
QSize designOuterSize() {
  static const QSize outer = [] {
    QWidget tool(nullptr, kToolWindowFlags);
    tool.setFixedSize(twipsSizeToPixels(8370, 6765));
    tool.show();
    EXPECT_TRUE(settle([&] { return seenWindow(tool.winId()).frame.size() != tool.size(); }));
    return seenWindow(tool.winId()).frame.size();
  }();
  return outer;
}

void saveShot(const QString& name) { kivo::test::saveShot(screen(), name); }

class X11Test : public ::testing::Test {
 protected:
  void TearDown() override { flushDeletes(); }  // while the clock stands

  // Starts a run and steps its set-up tick by tick, checking that the window
  // is not mapped all the while; returns once it has shown itself.
  RunWindow* runUntilShown(RunLauncher& launcher) {
    launcher.start();
    RunWindow* w = launcher.window();
    FrameWatch setUp;
    for (int tick = 1; tick <= 60; ++tick) {
      clock.advance(1);
      QCoreApplication::processEvents();
    }
    pump(40);  // time for the manager to frame what was mapped
    EXPECT_TRUE(setUp.placesSinceMapped(w->winId()).empty()) << "seen during set-up";
    EXPECT_TRUE(clock.advanceUntil([&] { return w->isVisible(); }, 100));
    EXPECT_TRUE(settle([&] { return seenWindow(w->winId()).viewable; }));
    return w;
  }

  FrameWatch watch;
  Store store;
  FakeHost host;
  VirtualClock clock;
};

struct SizeCase {
  const char* name;
  const char* shape;
  const char* size;
  int widthTwips, heightTwips;
};

const SizeCase kSizes[] = {
    {"sizableMedium", "8", "24", 6000, 6000},    {"fixedSingleMedium", "16", "24", 6000, 6000},
    {"toolWindowMedium", "24", "24", 6000, 6000}, {"noBorderMedium", "33", "24", 6000, 6000},
    {"sizableLarge", "8", "16", 8400, 7000},     {"sizableSmall", "8", "33", 4600, 5000},
    {"toolWindowLarge", "24", "16", 8400, 7000}, {"fixedSingleSmall", "16", "33", 4600, 5000},
    {"sizableOutside", "8", "7", 0, 0},          {"fixedSingleOutside", "16", "7", 0, 0},
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }

class OuterSize : public X11Test, public ::testing::WithParamInterface<SizeCase> {};

// The size codes give the window's outer size, frame and title bar included,
// and a size keeps the top left corner where the window stood at its load.
TEST_P(OuterSize, TheFrameHasTheTablesSize) {
  const SizeCase& c = GetParam();
  store.setFormShape(QString::fromLatin1(c.shape));
  store.setFormSize(QString::fromLatin1(c.size));
  RunLauncher launcher(store, host, clock, RunVariant::Editor);
  RunWindow* w = runUntilShown(launcher);
  // A size outside the table keeps the design client area.
  const auto outer = [&] {
    return c.widthTwips ? twipsSizeToPixels(c.widthTwips, c.heightTwips)
                        : twipsSizeToPixels(8370, 6765).grownBy(frameOnScreen(*w).value_or(QMargins()));
  };
  EXPECT_TRUE(settle([&] { return near(seenWindow(w->winId()).frame.size(), outer()); }))
      << "frame " << seenWindow(w->winId()).frame.width() << " x "
      << seenWindow(w->winId()).frame.height() << ", wanted " << outer().width() << " x "
      << outer().height();

  // Mapped once where the window stood when it was loaded, centred at its
  // design size, and not moved in its first moments on screen.
  pump(150);
  const QSize design = designOuterSize();
  const QRect free = freeArea();
  const QPoint corner = free.topLeft() + QPoint((free.width() - design.width()) / 2,
                                                (free.height() - design.height()) / 2);
  const std::vector<QPoint> places = watch.placesSinceMapped(w->winId());
  ASSERT_FALSE(places.empty());
  EXPECT_TRUE(places.size() == 1 && near(places[0], corner))
      << "mapped at " << places[0].x() << "," << places[0].y() << ", " << places.size() - 1
      << " moves, design corner " << corner.x() << "," << corner.y();
  saveShot(QStringLiteral("x11_run_%1.png").arg(QLatin1String(c.name)));
}

INSTANTIATE_TEST_SUITE_P(Codes, OuterSize, ::testing::ValuesIn(kSizes),
                         [](const auto& info) { return std::string(info.param.name); });

// The player shows its run window before the run and hides it for the
// set-up; when the run shows it again it stands where it stood.
TEST_F(X11Test, PlayerRunWindowKeepsItsPlaceThroughTheSetUp) {
  RunLauncher launcher(store, host, clock, RunVariant::Player);
  RunWindow* w = launcher.load();
  w->show();
  ASSERT_TRUE(settle([&] { return seenWindow(w->winId()).viewable; }));
  pump(200);
  const QPoint before = seenWindow(w->winId()).frame.topLeft();
  runUntilShown(launcher);
  const QSize outer = twipsSizeToPixels(6000, 6000);
  EXPECT_TRUE(settle([&] {
    const SeenWindow seen = seenWindow(w->winId());
    return near(seen.frame, QRect(before, outer));
  })) << "frame at " << seenWindow(w->winId()).frame.left() << "," << seenWindow(w->winId()).frame.top()
      << ", stood at " << before.x() << "," << before.y();
}

// openbox draws no resize grip round a fixed window.
TEST_F(X11Test, FixedAndSizableWindowsArePromisedTheFramesTheyGet) {
  for (bool fixed : {true, false, true}) {
    QWidget w(nullptr, kToolWindowFlags);
    fixed ? w.setFixedSize(300, 200) : w.resize(300, 200);
    const QMargins promised = frameMargins(w);
    w.show();
    EXPECT_TRUE(settle([&] { return frameOnScreen(w) == promised; }))
        << (fixed ? "fixed" : "sizable") << ", promised bottom " << promised.bottom();
  }
}

class Maximised : public X11Test, public ::testing::WithParamInterface<const char*> {};

TEST_P(Maximised, FillsTheScreenWhateverTheBorder) {
  store.setFormShape(QString::fromLatin1(GetParam()));
  store.setFormSize(QStringLiteral("8"));
  for (RunVariant variant : {RunVariant::Editor, RunVariant::Player}) {
    RunLauncher launcher(store, host, clock, variant);
    RunWindow* w = runUntilShown(launcher);
    EXPECT_TRUE(settle([&] { return near(seenWindow(w->winId()).frame, freeArea()); }))
        << "shape " << GetParam() << (variant == RunVariant::Editor ? ", editor" : ", player")
        << ": frame " << seenWindow(w->winId()).frame.width() << " x "
        << seenWindow(w->winId()).frame.height();
    launcher.stop();
    flushDeletes();
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, Maximised, ::testing::Values("8", "16", "24", "33", "0"));

bool skipsTaskbar(unsigned long id) {
  return netWmState(id).contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR"));
}

// Only the player's run window has a taskbar entry, whatever border a shape
// code gives it; the editor's main window and run window have none.
TEST_F(X11Test, TaskbarEntries) {
  for (const char* shape : {"8", "16", "24", "33", "0"}) {
    store.setFormShape(QString::fromLatin1(shape));
    for (RunVariant variant : {RunVariant::Editor, RunVariant::Player}) {
      RunLauncher launcher(store, host, clock, variant);
      RunWindow* w = runUntilShown(launcher);
      EXPECT_TRUE(settle([&] { return skipsTaskbar(w->winId()) == (variant == RunVariant::Editor); }))
          << "shape " << shape << (variant == RunVariant::Editor ? ", editor" : ", player");
      launcher.stop();
      flushDeletes();
    }
  }
}

TEST_F(X11Test, MainWindowIsCentredWhiteAndOutOfTheTaskbar) {
  Editor editor(store, host, clock);
  editor.start();
  MainWindow* w = editor.mainWindow();
  ASSERT_TRUE(settle([&] { return seenWindow(w->winId()).viewable; }));

  clock.advance(800);  // the splash checks the display and goes
  ASSERT_TRUE(settle([&] { return activeWindow() == w->winId(); }))
      << "the main window comes to the front, active, once the splash has gone";
  EXPECT_TRUE(skipsTaskbar(w->winId()));
  const SeenWindow seen = seenWindow(w->winId());
  EXPECT_TRUE(centred(seen.frame)) << seen.frame.left() << "," << seen.frame.top() << " "
                                   << seen.frame.width() << " x " << seen.frame.height();

  // A point of the client area that no control covers shows the window
  // colour, once what the splash covered is painted again.
  const QPoint client = w->centralWidget()->mapToGlobal(twipsToPixels(7100, 4000));
  EXPECT_TRUE(settle([&] { return screen().pixel(client) == qRgb(255, 255, 255); }));
  saveShot(QStringLiteral("x11_main_window.png"));
}

}  // namespace
}  // namespace kivo::test
