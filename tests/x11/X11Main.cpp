#include "X11Session.h"
#include "support/Windows.h"
#include "support/XServer.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Nothing of a test stays on the screen for the next: a window left behind
// fails the test that left it, and goes.
class NoWindowLeft final : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override {
    using namespace kivo::test;
    flushDeletes();
    const auto noneShown = [] {
      const auto windows = windowsOf(QCoreApplication::applicationPid());
      return std::none_of(windows.begin(), windows.end(), [](const ClientWindow& w) { return w.viewable; });
    };
    if (settle(noneShown)) return;
    ADD_FAILURE() << "the test left a window on the screen";
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    settle(noneShown);
  }
};

}  // namespace

// These tests run on a real X server with a window manager: frames, taskbar
// states and maximising exist only there. `--manager=xfwm4` (icewm,
// fluxbox) runs them under that manager instead of openbox.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  QString manager = QStringLiteral("openbox");
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--manager=", 10) == 0) manager = QString::fromLocal8Bit(argv[i] + 10);
  qputenv("KIVO_X11_MANAGER", manager.toLatin1());
  const kivo::test::XServer server("1280x1024x24", manager);
  if (!server.ready()) {
    std::fprintf(stderr, "x11 tests: %s\n", qPrintable(server.problem()));
    return 1;
  }
  setenv("DISPLAY", qPrintable(server.display()), 1);
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  // Ahead of the printer, so that the test's verdict counts its windows.
  auto& listeners = ::testing::UnitTest::GetInstance()->listeners();
  auto* printer = listeners.Release(listeners.default_result_printer());
  listeners.Append(new NoWindowLeft);
  listeners.Append(printer);
  return RUN_ALL_TESTS();
}
