#include "X11Session.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>

// These tests run on a real X server with a window manager: frames, taskbar
// states and maximising exist only there.
int main(int argc, char** argv) {
  kivo::test::X11Session session;
  if (!session.ready()) {
    std::fprintf(stderr, "x11 tests: %s\n", qPrintable(session.problem()));
    return 1;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
