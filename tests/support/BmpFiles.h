#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QString>

#include <array>
#include <functional>

namespace kivo::test {

// Picture files written byte by byte, in forms that Qt itself never writes.
// Each generated file comes with the picture a correct reader makes of it,
// worked out from what was written, not by decoding.

enum class Packing { Rgb, Rle8, Rle4, BitFields };

struct BmpLayout {
  int headerSize = 40;  // 12 (core), OS/2 16..64, 40, 52, 56, 108, 124
  int bpp = 24;
  Packing packing = Packing::Rgb;
  std::array<quint32, 4> masks{};  // R, G, B, A; bit fields only
  bool topDown = false;
  int colours = 0;  // palette entries written; 0 = all 2^bpp
  int width = 94;
  int height = 2;
};

// A fault written into the pixel data on purpose.
enum class PixelFault {
  None,
  IndexOutsidePalette,  // needs colours < 2^bpp
  RunPastRowEnd,        // RLE
  LiteralPastRowEnd,    // RLE
  DeltaOutside,         // RLE
  RowsPastEnd,          // RLE: pixels after the last row
  NoEndMark,            // RLE: the stream stops without end of bitmap
};

struct BmpSample {
  QByteArray bytes;
  QImage expected;  // RGB32, or ARGB32 with an alpha mask
  int dataOffset = 0;
  int streamSize = 0;  // RLE: bytes of the compressed stream
};

// Random pixels (and padding bits, unused bytes, unused mask bits) from seed.
BmpSample makeBmpSample(const BmpLayout& layout, quint32 seed,
                        PixelFault fault = PixelFault::None);

// The same file at another length, with the sizes its header gives made to
// agree (file size 0, RLE stream to the end), so that only the pixel data
// can tell that it was cut.
QByteArray cutBmp(const BmpSample& sample, int length);

// A GIF with a global table of 2^tableBits colours, one frame, no
// transparency; `extensions` adds a comment and a graphic control block.
struct GifSample {
  QByteArray bytes;
  QImage expected;
};
GifSample makeGif(int width, int height, int tableBits, bool extensions, quint32 seed);

// A PNG whose header claims width x height of RGBA at `bitDepth` bits a
// channel, with one IDAT chunk of nine zero bytes. Every CRC is right.
QByteArray makePng(quint32 width, quint32 height, int bitDepth);

// A JPEG that libjpeg itself writes: one scan, its own progressive script,
// one sequential scan per component, or one progressive scan per component
// and coefficient. CMYK is written from the RGB32 bytes as they stand.
enum class JpegScans { One, Progressive, PerComponent, PerCoefficient };
struct JpegKind {
  JpegScans scans = JpegScans::One;
  bool cmyk = false;
  bool fullChroma = false;  // 4:4:4
};
QByteArray makeJpeg(const QImage& picture, JpegKind kind);

// A PNG chunk of `type` holding `data`, its CRC right.
QByteArray pngChunk(const char* type, const QByteArray& data);

// Older fixed kinds, for tests that give the colour of every pixel.
enum class BmpKind {
  Rgb555,      // 16 bits, no masks
  Rgb565,      // 16 bits with masks
  Rgb24,
  Rgb32,       // 32 bits, no masks, fourth byte 0
  Argb32Masks  // 32 bits with an alpha mask and opaque pixels
};

using PixelFn = std::function<QRgb(int x, int y)>;

QByteArray makeBmp(BmpKind kind, int width, int height, const PixelFn& pixel);
// A 24-bit bitmap of one colour, for the sizes and lengths a program file
// may not have.
QByteArray program24(int width, int height);
bool writeFile(const QString& path, const QByteArray& bytes);

void setU16(QByteArray& bytes, int at, quint32 value);
void setU32(QByteArray& bytes, int at, quint32 value);

// A channel of `bits` bits read back at 8 bits, written out bit by bit.
int widenedChannel(quint32 value, int bits);

}  // namespace kivo::test
