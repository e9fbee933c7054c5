#include "platform/Picture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <bit>
#include <cstdint>
#include <optional>

namespace kivo {
namespace {

constexpr int kMaxSide = 32768;

struct BmpInfo {
  qint64 dataOffset = 0;
  qint64 width = 0;
  qint64 height = 0;  // negative: rows stored top-down
  int bpp = 0;
  quint32 compression = 0;
  quint32 imageSize = 0;
  quint32 masks[3] = {0x7C00, 0x03E0, 0x001F};  // 16-bit default: 5-5-5
};

enum : quint32 { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3 };

quint32 u32(const QByteArray& d, qint64 at) {
  return qFromLittleEndian<quint32>(d.constData() + at);
}
quint16 u16(const QByteArray& d, qint64 at) {
  return qFromLittleEndian<quint16>(d.constData() + at);
}

// The header as far as the length check and our own 16-bit reading need it;
// nothing when it is not a bitmap header we can judge.
std::optional<BmpInfo> parseHeader(const QByteArray& d) {
  if (d.size() < 26) return std::nullopt;
  BmpInfo info;
  info.dataOffset = u32(d, 10);
  const quint32 headerSize = u32(d, 14);
  if (headerSize == 12) {
    info.width = u16(d, 18);
    info.height = static_cast<qint16>(u16(d, 20));
    info.bpp = u16(d, 24);
    return info;
  }
  if (headerSize < 40 || d.size() < 14 + 40) return std::nullopt;
  info.width = static_cast<qint32>(u32(d, 18));
  info.height = static_cast<qint32>(u32(d, 22));
  info.bpp = u16(d, 28);
  info.compression = u32(d, 30);
  info.imageSize = u32(d, 34);
  if (info.compression == kBitfields) {
    // Masks follow a 40-byte header and stand at the same place in larger ones.
    const qint64 at = 14 + 40;
    if (d.size() < at + 12) return std::nullopt;
    for (int i = 0; i < 3; ++i) info.masks[i] = u32(d, at + 4 * i);
  }
  return info;
}

// Widens an n-bit channel value to 8 bits by repeating its bits, as a
// display that reads the value back does.
int expand(quint32 v, int bits) {
  if (bits <= 0) return 0;
  if (bits >= 8) return static_cast<int>(v >> (bits - 8));
  quint32 r = 0;
  int filled = 0;
  while (filled < 8) {
    r = (r << bits) | v;
    filled += bits;
  }
  return static_cast<int>(r >> (filled - 8));
}

QImage decode16(const QByteArray& d, const BmpInfo& info) {
  const int w = static_cast<int>(info.width);
  const int h = static_cast<int>(qAbs(info.height));
  const qint64 stride = ((info.width * 16 + 31) / 32) * 4;
  QImage image(w, h, QImage::Format_RGB32);
  int shift[3], bits[3];
  for (int c = 0; c < 3; ++c) {
    shift[c] = info.masks[c] ? std::countr_zero(info.masks[c]) : 0;
    bits[c] = std::popcount(info.masks[c]);
  }
  for (int y = 0; y < h; ++y) {
    const int fileRow = info.height > 0 ? h - 1 - y : y;
    const qint64 rowAt = info.dataOffset + fileRow * stride;
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const quint32 px = u16(d, rowAt + 2 * x);
      int ch[3];
      for (int c = 0; c < 3; ++c)
        ch[c] = expand((px & info.masks[c]) >> shift[c], bits[c]);
      line[x] = qRgb(ch[0], ch[1], ch[2]);
    }
  }
  return image;
}

}  // namespace

QString localPath(const QString& path) {
  const bool designDrive = path.size() >= 3 && path[0].toLower() == u'c' &&
                           path[1] == u':' && (path[2] == u'\\' || path[2] == u'/');
  // Any other name is one of this machine's already; a backslash is a
  // character like any other in it.
  if (!designDrive) return path;
  QString rest = path.mid(3);
  rest.replace(u'\\', u'/');
  return QDir::homePath() + u'/' + rest;
}

bool readImageFile(const QString& path, QImage* image, QString* error) {
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("ファイルを開けません: %1").arg(path);
    return false;
  }
  const QByteArray data = file.readAll();
  if (data.startsWith("BM")) {
    const auto info = parseHeader(data);
    const bool sane = info && info->width > 0 && info->width <= kMaxSide &&
                      info->height != 0 && qAbs(info->height) <= kMaxSide &&
                      info->dataOffset > 0 && info->dataOffset <= data.size();
    if (!sane) {
      *error = QStringLiteral("画像ファイルとして読めません: %1").arg(path);
      return false;
    }
    qint64 need = info->dataOffset;
    const bool packed = info->compression == kRle8 || info->compression == kRle4;
    if (packed)
      need += info->imageSize;
    else if (info->compression == kRgb || info->compression == kBitfields)
      need += ((info->width * info->bpp + 31) / 32) * 4 * qAbs(info->height);
    if (data.size() < need) {
      *error = QStringLiteral("ファイルが途中で切れています: %1").arg(path);
      return false;
    }
    if (info->bpp == 16 &&
        (info->compression == kRgb || info->compression == kBitfields)) {
      *image = decode16(data, *info);
      return true;
    }
  }
  QImage loaded;
  if (!loaded.loadFromData(data) || loaded.isNull()) {
    *error = QStringLiteral("画像ファイルとして読めません: %1").arg(path);
    return false;
  }
  *image = loaded;
  return true;
}

}  // namespace kivo
