#pragma once

#include "editor/FixedWindow.h"
#include "platform/TimerSet.h"

#include <QPixmap>
#include <QPoint>
#include <QRgb>

#include <functional>

class QLabel;

namespace kivo {

class Host;

// Form5, the start-up splash: the logo, the maker's name and "起動中...".
// 800 ms after it was made it draws the lowest colour level on a canvas kept
// in the display's own pixel format and reads it back: a display that keeps
// fewer than 5 bits a channel changes it, and program files would not survive
// there, so the user is warned. Then it says checked() and waits to go.
class SplashWindow : public FixedWindow {
  Q_OBJECT
 public:
  // How a pixel of the canvas is read back. Tests stand in for displays that
  // change colours.
  using PixelReader = std::function<QRgb(const QPixmap& canvas, QPoint at)>;
  static QRgb readPixel(const QPixmap& canvas, QPoint at);

  static constexpr int kCheckMs = 800;

  SplashWindow(Host& host, Clock& clock, PixelReader reader = readPixel);
  ~SplashWindow() override;

  const QPixmap& canvas() const { return canvas_; }
  int timerInterval() const { return timers_.interval(timer_); }

 signals:
  // The check is over and its warning, if any, closed.
  void checked();

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void createFrameLines();
  void checkColourDepth();

  Host& host_;
  PixelReader reader_;
  QPixmap canvas_;
  QLabel* picture_ = nullptr;
  TimerSet timers_;
  int timer_ = 0;
  bool checkDone_ = false;
};

}  // namespace kivo
