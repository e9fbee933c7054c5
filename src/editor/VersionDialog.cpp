#include "editor/VersionDialog.h"

namespace kivo {

VersionDialog::VersionDialog() : QWidget(nullptr, Qt::Window) {
  setObjectName(QStringLiteral("Form11"));
  setWindowTitle(QStringLiteral("バージョン情報"));
  setAttribute(Qt::WA_DeleteOnClose);
}

}  // namespace kivo
