#include "settings/PlacementDialog.h"

namespace kivo {

PlacementDialog::PlacementDialog() : QWidget(nullptr, Qt::Window) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("ボタンの配置"));
  setAttribute(Qt::WA_DeleteOnClose);
}

}  // namespace kivo
