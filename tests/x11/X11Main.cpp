#include "X11Session.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>
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
  kivo::test::X11Session session(manager);
  if (!session.ready()) {
    std::fprintf(stderr, "x11 tests: %s\n", qPrintable(session.problem()));
    return 1;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
