#include "X11Session.h"

#include "editor/Editor.h"
#include "editor/MainWindow.h"
#include "platform/TimerSet.h"
#include "platform_ui/WindowFrame.h"
#include "platform_ui/Xcb.h"
#include "platform/Twips.h"
#include "runner_ui/RunWindow.h"
#include "store/Store.h"
#include "support/FakeHost.h"
#include "support/QtPrinters.h"
#include "support/Windows.h"

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QThread>

#include <gtest/gtest.h>

namespace kivo::test {
namespace {

void xdotool(const char* command, QWidget* w) {
  run(QStringLiteral("xdotool"), {QLatin1String(command), QString::number(w->winId())});
}

struct Started : ::testing::Test {
  Store store;
  FakeHost host;
  FlushDeletesAtEnd flush;
  VirtualClock clock;
  Editor editor{store, host, clock};
  void start() {
    editor.start();
    clock.advance(800);
  }
};

// The windows with no taskbar entry: a dialog comes back through its menu
// item, the main window through the taskbar entry it has while minimised.
TEST_F(Started, EveryWindowComesBackUnminimisedAndActive) {
  start();
  MainWindow* main = editor.mainWindow();
  for (const auto& [item, form] : {std::pair{"mnuaiti", "Form4"}, {"mnumazisettei1", "Form6"},
                                   {"mnubazyon", "Form11"}, {"mnuhelpdd", "Form12"}, {"", "Form1"}}) {
    auto choose = [&, item = item, form = form]() -> QWidget* {
      if (!*item) return xdotool("windowactivate", main), main;
      main->findChild<QAction*>(QLatin1String(item))->trigger();
      for (QWidget* t : QApplication::topLevelWidgets())
        if (t->objectName() == QLatin1String(form) && t->isVisible()) return t;
      return nullptr;
    };
    QWidget* w = *item ? choose() : (showInFront(*main), main);
    // Until then the manager may still be asked to activate it, which brings it back.
    ASSERT_TRUE(w && settle([&] { return activeWindow() == w->winId(); })) << form;
    xdotool("windowminimize", w);
    auto seen = [&](bool minimised) {
      return settle([&] {
        return w->isMinimized() == minimised && seenWindow(w->winId()).viewable != minimised &&
               (activeWindow() == w->winId() || minimised) &&
               !netWmState(w->winId()).contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")) == minimised;
      });
    };
    EXPECT_TRUE(seen(true)) << form << " is minimised, with a taskbar entry";
    EXPECT_EQ(choose(), w);
    EXPECT_TRUE(seen(false)) << form << " is back, active, without a taskbar entry";
  }
}

// No window has an owner: the main window comes in front of the run window
// and the dialogs, which xfwm4 kept above a group's other windows.
TEST_F(Started, TheMainWindowComesInFrontOfTheRunWindowAndTheDialogs) {
  start();
  MainWindow* main = editor.mainWindow();
  for (const char* item : {"mnubazyon", "mnuhelpdd", "mnuaiti", "mnumazisettei1", "mnubazyon"})
    main->findChild<QAction*>(QLatin1String(item))->trigger();
  store.setFormShape(QStringLiteral("24"));
  store.setFormSize(QStringLiteral("0"));
  editor.launcher().start();
  ASSERT_TRUE(clock.advanceUntil([&] { return editor.launcher().window()->isVisible(); }, 200));
  pump(1000);  // every window on screen, framed
  xdotool("windowactivate", main);
  EXPECT_TRUE(settle([&] {
    const auto widgets = QApplication::topLevelWidgets();
    return std::ranges::all_of(widgets, [&](QWidget* w) {
      return !w->isVisible() || seenWindow(w->winId()).stacked <= seenWindow(main->winId()).stacked;
    });
  }));
}

// Under a manager that never answers frame requests (fluxbox) only the first
// one waits; windows then go by the frames they get on screen.
TEST_F(Started, UnderASilentManagerAsksOnceAndPlacesByTheFrameOnScreen) {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);  // sees the requests the manager gets
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, xcb::rootOf(c), XCB_CW_EVENT_MASK, &mask);
  const xcb_atom_t request = xcb::internAtom(c, "_NET_REQUEST_FRAME_EXTENTS");
  if (qgetenv("KIVO_X11_MANAGER") != "fluxbox") GTEST_SKIP() << "for fluxbox, which never answers";
  start();
  // The work area as it stands: fluxbox may set it after it frames windows.
  auto centred = [](QWidget* w) {
    return settle([&] {
      const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
      return (seenWindow(w->winId()).frame.center() - middle).manhattanLength() <= 2;
    });
  };
  EXPECT_TRUE(centred(editor.mainWindow())) << "by its frame";
  ASSERT_TRUE(settle([&] { return frameOnScreen(*editor.mainWindow()).has_value(); }));
  const QSize design = twipsSizeToPixels(8370, 6765).grownBy(*frameOnScreen(*editor.mainWindow()));
  const struct {
    RunVariant variant;
    const char *shape, *size;
    QSize outer;
  } rows[] = {{RunVariant::Player, "8", "24", {400, 400}}, {RunVariant::Editor, "8", "24", {400, 400}},
              {RunVariant::Player, "0", "0", design}, {RunVariant::Player, "33", "24", {400, 400}}};
  for (const auto& [variant, shape, size, outer] : rows) {
    SCOPED_TRACE(shape);
    store.setFormShape(QLatin1String(shape));
    store.setFormSize(QLatin1String(size));
    RunLauncher launcher(store, host, clock, variant);
    RunWindow* w = launcher.load();
    auto mappedAt = [&] {  // where the manager first shows it, before Qt can move it
      for (int ms = 0; ms < 1000 && !seenWindow(w->winId()).viewable; ++ms) QThread::msleep(1);
      return seenWindow(w->winId()).frame.topLeft();
    };
    QPoint before;
    if (variant == RunVariant::Player) {
      w->show();
      EXPECT_TRUE(centred(w)) << "by its frame";
      before = mappedAt();
      // A user starts a run long after; by then Qt has taken in where the
      // manager put the window, frame and client area.
      EXPECT_TRUE(settle([&] {
        return w->frameGeometry().topLeft() == before && w->geometry().topLeft() != before;
      }));
    }
    launcher.start();
    // Tick by tick with the events between, as the real clock runs it.
    for (int tick = 0; tick < 200 && !w->isVisible(); ++tick) {
      clock.advance(1);
      QCoreApplication::processEvents();
    }
    EXPECT_TRUE(w->isVisible());
    const QPoint mapped = mappedAt();
    EXPECT_TRUE(settle([&] { return seenWindow(w->winId()).frame == QRect(mapped, outer); }))
        << "the frame keeps the corner it was mapped at and takes its size";
    if (variant == RunVariant::Player) {
      EXPECT_EQ(mapped, before) << "where it stood before the run";
    }
  }
  int requests = 0;
  while (const xcb::Reply<xcb_generic_event_t> e{xcb_poll_for_event(c)})
    requests += (e->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                reinterpret_cast<const xcb_client_message_event_t*>(e.get())->type == request;
  EXPECT_EQ(requests, 1);
  xcb_disconnect(c);
}

}  // namespace
}  // namespace kivo::test
