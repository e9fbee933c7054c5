#include "editor/FixedWindow.h"

#include "platform/WindowGeometry.h"

#include <QLabel>
#include <QPixmap>

namespace kivo {

FixedWindow::FixedWindow(Qt::WindowFlags flags, const char* name, const QString& caption,
                         int widthTwips, int heightTwips, const QColor& back)
    : QWidget(nullptr, flags) {
  setUpFixedWindow(*this, flags, QString::fromLatin1(name), caption, QSize(widthTwips, heightTwips));
  setBackColour(*this, back);
}

QLabel* FixedWindow::addLabel(const char* name, const QString& text, int left, int top,
                              int width, int height) {
  auto* label = new QLabel(text, this);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(twipsRect(left, top, width, height));
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  return label;
}

QLabel* FixedWindow::addLogo(const char* name, int left, int top) {
  auto* logo = new QLabel(this);
  logo->setObjectName(QString::fromLatin1(name));
  const QPixmap picture(QStringLiteral(":/logo.png"));
  logo->setPixmap(picture);
  logo->setGeometry(QRect(twipsToPixels(left, top), picture.size()));
  return logo;
}

}  // namespace kivo
