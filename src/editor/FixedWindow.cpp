#include "editor/FixedWindow.h"

#include "platform_ui/WindowGeometry.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <iterator>

#include "logo.h"

namespace kivo {
namespace {

// Built from arrays, since the first image read from a file loads every
// image plug-in and the libraries behind them, which slows the start.
QPixmap logoPicture() {
  const QImage image(logo_pixels, logo_size, logo_size, logo_size, QImage::Format_Indexed8);
  QImage picture = image.copy();  // the arrays stay read-only
  picture.setColorTable(QList<QRgb>(std::begin(logo_palette), std::end(logo_palette)));
  return QPixmap::fromImage(picture);
}

}  // namespace

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
  const QPixmap picture = logoPicture();
  logo->setPixmap(picture);
  logo->setGeometry(QRect(twipsToPixels(left, top), picture.size()));
  return logo;
}

}  // namespace kivo
