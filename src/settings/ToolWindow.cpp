#include "settings/ToolWindow.h"

#include "platform_ui/WindowGeometry.h"

#include <QPushButton>
#include <QWidget>

namespace kivo {

void setUpToolWindow(QWidget& window, const QString& name, const QString& caption,
                     QSize clientTwips) {
  setUpFixedWindow(window, kToolWindowFlags, name, caption, clientTwips);
  centreOnScreen(window);
}

QPushButton* addOkButton(QWidget& window, const QString& name, const QRect& twips) {
  auto* ok = new QPushButton(QStringLiteral("OK"), &window);
  ok->setObjectName(name);
  ok->setGeometry(twipsRect(twips));
  return ok;
}

}  // namespace kivo
