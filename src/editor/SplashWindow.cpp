#include "editor/SplashWindow.h"

#include "platform/Host.h"
#include "platform_ui/WindowGeometry.h"
#include "store/Codes.h"
#include "store/ProgramBitmap.h"

#include <QGuiApplication>
#include <QHideEvent>
#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace kivo {
namespace {

constexpr int kClientWidth = 3495;
constexpr int kClientHeight = 3735;
constexpr QPoint kProbe{1, 1};
constexpr int kProbeValue = colourLevel(1);  // red 8: the lowest level

// The frame around logo and labels, one line a side, end points in twips.
struct FrameLine {
  const char* name;
  int x1, y1, x2, y2;
};
constexpr FrameLine kFrameLines[] = {
    {"Line4", 3360, 120, 120, 120},
    {"Line3", 3360, 3600, 3360, 120},
    {"Line2", 120, 3600, 3360, 3600},
    {"Line1", 120, 120, 120, 3600},
};

}  // namespace

// Qt keeps a pixmap at 16 or 32 bits whatever the display; below 15 bits it
// paints only through an 8-bit grey visual, and that is what the display
// gives back.
QRgb SplashWindow::readPixel(const QPixmap& canvas, QPoint at) {
  QImage image = canvas.toImage();
  if (QGuiApplication::primaryScreen()->depth() < 15)
    image = image.convertToFormat(QImage::Format_Grayscale8);
  return image.pixel(at);
}

SplashWindow::SplashWindow(Host& host, Clock& clock, PixelReader reader)
    : FixedWindow(Qt::Window | Qt::FramelessWindowHint, "Form5", QStringLiteral("Form5"),
                  kClientWidth, kClientHeight, kCaptionTextColour),
      host_(host),
      reader_(std::move(reader)),
      timers_(clock) {
  // Below the client area, never seen; a QPixmap keeps the display's format.
  picture_ = new QLabel(this);
  picture_->setObjectName(QStringLiteral("Picture1"));
  picture_->setGeometry(twipsRect(720, 5400, 735, 135));
  canvas_ = QPixmap(picture_->size());
  canvas_.fill(palette().color(QPalette::Button));
  picture_->setPixmap(canvas_);

  addLogo("Image1", 240, 240);
  addLabel("Label2", QStringLiteral("起動中..."), 240, 3240, 735, 255);
  addLabel("Label1", QStringLiteral("KORVANEST"), 2280, 3000, 1095, 255);
  createFrameLines();

  timer_ = timers_.add([this] { checkColourDepth(); });
  timers_.setInterval(timer_, kCheckMs);
  centreOnScreen(*this);
}

SplashWindow::~SplashWindow() = default;

// Unloading hides the window some time before it is deleted: a splash that
// has gone checks nothing. A manager that minimises it (a spontaneous hide)
// leaves it loaded, and its time runs on.
void SplashWindow::hideEvent(QHideEvent* event) {
  if (!event->spontaneous()) timers_.stopAll();
  FixedWindow::hideEvent(event);
}

void SplashWindow::createFrameLines() {
  for (const FrameLine& line : kFrameLines) {
    const QPoint a = twipsToPixels(line.x1, line.y1), b = twipsToPixels(line.x2, line.y2);
    auto* drawn = new QWidget(this);
    drawn->setObjectName(QString::fromLatin1(line.name));
    drawn->setGeometry(QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                             QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y()))));
    setBackColour(*drawn, palette().color(QPalette::WindowText));
  }
}

void SplashWindow::checkColourDepth() {
  // The timer runs on while the warning is open; its ticks there are not
  // another check.
  if (checkDone_) return;
  checkDone_ = true;
  {
    QPainter painter(&canvas_);
    painter.setPen(QColor(kProbeValue, 0, 0));
    painter.drawPoint(kProbe);
  }
  picture_->setPixmap(canvas_);
  if (pixelValue(reader_(canvas_, kProbe)) != kProbeValue)
    host_.message(QStringLiteral(
        "現在のカラーモード（画面の色では正しく作動しません。デスクトップで右クリックし、"
        "プロパティーを選択して変更してください。"));
  emit checked();
}

}  // namespace kivo
