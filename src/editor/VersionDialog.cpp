#include "editor/VersionDialog.h"

#include "platform/Host.h"
#include "platform_ui/WindowGeometry.h"

#include <QLabel>
#include <QPushButton>

namespace kivo {

VersionDialog::VersionDialog(Host& host)
    : FixedWindow(kToolWindowFlags, "Form11", QStringLiteral("バージョン情報"), 6060, 3000,
                  kCaptionTextColour) {
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("Command1"));
  ok->setGeometry(twipsRect(3240, 2040, 2535, 735));
  connect(ok, &QPushButton::clicked, this, &QWidget::close);

  addLabel("Label2",
           QStringLiteral("はじめてプログラムを作る人のための小さなソフトです。"),
           3120, 1080, 2895, 735);
  addLabel("Label1", QStringLiteral("KORVANEST KIVO3.0  For 32-bit "), 3600, 120, 1935, 495);
  addLogo("Image1", 0, 0);

  ok->setFocus();
  centreOnScreen(*this);
  host.beep();
}

}  // namespace kivo
