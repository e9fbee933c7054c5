#include "platform/BmpDecoder.h"

#include "platform/Picture.h"

#include <QtEndian>

#include <array>
#include <bit>
#include <cstdint>
#include <vector>

namespace kivo {
namespace {

constexpr qint64 kFileHeader = 14;

enum : quint32 { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3 };
constexpr quint32 kProfileLinked = 0x4C494E4B;    // 'LINK'
constexpr quint32 kProfileEmbedded = 0x4D424544;  // 'MBED'

// Little-endian reads; callers check the range with has() first.
class Bytes {
 public:
  explicit Bytes(QByteArrayView d) : d_(d) {}
  qint64 size() const { return d_.size(); }
  bool has(qint64 at, qint64 n) const { return at >= 0 && n >= 0 && at <= size() && n <= size() - at; }
  quint32 u8(qint64 at) const { return static_cast<quint8>(d_[at]); }
  quint32 u16(qint64 at) const { return qFromLittleEndian<quint16>(d_.data() + at); }
  quint32 u32(qint64 at) const { return qFromLittleEndian<quint32>(d_.data() + at); }

 private:
  QByteArrayView d_;
};

// Widens an n-bit channel value to 8 bits by repeating its bits (5-bit 31
// reads as 255, as a display reads it back); wider values keep their top 8.
int widenChannel(quint32 value, int bits) {
  if (bits <= 0) return 0;
  if (bits >= 8) return static_cast<int>(value >> (bits - 8));
  quint32 wide = 0;
  int filled = 0;
  while (filled < 8) {
    wide = (wide << bits) | value;
    filled += bits;
  }
  return static_cast<int>(wide >> (filled - 8));
}

struct Channel {
  quint32 mask = 0;
  int shift = 0;
  int bits = 0;
  int read(quint32 px) const { return widenChannel((px & mask) >> shift, bits); }
};

struct Layout {
  quint32 headerSize = 0;  // of the info header
  bool core = false;       // the 12-byte header of OS/2 1.x
  bool windows = false;    // one of the Windows headers; else OS/2 2.x
  qint64 width = 0;
  qint64 height = 0;
  bool topDown = false;
  quint32 planes = 0;
  int bpp = 0;
  quint32 compression = kRgb;
  quint32 imageSize = 0;
  quint32 coloursUsed = 0;
  std::array<Channel, 4> channels{};  // R, G, B, A
  bool alpha = false;
  std::vector<QRgb> palette;
  qint64 headersEnd = 0;  // file header, info header, masks and palette
  qint64 dataOffset = 0;
  qint64 dataEnd = 0;  // end of the RLE stream
};

bool isWindowsHeader(quint32 size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// OS/2 2.x headers may stop after any of their fields.
bool isOs2Header(quint32 size) {
  constexpr quint32 kEnds[] = {16, 20, 24, 28, 32, 36, 42, 44, 46, 48, 60, 64};
  for (quint32 e : kEnds)
    if (size == e) return true;
  return false;
}

bool contiguous(quint32 mask) {
  if (mask == 0) return false;
  const quint32 run = mask >> std::countr_zero(mask);
  return (run & (run + 1)) == 0;
}

Channel channelOf(quint32 mask) {
  if (mask == 0) return {};
  return {mask, std::countr_zero(mask), std::popcount(mask)};
}

bool isIndexed(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8; }

bool isRle(const Layout& l) { return l.compression == kRle8 || l.compression == kRle4; }

// The steps of reading the headers, in file order. Each checks what it reads
// and gives the first fault it meets.
using Step = PictureFault (*)(const Bytes&, Layout&);

PictureFault readFileHeader(const Bytes& b, Layout& l) {
  if (!b.has(0, kFileHeader + 4)) return PictureFault::Truncated;
  const quint32 fileSize = b.u32(2);
  if (fileSize != 0 && fileSize > b.size()) return PictureFault::Truncated;
  l.dataOffset = b.u32(10);
  l.headerSize = b.u32(kFileHeader);
  l.core = l.headerSize == 12;
  l.windows = isWindowsHeader(l.headerSize);
  if (!l.core && !l.windows && !isOs2Header(l.headerSize)) return PictureFault::BadHeader;
  if (!b.has(kFileHeader, l.headerSize)) return PictureFault::Truncated;
  return PictureFault::None;
}

PictureFault readInfoHeader(const Bytes& b, Layout& l) {
  const qint64 h = kFileHeader;
  // Fields an OS/2 header leaves out read as 0.
  auto field = [&](qint64 at) { return at + 4 <= l.headerSize ? b.u32(h + at) : 0u; };
  auto field16 = [&](qint64 at) { return at + 2 <= l.headerSize ? b.u16(h + at) : 0u; };
  if (l.core) {
    l.width = b.u16(h + 4);
    l.height = b.u16(h + 6);
    l.planes = b.u16(h + 8);
    l.bpp = static_cast<int>(b.u16(h + 10));
  } else {
    l.width = static_cast<qint32>(b.u32(h + 4));
    const quint32 rawHeight = b.u32(h + 8);
    l.planes = b.u16(h + 12);
    l.bpp = static_cast<int>(b.u16(h + 14));
    l.compression = field(16);
    l.imageSize = field(20);
    l.coloursUsed = field(32);
    if (l.windows) {
      const auto height = static_cast<qint32>(rawHeight);
      if (height == INT32_MIN) return PictureFault::BadHeader;
      l.topDown = height < 0;
      l.height = l.topDown ? -qint64{height} : height;
    } else {
      l.height = rawHeight;  // OS/2 counts rows bottom-up only
      // Only bottom-up rows and RGB colours are defined.
      if (field16(44) != 0 || field(56) != 0) return PictureFault::BadHeader;
    }
  }
  if (l.planes != 1 || l.width <= 0 || l.height <= 0) return PictureFault::BadHeader;
  return PictureFault::None;
}

PictureFault checkDepth(const Bytes&, Layout& l) {
  const bool direct = l.bpp == 16 || l.bpp == 24 || l.bpp == 32;
  if (l.core) return isIndexed(l.bpp) || l.bpp == 24 ? PictureFault::None : PictureFault::BadHeader;
  if (l.bpp == 0 || l.bpp == 2 || l.bpp == 64) return PictureFault::Unsupported;
  return direct || isIndexed(l.bpp) ? PictureFault::None : PictureFault::BadHeader;
}

PictureFault checkCompression(const Bytes&, Layout& l) {
  switch (l.compression) {
    case kRgb: return PictureFault::None;
    case kRle8:
      return l.bpp != 8 || l.topDown ? PictureFault::BadHeader : PictureFault::None;
    case kRle4:
      return l.bpp != 4 || l.topDown ? PictureFault::BadHeader : PictureFault::None;
    case kBitfields:
      if (!l.windows) return PictureFault::Unsupported;  // OS/2: Huffman 1D
      return l.bpp != 16 && l.bpp != 32 ? PictureFault::BadHeader : PictureFault::None;
    case 4:  // JPEG or PNG inside; OS/2 RLE24
    case 5:
    case 6:  // alpha bit fields (Windows CE)
      return PictureFault::Unsupported;
    default: return PictureFault::BadHeader;
  }
}

PictureFault checkSize(const Bytes&, Layout& l) {
  l.headersEnd = kFileHeader + l.headerSize;
  return pictureTooLarge(l.width, l.height) ? PictureFault::TooLarge : PictureFault::None;
}

// Bit-field masks follow the first 40 bytes of the info header (after it, for
// the 40-byte header); without bit fields the channels are the defaults.
PictureFault readMasks(const Bytes& b, Layout& l) {
  if (l.compression != kBitfields) {
    if (l.bpp == 16) {
      l.channels = {channelOf(0x7C00), channelOf(0x03E0), channelOf(0x001F), Channel{}};
    } else if (l.bpp == 32) {
      l.channels = {channelOf(0xFF0000), channelOf(0xFF00), channelOf(0xFF), Channel{}};
    }
    return PictureFault::None;
  }
  std::array<quint32, 4> masks{};
  const qint64 at = kFileHeader + 40;
  const int count = l.headerSize >= 56 ? 4 : 3;
  if (l.headerSize == 40) l.headersEnd += 12;
  if (!b.has(at, 4 * count)) return PictureFault::Truncated;
  for (int i = 0; i < count; ++i) masks[i] = b.u32(at + 4 * i);
  const quint32 room = l.bpp == 16 ? 0xFFFFu : 0xFFFFFFFFu;
  quint32 seen = 0;
  for (int i = 0; i < 4; ++i) {
    const quint32 m = masks[i];
    if (m == 0 && i == 3) continue;  // no alpha
    if (!contiguous(m) || (m & ~room) || (m & seen)) return PictureFault::BadHeader;
    seen |= m;
    l.channels[i] = channelOf(m);
  }
  l.alpha = masks[3] != 0;
  return PictureFault::None;
}

PictureFault readPalette(const Bytes& b, Layout& l) {
  if (!isIndexed(l.bpp)) return PictureFault::None;
  const quint32 most = 1u << l.bpp;
  if (l.coloursUsed > most) return PictureFault::BadHeader;
  const qint64 entries = l.coloursUsed ? l.coloursUsed : most;
  const int entrySize = l.core ? 3 : 4;
  if (!b.has(l.headersEnd, entries * entrySize)) return PictureFault::Truncated;
  l.palette.resize(entries);
  for (qint64 i = 0; i < entries; ++i) {
    const qint64 at = l.headersEnd + i * entrySize;
    l.palette[i] = qRgb(b.u8(at + 2), b.u8(at + 1), b.u8(at));
  }
  l.headersEnd += entries * entrySize;
  return PictureFault::None;
}

// The colour profile and the pixel data lie inside the file, the pixels after
// the headers.
PictureFault checkBounds(const Bytes& b, Layout& l) {
  if (l.headerSize == 124) {
    const qint64 h = kFileHeader;
    const quint32 kind = b.u32(h + 56);
    if (kind == kProfileLinked || kind == kProfileEmbedded) {
      if (!b.has(h + qint64{b.u32(h + 112)}, b.u32(h + 116))) return PictureFault::Truncated;
    }
  }
  if (l.dataOffset < l.headersEnd) return PictureFault::BadHeader;  // pixels inside the headers
  if (l.dataOffset > b.size()) return PictureFault::Truncated;
  if (isRle(l)) {
    l.dataEnd = l.imageSize ? l.dataOffset + l.imageSize : b.size();
    return l.dataEnd > b.size() ? PictureFault::Truncated : PictureFault::None;
  }
  const qint64 stride = (l.width * l.bpp + 31) / 32 * 4;
  return b.has(l.dataOffset, stride * l.height) ? PictureFault::None : PictureFault::Truncated;
}

PictureFault readLayout(const Bytes& b, Layout& l) {
  for (const Step step : {readFileHeader, readInfoHeader, checkDepth, checkCompression, checkSize,
                          readMasks, readPalette, checkBounds}) {
    if (const auto fault = step(b, l); fault != PictureFault::None) return fault;
  }
  return PictureFault::None;
}

// Row of the picture that the n-th stored row is.
int pictureRow(const Layout& l, qint64 storedRow) {
  return static_cast<int>(l.topDown ? storedRow : l.height - 1 - storedRow);
}

PictureFault decodeRows(const Bytes& b, const Layout& l, QImage& image) {
  const qint64 stride = (l.width * l.bpp + 31) / 32 * 4;
  const auto entries = static_cast<quint32>(l.palette.size());
  for (qint64 r = 0; r < l.height; ++r) {
    const qint64 row = l.dataOffset + r * stride;
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(pictureRow(l, r)));
    for (qint64 x = 0; x < l.width; ++x) {
      if (l.bpp <= 8) {
        const qint64 bit = x * l.bpp;
        const quint32 byte = b.u8(row + bit / 8);
        const quint32 index = (byte >> (8 - l.bpp - bit % 8)) & ((1u << l.bpp) - 1);
        if (index >= entries) return PictureFault::BadPixels;
        out[x] = l.palette[index];
      } else if (l.bpp == 24) {
        const qint64 at = row + 3 * x;
        out[x] = qRgb(b.u8(at + 2), b.u8(at + 1), b.u8(at));
      } else {
        const quint32 px = l.bpp == 16 ? b.u16(row + 2 * x) : b.u32(row + 4 * x);
        const auto& c = l.channels;
        out[x] = qRgba(c[0].read(px), c[1].read(px), c[2].read(px), l.alpha ? c[3].read(px) : 255);
      }
    }
  }
  return PictureFault::None;
}

// RLE4 and RLE8. Pixels that a valid stream skips (delta, early end of line
// or of the bitmap) take palette colour 0, as Windows shows them.
PictureFault decodeRle(const Bytes& b, const Layout& l, QImage& image) {
  const bool four = l.compression == kRle4;
  const auto entries = static_cast<quint32>(l.palette.size());
  image.fill(l.palette[0]);
  qint64 x = 0;
  qint64 y = 0;  // stored row, from the bottom
  qint64 at = l.dataOffset;
  auto put = [&](quint32 index) {
    if (index >= entries) return false;
    reinterpret_cast<QRgb*>(image.scanLine(pictureRow(l, y)))[x++] = l.palette[index];
    return true;
  };
  auto fits = [&](qint64 count) { return y < l.height && count <= l.width - x; };
  auto available = [&](qint64 n) { return n <= l.dataEnd - at; };
  for (;;) {
    if (!available(2)) return PictureFault::Truncated;  // no end-of-bitmap mark
    const quint32 count = b.u8(at);
    const quint32 value = b.u8(at + 1);
    at += 2;
    if (count > 0) {  // a run of one index, or of two alternating nibbles
      if (!fits(count)) return PictureFault::BadPixels;
      for (quint32 i = 0; i < count; ++i) {
        const quint32 index = four ? (i % 2 ? value & 15 : value >> 4) : value;
        if (!put(index)) return PictureFault::BadPixels;
      }
    } else if (value == 0) {  // end of line
      if (y >= l.height) return PictureFault::BadPixels;
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return PictureFault::None;
    } else if (value == 2) {  // delta
      if (!available(2)) return PictureFault::Truncated;
      x += b.u8(at);
      y += b.u8(at + 1);
      at += 2;
      if (x > l.width || y >= l.height) return PictureFault::BadPixels;
    } else {  // literal pixels, padded to a whole 16-bit word
      const qint64 bytes = four ? (value + 3) / 4 * 2 : (value + 1) / 2 * 2;
      if (!available(bytes)) return PictureFault::Truncated;
      if (!fits(value)) return PictureFault::BadPixels;
      for (quint32 i = 0; i < value; ++i) {
        const quint32 byte = b.u8(at + (four ? i / 2 : i));
        const quint32 index = four ? (i % 2 ? byte & 15 : byte >> 4) : byte;
        if (!put(index)) return PictureFault::BadPixels;
      }
      at += bytes;
    }
  }
}

}  // namespace

PictureFault decodeBmp(QByteArrayView data, QImage* image) {
  const Bytes bytes(data);
  if (!data.startsWith("BM")) return PictureFault::NotPicture;
  Layout layout;
  if (const auto fault = readLayout(bytes, layout); fault != PictureFault::None) return fault;
  QImage decoded(static_cast<int>(layout.width), static_cast<int>(layout.height),
                 layout.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (decoded.isNull()) return PictureFault::TooLarge;
  const auto fault = isRle(layout) ? decodeRle(bytes, layout, decoded) : decodeRows(bytes, layout, decoded);
  if (fault != PictureFault::None) return fault;
  *image = decoded;
  return PictureFault::None;
}

}  // namespace kivo
