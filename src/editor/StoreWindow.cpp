#include "editor/StoreWindow.h"

#include "platform/WindowGeometry.h"

namespace kivo {

StoreWindow::StoreWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Form2"));
  setFixedSize(twipsSizeToPixels(90, 90));
  centreOnScreen(*this);
}

}  // namespace kivo
