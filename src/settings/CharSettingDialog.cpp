#include "settings/CharSettingDialog.h"

namespace kivo {

CharSettingDialog::CharSettingDialog(int setting) : QWidget(nullptr, Qt::Window), setting_(setting) {
  setObjectName(QStringLiteral("Form%1").arg(5 + setting));
  setWindowTitle(QStringLiteral("文字設定    %1").arg(setting));
  setAttribute(Qt::WA_DeleteOnClose);
}

}  // namespace kivo
