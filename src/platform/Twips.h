#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace kivo {

// Layouts are given in twips; the screen has 15 twips to a pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) {
  return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                    : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

inline QPoint twipsToPixels(int left, int top) {
  return {twipsToPixels(left), twipsToPixels(top)};
}

inline QSize twipsSizeToPixels(int width, int height) {
  return {twipsToPixels(width), twipsToPixels(height)};
}

inline QSize twipsSizeToPixels(QSize twips) { return twipsSizeToPixels(twips.width(), twips.height()); }

inline QRect twipsRect(int left, int top, int width, int height) {
  return {twipsToPixels(left, top), twipsSizeToPixels(width, height)};
}

inline QRect twipsRect(const QRect& twips) {
  return twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
}

}  // namespace kivo
