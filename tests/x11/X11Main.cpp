#include "support/XServer.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// These tests run on a real X server with a window manager: frames, taskbar
// states and maximising exist only there. `--manager=xfwm4` runs them under
// xfwm4 instead of openbox.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  QString manager = QStringLiteral("openbox");
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--manager=", 10) == 0) manager = QString::fromLocal8Bit(argv[i] + 10);
  const kivo::test::XServer server("1280x1024x24", manager);
  if (!server.ready()) {
    std::fprintf(stderr, "x11 tests: %s\n", qPrintable(server.problem()));
    return 1;
  }
  setenv("DISPLAY", qPrintable(server.display()), 1);
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
