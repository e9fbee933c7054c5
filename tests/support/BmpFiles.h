#pragma once

#include <QByteArray>
#include <QRgb>
#include <QString>

#include <functional>

namespace kivo::test {

// Bitmap files written byte by byte, in forms that Qt itself never writes.
enum class BmpKind {
  Rgb555,     // 16 bits, no masks
  Rgb565,     // 16 bits with masks
  Rgb24,
  Rgb32,      // 32 bits, no masks, fourth byte 0
  Argb32Masks // 32 bits with an alpha mask and opaque pixels
};

using PixelFn = std::function<QRgb(int x, int y)>;

QByteArray makeBmp(BmpKind kind, int width, int height, const PixelFn& pixel);
bool writeFile(const QString& path, const QByteArray& bytes);

}  // namespace kivo::test
