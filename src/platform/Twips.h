#pragma once

#include <QPoint>
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

}  // namespace kivo
