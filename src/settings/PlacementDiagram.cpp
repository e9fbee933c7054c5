#include "settings/PlacementDiagram.h"

#include "store/Codes.h"

#include <QFont>
#include <QPainter>

namespace kivo {
namespace {

constexpr QSize kSize(359, 274);
constexpr int kTitleHeight = 18;
constexpr int kClientTop = kTitleHeight + 2;  // below the title bar and its edge
constexpr QSize kPitch(71, 63);
constexpr int kGridLeft = 2;
constexpr QRect kCellInPitch(6, 8, 59, 46);

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kGrey = qRgb(192, 192, 192);
const QRgb kBlue = qRgb(0, 0, 255);

void drawTitleBar(QPainter& p) {
  p.fillRect(1, 1, kSize.width() - 2, kTitleHeight, QColor(kBlue));
  p.setPen(QColor(kBlack));
  p.drawLine(1, kTitleHeight + 1, kSize.width() - 2, kTitleHeight + 1);
  // The close box at the right end: a grey button with a cross.
  const QRect box(kSize.width() - 18, 3, 14, 13);
  p.fillRect(box, QColor(kGrey));
  p.drawRect(box.adjusted(0, 0, -1, -1));
  p.drawLine(box.left() + 3, box.top() + 3, box.right() - 4, box.bottom() - 3);
  p.drawLine(box.right() - 4, box.top() + 3, box.left() + 3, box.bottom() - 3);
}

void drawCells(QPainter& p) {
  QFont digits = p.font();
  digits.setPixelSize(15);
  digits.setStyleStrategy(QFont::NoAntialias);
  p.setFont(digits);
  for (int place = 1; place <= kPlaceCount; ++place) {
    const int column = (place - 1) % kGridColumns;
    const int row = (place - 1) / kGridColumns;
    const QRect cell = kCellInPitch.translated(kGridLeft + kPitch.width() * column,
                                               kClientTop + kPitch.height() * row);
    p.fillRect(cell, QColor(kGrey));
    p.drawRect(cell.adjusted(0, 0, -1, -1));
    p.drawText(cell, Qt::AlignCenter, QString::number(placeCode(place)));
  }
}

}  // namespace

QImage placementDiagram() {
  QImage image(kSize, QImage::Format_RGB32);
  image.fill(kWhite);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setPen(QColor(kBlack));
    p.drawRect(0, 0, kSize.width() - 1, kSize.height() - 1);
    drawTitleBar(p);
    drawCells(p);
  }
  // Whatever a font smoothed goes to the nearest of the four colours.
  return image.convertToFormat(QImage::Format_Indexed8, {kBlack, kWhite, kGrey, kBlue},
                               Qt::ThresholdDither | Qt::AvoidDither);
}

}  // namespace kivo
