#include "editor/HelpWindow.h"

namespace kivo {

HelpWindow::HelpWindow() : QWidget(nullptr, Qt::Window) {
  setObjectName(QStringLiteral("Form12"));
  setWindowTitle(QStringLiteral("簡易ヘルプ"));
  setAttribute(Qt::WA_DeleteOnClose);
}

}  // namespace kivo
