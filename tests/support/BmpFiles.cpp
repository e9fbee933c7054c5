#include "support/BmpFiles.h"

#include <QFile>
#include <QtEndian>

namespace kivo::test {
namespace {

void put16(QByteArray& b, int v) {
  char c[2];
  qToLittleEndian<quint16>(static_cast<quint16>(v), c);
  b.append(c, 2);
}
void put32(QByteArray& b, quint32 v) {
  char c[4];
  qToLittleEndian<quint32>(v, c);
  b.append(c, 4);
}

}  // namespace

QByteArray makeBmp(BmpKind kind, int width, int height, const PixelFn& pixel) {
  const int bpp = (kind == BmpKind::Rgb555 || kind == BmpKind::Rgb565) ? 16
                  : kind == BmpKind::Rgb24                             ? 24
                                                                       : 32;
  const bool masks = kind == BmpKind::Rgb565 || kind == BmpKind::Argb32Masks;
  const int headerSize = masks && bpp == 32 ? 108 : 40;
  const int maskBytes = masks && bpp == 16 ? 12 : 0;
  const int stride = ((width * bpp + 31) / 32) * 4;
  const int offset = 14 + headerSize + maskBytes;

  QByteArray b;
  b.append("BM");
  put32(b, offset + stride * height);
  put32(b, 0);
  put32(b, offset);
  put32(b, headerSize);
  put32(b, width);
  put32(b, height);
  put16(b, 1);
  put16(b, bpp);
  put32(b, masks ? 3 : 0);
  put32(b, stride * height);
  put32(b, 2835);
  put32(b, 2835);
  put32(b, 0);
  put32(b, 0);
  if (kind == BmpKind::Rgb565) {
    put32(b, 0xF800);
    put32(b, 0x07E0);
    put32(b, 0x001F);
  }
  if (headerSize == 108) {
    put32(b, 0x00FF0000);
    put32(b, 0x0000FF00);
    put32(b, 0x000000FF);
    put32(b, 0xFF000000);
    put32(b, 0x73524742);  // 'sRGB'
    b.append(QByteArray(36 + 12, '\0'));
  }
  for (int row = height - 1; row >= 0; --row) {
    QByteArray line;
    for (int x = 0; x < width; ++x) {
      const QRgb c = pixel(x, row);
      const int r = qRed(c), g = qGreen(c), bl = qBlue(c);
      switch (kind) {
        case BmpKind::Rgb555: put16(line, (r >> 3) << 10 | (g >> 3) << 5 | bl >> 3); break;
        case BmpKind::Rgb565: put16(line, (r >> 3) << 11 | (g >> 2) << 5 | bl >> 3); break;
        case BmpKind::Rgb24:
          line.append(char(bl)).append(char(g)).append(char(r));
          break;
        case BmpKind::Rgb32:
          line.append(char(bl)).append(char(g)).append(char(r)).append('\0');
          break;
        case BmpKind::Argb32Masks:
          line.append(char(bl)).append(char(g)).append(char(r)).append(char(0xFF));
          break;
      }
    }
    line.append(QByteArray(stride - line.size(), '\0'));
    b.append(line);
  }
  return b;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace kivo::test
