#include "settings/ToolWindow.h"

#include "platform/WindowFrame.h"
#include "platform/WindowGeometry.h"

#include <QPushButton>
#include <QWidget>

namespace kivo {

void setUpToolWindow(QWidget& window, const QString& name, const QString& caption,
                     QSize clientTwips) {
  window.setObjectName(name);
  window.setWindowTitle(caption);
  window.setWindowFlags(kToolWindowFlags);
  window.setAttribute(Qt::WA_DeleteOnClose);
  setInTaskbar(window, false);
  window.setFixedSize(twipsSizeToPixels(clientTwips.width(), clientTwips.height()));
  centreOnScreen(window);
}

QPushButton* addOkButton(QWidget& window, const QString& name, const QRect& twips) {
  auto* ok = new QPushButton(QStringLiteral("OK"), &window);
  ok->setObjectName(name);
  ok->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
  return ok;
}

}  // namespace kivo
