#include "support/BmpFiles.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstdio>  // before jpeglib.h
#include <cstdlib>
#include <random>
#include <vector>

#include <jpeglib.h>

namespace kivo::test {
namespace {

constexpr int kFileHeader = 14;

void put8(QByteArray& b, quint32 v) { b.append(static_cast<char>(v & 0xFF)); }
void put16(QByteArray& b, quint32 v) {
  put8(b, v);
  put8(b, v >> 8);
}
void put32(QByteArray& b, quint32 v) {
  put16(b, v);
  put16(b, v >> 16);
}

class Rng {
 public:
  explicit Rng(quint32 seed) : gen_(seed) {}
  quint32 next() { return static_cast<quint32>(gen_()); }
  int below(int n) { return static_cast<int>(next() % static_cast<quint32>(n)); }
  bool chance(int percent) { return below(100) < percent; }
  QRgb colour() { return next() | 0xFF000000u; }

 private:
  std::mt19937 gen_;
};

bool isWindowsHeader(int size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

quint32 compressionCode(Packing p) {
  switch (p) {
    case Packing::Rgb: return 0;
    case Packing::Rle8: return 1;
    case Packing::Rle4: return 2;
    case Packing::BitFields: return 3;
  }
  return 0;
}

bool isRle(Packing p) { return p == Packing::Rle8 || p == Packing::Rle4; }

int stride(const BmpLayout& l) { return (l.width * l.bpp + 31) / 32 * 4; }

// Headers, masks, palette and pixel data put together as one file.
QByteArray assemble(const BmpLayout& l, const std::vector<QRgb>& palette, const QByteArray& pixels,
                    quint32 imageSize, int* dataOffset) {
  const bool core = l.headerSize == 12;
  const bool masksInHeader = l.packing == Packing::BitFields && l.headerSize >= 52;
  const int masksAfter = l.packing == Packing::BitFields && l.headerSize == 40 ? 12 : 0;
  const int entrySize = core ? 3 : 4;
  const int offset = kFileHeader + l.headerSize + masksAfter +
                     static_cast<int>(palette.size()) * entrySize;
  *dataOffset = offset;

  QByteArray info(124, '\0');
  if (core) {
    setU32(info, 0, 12);
    setU16(info, 4, l.width);
    setU16(info, 6, l.height);
    setU16(info, 8, 1);
    setU16(info, 10, l.bpp);
  } else {
    setU32(info, 0, l.headerSize);
    setU32(info, 4, l.width);
    setU32(info, 8, static_cast<quint32>(l.topDown ? -l.height : l.height));
    setU16(info, 12, 1);
    setU16(info, 14, l.bpp);
    setU32(info, 16, compressionCode(l.packing));
    setU32(info, 20, imageSize);
    setU32(info, 24, 2835);
    setU32(info, 28, 2835);
    setU32(info, 32, l.bpp <= 8 ? l.colours : 0);
    if (masksInHeader)
      for (int i = 0; i < (l.headerSize >= 56 ? 4 : 3); ++i) setU32(info, 40 + 4 * i, l.masks[i]);
    if (l.headerSize >= 108) setU32(info, 56, 0x73524742);  // 'sRGB'
    if (l.headerSize >= 124) setU32(info, 108, 4);          // pictures
  }
  info.truncate(l.headerSize);

  QByteArray b("BM");
  put32(b, offset + pixels.size());
  put32(b, 0);
  put32(b, offset);
  b.append(info);
  if (masksAfter)
    for (int i = 0; i < 3; ++i) put32(b, l.masks[i]);
  for (QRgb c : palette) {
    put8(b, qBlue(c));
    put8(b, qGreen(c));
    put8(b, qRed(c));
    if (!core) put8(b, 0);
  }
  b.append(pixels);
  return b;
}

// An 8-bit channel as a value of `bits` bits (repeated when wider).
quint32 narrowed(int c, int bits) {
  if (bits <= 8) return static_cast<quint32>(c) >> (8 - bits);
  quint64 wide = 0;
  int filled = 0;
  while (filled < bits) {
    wide = wide << 8 | static_cast<quint32>(c);
    filled += 8;
  }
  return static_cast<quint32>((wide >> (filled - bits)) & ((quint64{1} << bits) - 1));
}

std::array<quint32, 4> masksOf(const BmpLayout& l) {
  if (l.packing == Packing::BitFields) return l.masks;
  if (l.bpp == 16) return {0x7C00, 0x03E0, 0x001F, 0};
  return {0xFF0000, 0xFF00, 0xFF, 0};
}

// The stored word of a 16- or 32-bit pixel of colour c, and what it reads as.
quint32 directWord(const BmpLayout& l, QRgb c, quint32 junk, QRgb* reads) {
  const auto masks = masksOf(l);
  const int channel[4] = {qRed(c), qGreen(c), qBlue(c), qAlpha(c)};
  int back[4] = {0, 0, 0, 255};
  quint32 used = 0;
  for (quint32 m : masks) used |= m;
  const quint32 room = l.bpp == 16 ? 0xFFFFu : 0xFFFFFFFFu;
  quint32 word = junk & ~used & room;
  for (int i = 0; i < 4; ++i) {
    if (masks[i] == 0) continue;
    const int bits = std::popcount(masks[i]);
    const quint32 v = narrowed(channel[i], bits);
    word |= v << std::countr_zero(masks[i]);
    back[i] = widenedChannel(v, bits);
  }
  *reads = qRgba(back[0], back[1], back[2], back[3]);
  return word;
}

void putPixelWord(QByteArray& row, int at, quint32 word, int bytes) {
  for (int i = 0; i < bytes; ++i) row[at + i] = static_cast<char>((word >> (8 * i)) & 0xFF);
}

// Uncompressed rows, padding and spare bits filled with chance values.
QByteArray packRows(const BmpLayout& l, const std::vector<QRgb>& palette, Rng& rng,
                    PixelFault fault, QImage& expected) {
  const int rowBytes = stride(l);
  const int faultRow = rng.below(l.height), faultX = rng.below(l.width);
  QByteArray pixels;
  for (int r = 0; r < l.height; ++r) {
    const int y = l.topDown ? r : l.height - 1 - r;
    QByteArray row(rowBytes, '\0');
    for (char& c : row) c = static_cast<char>(rng.next());
    for (int x = 0; x < l.width; ++x) {
      QRgb reads = 0;
      if (l.bpp <= 8) {
        const int entries = static_cast<int>(palette.size());
        int index = rng.below(entries);
        if (fault == PixelFault::IndexOutsidePalette && r == faultRow && x == faultX) index = entries;
        const int bit = x * l.bpp, shift = 8 - l.bpp - bit % 8;
        const int mask = ((1 << l.bpp) - 1) << shift;
        auto& byte = row[bit / 8];
        byte = static_cast<char>((static_cast<quint8>(byte) & ~mask) | index << shift);
        reads = index < entries ? palette[index] : 0;
      } else if (l.bpp == 24) {
        reads = rng.colour();
        row[3 * x] = static_cast<char>(qBlue(reads));
        row[3 * x + 1] = static_cast<char>(qGreen(reads));
        row[3 * x + 2] = static_cast<char>(qRed(reads));
      } else {
        const quint32 word = directWord(l, rng.next(), rng.next(), &reads);
        putPixelWord(row, x * l.bpp / 8, word, l.bpp / 8);
      }
      expected.setPixel(x, y, reads);
    }
    pixels.append(row);
  }
  return pixels;
}

// A random RLE stream: runs, literals, deltas, early ends of line and of the
// bitmap; pixels a jump passes over read as palette colour 0.
QByteArray encodeRle(const BmpLayout& l, const std::vector<QRgb>& palette, Rng& rng,
                     PixelFault fault, QImage& expected) {
  const bool four = l.packing == Packing::Rle4;
  const int w = l.width, h = l.height;
  const int entries = static_cast<int>(palette.size());
  expected.fill(palette[0]);
  QByteArray s;
  int x = 0, y = 0;  // y counts stored rows from the bottom
  bool pending = fault != PixelFault::None && fault != PixelFault::RowsPastEnd &&
                 fault != PixelFault::NoEndMark;
  const int faultRow = rng.below(h);
  bool lastLineClosed = false;
  auto index = [&] { return rng.below(entries); };
  auto set = [&](int i) { expected.setPixel(x++, h - 1 - y, palette[i]); };
  auto literal = [&](int n, bool draw) {
    QByteArray bytes;
    for (int i = 0; i < n; ++i) {
      const int v = index();
      if (four && i % 2) bytes[bytes.size() - 1] = static_cast<char>(bytes.back() | v);
      else bytes.append(static_cast<char>(four ? v << 4 : v));
      if (draw) set(v);
    }
    if (bytes.size() % 2) bytes.append('\0');
    s.append('\0').append(static_cast<char>(n)).append(bytes);
  };

  while (y < h) {
    if (pending && y == faultRow && w - x <= 200) {
      switch (fault) {
        case PixelFault::RunPastRowEnd:
          s.append(static_cast<char>(w - x + 1)).append(static_cast<char>(four ? 0x11 : 1));
          break;
        case PixelFault::LiteralPastRowEnd: literal(std::max(3, w - x + 1), false); break;
        case PixelFault::DeltaOutside:
          if (rng.chance(50) || h - y > 255) {
            s.append('\0').append('\2').append(static_cast<char>(w - x + 1)).append('\0');
          } else {
            s.append('\0').append('\2').append('\0').append(static_cast<char>(h - y));
          }
          break;
        default:  // an index past the palette
          s.append('\1').append(static_cast<char>(four ? entries << 4 : entries));
          break;
      }
      s.append('\0').append('\1');
      return s;
    }
    if (x == w) {
      if (y == h - 1 && rng.chance(50)) break;  // straight to end of bitmap
      s.append('\0').append('\0');
      x = 0;
      if (++y == h) lastLineClosed = true;
      continue;
    }
    const int pick = rng.below(100);
    const int room = std::min(w - x, 255);
    if (!pending && pick < 2) break;  // early end of bitmap
    if (!(pending && y == faultRow) && pick < 7) {  // early end of line
      s.append('\0').append('\0');
      x = 0;
      if (++y == h) lastLineClosed = true;
      continue;
    }
    if (!pending && pick < 12) {
      const int dx = rng.below(room + 1), dy = rng.below(std::min(h - 1 - y, 255) + 1);
      s.append('\0').append('\2').append(static_cast<char>(dx)).append(static_cast<char>(dy));
      x += dx;
      y += dy;
      continue;
    }
    if (pick < 60 || room < 3) {
      const int count = 1 + rng.below(room);
      const int a = index(), b = four ? index() : a;
      s.append(static_cast<char>(count)).append(static_cast<char>(four ? a << 4 | b : a));
      for (int i = 0; i < count; ++i) set(i % 2 ? b : a);
    } else {
      literal(3 + rng.below(room - 2), true);
    }
  }
  if (fault == PixelFault::RowsPastEnd) {
    if (y < h) return s;  // cannot happen: no early end while a fault is due
    if (!lastLineClosed) s.append('\0').append('\0');
    s.append('\1').append('\0');
  }
  if (fault != PixelFault::NoEndMark) s.append('\0').append('\1');
  return s;
}

}  // namespace

void setU16(QByteArray& bytes, int at, quint32 value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void setU32(QByteArray& bytes, int at, quint32 value) {
  setU16(bytes, at, value & 0xFFFF);
  setU16(bytes, at + 2, value >> 16);
}

int widenedChannel(quint32 value, int bits) {
  if (bits >= 8) return static_cast<int>(value >> (bits - 8));
  int out = 0;
  for (int i = 0; i < 8; ++i) out = out << 1 | ((value >> (bits - 1 - i % bits)) & 1);
  return out;
}

BmpSample makeBmpSample(const BmpLayout& l, quint32 seed, PixelFault fault) {
  Rng rng(seed);
  BmpSample s;
  const bool alpha = l.packing == Packing::BitFields && l.masks[3] != 0;
  s.expected = QImage(l.width, l.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  std::vector<QRgb> palette;
  if (l.bpp <= 8) {
    palette.resize(l.colours ? l.colours : 1 << l.bpp);
    for (QRgb& c : palette) c = rng.colour();
  }
  const bool rle = isRle(l.packing);
  const QByteArray pixels = rle ? encodeRle(l, palette, rng, fault, s.expected)
                                : packRows(l, palette, rng, fault, s.expected);
  quint32 imageSize = stride(l) * l.height;
  if (rle) {
    s.streamSize = pixels.size();
    imageSize = rng.chance(25) ? 0 : pixels.size();
  }
  s.bytes = assemble(l, palette, pixels, imageSize, &s.dataOffset);
  return s;
}

QByteArray cutBmp(const BmpSample& sample, int length) {
  QByteArray b = sample.bytes.left(length);
  if (b.size() >= 6) setU32(b, 2, 0);
  const bool sizeField = b.size() >= kFileHeader + 24 &&
                         static_cast<quint8>(b[kFileHeader]) >= 24;
  if (sample.streamSize > 0 && sizeField) setU32(b, kFileHeader + 20, 0);
  return b;
}

GifSample makeGif(int width, int height, int tableBits, bool extensions, quint32 seed) {
  Rng rng(seed);
  const int colours = 1 << tableBits;
  std::vector<QRgb> palette(colours);
  for (QRgb& c : palette) c = rng.colour();
  QByteArray b("GIF89a");
  put16(b, width);
  put16(b, height);
  put8(b, 0x80 | 0x70 | (tableBits - 1));
  put8(b, 0);
  put8(b, 0);
  for (QRgb c : palette) {
    put8(b, qRed(c));
    put8(b, qGreen(c));
    put8(b, qBlue(c));
  }
  if (extensions) {
    b.append("\x21\xFE\x04kivo", 7).append('\0');          // comment
    b.append("\x21\xF9\x04\0\0\0\0", 7).append('\0');      // graphic control
  }
  b.append('\x2C');
  put16(b, 0);
  put16(b, 0);
  put16(b, width);
  put16(b, height);
  put8(b, 0);

  // LZW with a clear code before the table would widen the codes: every
  // pixel is one code of the starting width.
  const int minCode = std::max(2, tableBits);
  const quint32 clear = 1u << minCode;
  const int codeBits = minCode + 1;
  QByteArray codes;
  quint32 acc = 0;
  int accBits = 0;
  auto putCode = [&](quint32 code) {
    acc |= code << accBits;
    accBits += codeBits;
    while (accBits >= 8) {
      codes.append(static_cast<char>(acc & 0xFF));
      acc >>= 8;
      accBits -= 8;
    }
  };
  GifSample g;
  g.expected = QImage(width, height, QImage::Format_RGB32);
  putCode(clear);
  quint32 sinceClear = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (sinceClear == clear - 2) {
        putCode(clear);
        sinceClear = 0;
      }
      const int i = rng.below(colours);
      putCode(static_cast<quint32>(i));
      ++sinceClear;
      g.expected.setPixel(x, y, palette[i]);
    }
  }
  putCode(clear + 1);
  if (accBits > 0) codes.append(static_cast<char>(acc & 0xFF));

  put8(b, minCode);
  for (qsizetype at = 0; at < codes.size(); at += 255) {
    const QByteArray block = codes.mid(at, 255);
    put8(b, block.size());
    b.append(block);
  }
  put8(b, 0);
  put8(b, 0x3B);
  g.bytes = b;
  return g;
}

QByteArray makeBmp(BmpKind kind, int width, int height, const PixelFn& pixel) {
  BmpLayout l;
  l.width = width;
  l.height = height;
  switch (kind) {
    case BmpKind::Rgb555: l.bpp = 16; break;
    case BmpKind::Rgb565:
      l.bpp = 16;
      l.packing = Packing::BitFields;
      l.masks = {0xF800, 0x07E0, 0x001F, 0};
      break;
    case BmpKind::Rgb24: break;
    case BmpKind::Rgb32: l.bpp = 32; break;
    case BmpKind::Argb32Masks:
      l.bpp = 32;
      l.headerSize = 108;
      l.packing = Packing::BitFields;
      l.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
      break;
  }
  QByteArray pixels;
  for (int y = height - 1; y >= 0; --y) {
    QByteArray row(stride(l), '\0');
    for (int x = 0; x < width; ++x) {
      const QRgb c = pixel(x, y);
      if (l.bpp == 24) {
        row[3 * x] = static_cast<char>(qBlue(c));
        row[3 * x + 1] = static_cast<char>(qGreen(c));
        row[3 * x + 2] = static_cast<char>(qRed(c));
      } else {
        QRgb reads = 0;
        putPixelWord(row, x * l.bpp / 8, directWord(l, c, 0, &reads), l.bpp / 8);
      }
    }
    pixels.append(row);
  }
  int offset = 0;
  return assemble(l, {}, pixels, stride(l) * height, &offset);
}

QByteArray program24(int width, int height) {
  return makeBmp(BmpKind::Rgb24, width, height, [](int, int) { return qRgb(8, 0, 0); });
}

QByteArray pngChunk(const char* type, const QByteArray& data) {
  QByteArray out = QByteArray(4, '\0') + type + data + QByteArray(4, '\0');
  qToBigEndian(static_cast<quint32>(data.size()), out.data());
  quint32 crc = 0xFFFFFFFF;
  for (qsizetype i = 4; i < out.size() - 4; ++i) {
    crc ^= static_cast<quint8>(out[i]);
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
  }
  qToBigEndian(~crc, out.data() + out.size() - 4);
  return out;
}

QByteArray makePng(quint32 width, quint32 height, int bitDepth) {
  QByteArray header(13, '\0');
  qToBigEndian(width, header.data());
  qToBigEndian(height, header.data() + 4);
  header[8] = static_cast<char>(bitDepth);
  header[9] = 6;
  return "\x89PNG\r\n\x1A\n" + pngChunk("IHDR", header) + pngChunk("IDAT", qCompress(QByteArray(9, 0)).mid(4)) +
         pngChunk("IEND", {});
}

QByteArray makeJpeg(const QImage& picture, JpegKind kind) {
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = static_cast<JDIMENSION>(image.width());
  info.image_height = static_cast<JDIMENSION>(image.height());
  info.input_components = 4;
  info.in_color_space = kind.cmyk ? JCS_CMYK : JCS_EXT_BGRX;
  jpeg_set_defaults(&info);
  if (kind.fullChroma) info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
  if (kind.scans == JpegScans::Progressive) jpeg_simple_progression(&info);
  std::vector<jpeg_scan_info> script;
  const int bands = kind.scans == JpegScans::PerComponent ? 1 : 64;
  for (int c = 0; kind.scans >= JpegScans::PerComponent && c < info.num_components; ++c)
    for (int k = 0; k < bands; ++k) script.push_back({1, {c}, k, bands == 1 ? 63 : k, 0, 0});
  info.scan_info = script.empty() ? info.scan_info : script.data();
  info.num_scans = script.empty() ? info.num_scans : static_cast<int>(script.size());
  jpeg_start_compress(&info, TRUE);
  for (int y = 0; y < image.height(); ++y) {
    JSAMPROW row = const_cast<uchar*>(image.constScanLine(y));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  const QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
  std::free(out);
  return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace kivo::test
