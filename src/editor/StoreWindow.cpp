#include "editor/StoreWindow.h"

#include "platform_ui/WindowGeometry.h"

namespace kivo {

// It takes no input, so it takes no focus either: a manager that gives the
// focus on to it (xfwm4 does, when the splash goes) would leave the user's
// keys with a window of 6 x 6 pixels.
StoreWindow::StoreWindow()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Form2"));
  setFixedSize(twipsSizeToPixels(90, 90));
  setInTaskbar(*this, false);
  centreOnScreen(*this);
}

}  // namespace kivo
