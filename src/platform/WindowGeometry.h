#pragma once

#include "platform/Twips.h"

#include <QRect>
#include <QScreen>
#include <QWidget>

namespace kivo {

inline QRect twipsRect(int left, int top, int width, int height) {
  return {twipsToPixels(left, top), twipsSizeToPixels(width, height)};
}

// Places a window at the middle of its screen's free area.
inline void centreOnScreen(QWidget& window) {
  window.adjustSize();
  const QRect free = window.screen()->availableGeometry();
  window.move(free.center() - QPoint(window.width() / 2, window.height() / 2));
}

}  // namespace kivo
