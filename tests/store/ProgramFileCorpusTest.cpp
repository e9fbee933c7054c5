// Thousands of generated picture files through the open code: each valid one
// must read exactly as written, each broken one must be refused, and every
// file must read the same twice with the freed memory between the two
// readings filled differently.

#include "platform/Picture.h"
#include "platform/Number.h"
#include "store/ProgramBitmap.h"
#include "store/Store.h"
#include "support/BmpFiles.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace kivo {
namespace {

using test::BmpLayout;
using test::BmpSample;
using test::Packing;
using test::PixelFault;
using test::setU16;
using test::setU32;

enum class Expect { Valid, Refused, Unknown };

struct CorpusFile {
  std::string tag;
  QByteArray bytes;
  Expect expect = Expect::Refused;
  QImage picture;  // what a valid file reads as
};

constexpr int kInfo = 14;  // the info header starts after the file header

bool isWindows(int size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

std::string describe(const BmpLayout& l) {
  static const char* const kPacking[] = {"rgb", "rle8", "rle4", "bitfields"};
  std::string s = "h" + std::to_string(l.headerSize) + "-" + std::to_string(l.bpp) + "bit-" +
                  kPacking[static_cast<int>(l.packing)];
  if (l.packing == Packing::BitFields) {
    char m[48];
    std::snprintf(m, sizeof m, "-%x.%x.%x.%x", l.masks[0], l.masks[1], l.masks[2], l.masks[3]);
    s += m;
  }
  if (l.colours) s += "-c" + std::to_string(l.colours);
  if (l.topDown) s += "-topdown";
  return s + "-" + std::to_string(l.width) + "x" + std::to_string(l.height);
}

// Every header kind with each depth and packing it can hold.
std::vector<BmpLayout> allLayouts() {
  std::vector<BmpLayout> out;
  auto add = [&](int header, int bpp, Packing p, std::array<quint32, 4> masks = {},
                 int colours = 0) {
    BmpLayout l{.headerSize = header, .bpp = bpp, .packing = p, .masks = masks, .colours = colours};
    out.push_back(l);
    if (isWindows(header) && (p == Packing::Rgb || p == Packing::BitFields)) {
      l.topDown = true;
      out.push_back(l);
    }
  };
  for (int bpp : {1, 4, 8, 24}) add(12, bpp, Packing::Rgb);
  for (int header : {16, 20, 24, 36, 42, 48, 64}) {
    for (int bpp : {1, 4, 8, 24}) add(header, bpp, Packing::Rgb);
    if (header >= 20) {
      add(header, 8, Packing::Rle8);
      add(header, 4, Packing::Rle4);
    }
  }
  const std::array<quint32, 4> masks16[] = {
      {0xF800, 0x07E0, 0x001F, 0}, {0x7C00, 0x03E0, 0x001F, 0}, {0x001F, 0x07E0, 0xF800, 0},
      {0x0F00, 0x00F0, 0x000F, 0}, {0x8000, 0x4000, 0x2000, 0}, {0x0F00, 0x00F0, 0x000F, 0xF000},
      {0x7C00, 0x03E0, 0x001F, 0x8000}};
  const std::array<quint32, 4> masks32[] = {
      {0xFF0000, 0xFF00, 0xFF, 0},
      {0x3FF00000, 0x000FFC00, 0x000003FF, 0},
      {0x3F000, 0xFC0, 0x3F, 0},
      {0xFFE00000, 0x001FFC00, 0x000003FF, 0},
      {0xFF, 0xFF00, 0xFF0000, 0},
      {0xFFFF0000, 0xFF00, 0xF0, 0},
      {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
      {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000},
      {0x00007C00, 0x000003E0, 0x0000001F, 0x00FF0000}};
  constexpr int kWindows[] = {40, 52, 56, 108, 124};
  for (int header : kWindows) {
    for (int bpp : {1, 4, 8, 16, 24, 32}) add(header, bpp, Packing::Rgb);
    add(header, 8, Packing::Rle8);
    add(header, 4, Packing::Rle4);
    add(header, 8, Packing::Rle8, {}, 100);
    add(header, 4, Packing::Rle4, {}, 5);
    add(header, 8, Packing::Rgb, {}, 17);
    add(header, 4, Packing::Rgb, {}, 3);
    add(header, 1, Packing::Rgb, {}, 1);
  }
  // Each set of masks in two header kinds; alpha needs 56 bytes or more.
  int turn = 0;
  auto addMasks = [&](int bpp, const std::array<quint32, 4>& m) {
    for (int i = 0; i < 2; ++i) {
      const int header = m[3] ? kWindows[2 + (turn + i) % 3] : kWindows[(turn + i) % 5];
      add(header, bpp, Packing::BitFields, m);
    }
    ++turn;
  };
  for (const auto& m : masks16) addMasks(16, m);
  for (const auto& m : masks32) addMasks(32, m);
  return out;
}

bool fullPalette(const BmpLayout& l) { return l.colours == 0 || l.colours == 1 << l.bpp; }

bool isRle(const BmpLayout& l) { return l.packing == Packing::Rle8 || l.packing == Packing::Rle4; }

// A header field broken in a way that no valid file has.
struct HeaderDefect {
  const char* tag;
  std::function<bool(const BmpLayout&)> applies;
  std::function<void(QByteArray&, const BmpLayout&, const BmpSample&)> apply;
};

quint32 u32(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }

std::vector<HeaderDefect> headerDefects() {
  using L = const BmpLayout&;
  using S = const BmpSample&;
  auto any = [](L) { return true; };
  auto info = [](L l) { return l.headerSize != 12; };
  auto windows = [](L l) { return isWindows(l.headerSize); };
  auto masked = [](L l) { return l.packing == Packing::BitFields; };
  auto core = [](L l) { return l.headerSize == 12; };
  // Masks stand right after the first 40 bytes of the info header.
  auto mask = [](int i) { return kInfo + 40 + 4 * i; };
  std::vector<HeaderDefect> d;
  for (quint32 size : {0u, 8u, 13u, 17u, 38u, 39u, 41u, 50u, 54u, 100u, 107u, 109u, 123u, 125u,
                       128u, 0xFFFFFFFFu})
    d.push_back({"headerSize", any, [size](QByteArray& b, L, S) { setU32(b, kInfo, size); }});
  for (quint32 planes : {0u, 2u, 3u, 0xFFFFu})
    d.push_back({"planes", any, [=](QByteArray& b, L l, S) {
                   setU16(b, core(l) ? kInfo + 8 : kInfo + 12, planes);
                 }});
  for (quint32 bpp : {0u, 2u, 3u, 5u, 7u, 12u, 33u, 48u, 64u})
    d.push_back({"bitsPerPixel", any, [=](QByteArray& b, L l, S) {
                   setU16(b, core(l) ? kInfo + 10 : kInfo + 14, bpp);
                 }});
  d.push_back({"zeroWidth", any, [=](QByteArray& b, L l, S) {
                 core(l) ? setU16(b, kInfo + 4, 0) : setU32(b, kInfo + 4, 0);
               }});
  d.push_back({"zeroHeight", any, [=](QByteArray& b, L l, S) {
                 core(l) ? setU16(b, kInfo + 6, 0) : setU32(b, kInfo + 8, 0);
               }});
  d.push_back({"negativeWidth", info, [](QByteArray& b, L, S) { setU32(b, kInfo + 4, 0xFFFFFFF0u); }});
  d.push_back({"lowestHeight", windows, [](QByteArray& b, L, S) { setU32(b, kInfo + 8, 0x80000000u); }});
  d.push_back({"hugeSides", info, [](QByteArray& b, L, S) {
                 setU32(b, kInfo + 4, 40000);
                 setU32(b, kInfo + 8, 40000);
               }});
  d.push_back({"claims4000x4000", [](L l) { return l.headerSize != 12 && !isRle(l); },
               [](QByteArray& b, L, S) {
                 setU32(b, kInfo + 4, 4000);
                 setU32(b, kInfo + 8, 4000);
               }});
  d.push_back({"unknownCompression", [](L l) { return l.headerSize >= 20; },
               [](QByteArray& b, L, S) { setU32(b, kInfo + 16, 7); }});
  d.push_back({"rle8OnOtherDepth", [](L l) { return l.headerSize >= 20 && l.bpp != 8; },
               [](QByteArray& b, L, S) { setU32(b, kInfo + 16, 1); }});
  d.push_back({"rle4OnOtherDepth", [](L l) { return l.headerSize >= 20 && l.bpp != 4; },
               [](QByteArray& b, L, S) { setU32(b, kInfo + 16, 2); }});
  d.push_back({"bitFieldsOnIndexed", [](L l) { return isWindows(l.headerSize) && l.bpp <= 8; },
               [](QByteArray& b, L, S) { setU32(b, kInfo + 16, 3); }});
  d.push_back({"jpegInside", windows, [](QByteArray& b, L, S) { setU32(b, kInfo + 16, 4); }});
  d.push_back({"topDownRle", [](L l) { return isWindows(l.headerSize) && isRle(l); },
               [](QByteArray& b, L l, S) { setU32(b, kInfo + 8, static_cast<quint32>(-l.height)); }});
  d.push_back({"tooManyColours", [](L l) { return l.headerSize >= 36 && l.bpp <= 8; },
               [](QByteArray& b, L l, S) { setU32(b, kInfo + 32, (1u << l.bpp) + 1); }});
  d.push_back({"overlappingMasks", masked, [=](QByteArray& b, L, S) { setU32(b, mask(1), u32(b, mask(0))); }});
  d.push_back({"gappedMask", masked, [=](QByteArray& b, L, S) { setU32(b, mask(2), 0x5); }});
  d.push_back({"zeroMask", masked, [=](QByteArray& b, L, S) { setU32(b, mask(1), 0); }});
  d.push_back({"maskPastSixteenBits", [](L l) { return l.packing == Packing::BitFields && l.bpp == 16; },
               [=](QByteArray& b, L, S) { setU32(b, mask(0), 0x1F0000); }});
  d.push_back({"alphaOverColour", [](L l) { return l.packing == Packing::BitFields && l.headerSize >= 56; },
               [=](QByteArray& b, L, S) { setU32(b, mask(3), u32(b, mask(2))); }});
  d.push_back({"pixelsInsideHeaders", any, [](QByteArray& b, L, S s) { setU32(b, 10, s.dataOffset - 1); }});
  d.push_back({"pixelsAtFileHeader", any, [](QByteArray& b, L, S) { setU32(b, 10, 14); }});
  d.push_back({"pixelsPastTheEnd", any, [](QByteArray& b, L, S) { setU32(b, 10, b.size() + 1); }});
  d.push_back({"fileSizeClaimsMore", any, [](QByteArray& b, L, S) { setU32(b, 2, b.size() + 1); }});
  d.push_back({"os2Recording", [](L l) { return !isWindows(l.headerSize) && l.headerSize >= 46; },
               [](QByteArray& b, L, S) { setU16(b, kInfo + 44, 1); }});
  d.push_back({"embeddedProfilePastEnd", [](L l) { return l.headerSize == 124; },
               [](QByteArray& b, L, S) {
                 setU32(b, kInfo + 56, 0x4D424544);  // 'MBED'
                 setU32(b, kInfo + 112, b.size());
                 setU32(b, kInfo + 116, 64);
               }});
  return d;
}

// Fields that a reader must ignore: the file reads as before.
struct HarmlessChange {
  const char* tag;
  std::function<bool(const BmpLayout&)> applies;
  std::function<void(QByteArray&, const BmpSample&, std::mt19937&)> apply;
};

std::vector<HarmlessChange> harmlessChanges() {
  auto any = [](const BmpLayout&) { return true; };
  return {
      {"fileSizeZero", any, [](QByteArray& b, const BmpSample&, std::mt19937&) { setU32(b, 2, 0); }},
      {"reservedWords", any, [](QByteArray& b, const BmpSample&, std::mt19937& r) { setU32(b, 6, r()); }},
      {"resolution", [](const BmpLayout& l) { return l.headerSize >= 32; },
       [](QByteArray& b, const BmpSample&, std::mt19937& r) {
         setU32(b, kInfo + 24, r());
         setU32(b, kInfo + 28, r());
       }},
      {"importantColours", [](const BmpLayout& l) { return l.headerSize >= 40; },
       [](QByteArray& b, const BmpSample&, std::mt19937& r) { setU32(b, kInfo + 36, r()); }},
      {"imageSizeZero", [](const BmpLayout& l) { return l.headerSize >= 24 && !isRle(l); },
       [](QByteArray& b, const BmpSample&, std::mt19937&) { setU32(b, kInfo + 20, 0); }},
      {"colourSpaceEndpoints", [](const BmpLayout& l) { return l.headerSize >= 108; },
       [](QByteArray& b, const BmpSample&, std::mt19937& r) {
         for (int at = 60; at < 108; at += 4) setU32(b, kInfo + at, r());
       }},
      {"gapBeforePixels", any, [](QByteArray& b, const BmpSample& s, std::mt19937& r) {
         const int gap = 1 + static_cast<int>(r() % 64);
         QByteArray junk(gap, '\0');
         for (char& c : junk) c = static_cast<char>(r());
         b.insert(s.dataOffset, junk);
         setU32(b, 10, s.dataOffset + gap);
         setU32(b, 2, b.size());
       }},
      {"bytesAfterPixels", [](const BmpLayout& l) { return !isRle(l); },
       [](QByteArray& b, const BmpSample&, std::mt19937& r) {
         for (int i = 0, n = 1 + static_cast<int>(r() % 32); i < n; ++i) b.append(static_cast<char>(r()));
       }},
  };
}

QImage randomImage(int w, int h, QImage::Format format, std::mt19937& rng) {
  QImage image(w, h, QImage::Format_ARGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, static_cast<QRgb>(rng()));
  return image.convertToFormat(format);
}

QByteArray saved(const QImage& image, const char* format, int quality = -1) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, format, quality)) << format;
  return bytes;
}

class Corpus {
 public:
  std::vector<CorpusFile> files;

  void valid(std::string tag, QByteArray bytes, QImage picture) {
    files.push_back({std::move(tag), std::move(bytes), Expect::Valid, std::move(picture)});
  }
  void refused(std::string tag, QByteArray bytes) {
    files.push_back({std::move(tag), std::move(bytes), Expect::Refused, {}});
  }
  void unknown(std::string tag, QByteArray bytes) {
    files.push_back({std::move(tag), std::move(bytes), Expect::Unknown, {}});
  }
  // Cuts at the lengths given: all of them must be refused.
  template <typename Cut>
  void cuts(const std::string& tag, int size, const std::vector<int>& lengths, Cut cut) {
    for (int n : lengths)
      if (n >= 0 && n < size) refused(tag + "-cut" + std::to_string(n), cut(n));
  }
};

std::vector<int> everyLength(int size) {
  std::vector<int> v(size);
  for (int i = 0; i < size; ++i) v[i] = i;
  return v;
}

std::vector<int> someLengths(int size, int dataOffset, std::mt19937& rng) {
  std::vector<int> v = {18, dataOffset - 1, size - 1};
  for (int i = 0; i < 3; ++i) v.push_back(static_cast<int>(rng() % size));
  return v;
}

// The layouts cut at every length: one of each packing.
bool cutEverywhere(const BmpLayout& l) {
  return !l.topDown &&
         ((l.headerSize == 40 && l.bpp == 24) ||
          (l.headerSize == 40 && l.packing == Packing::Rle8 && l.colours == 100) ||
          (l.headerSize == 124 && l.packing == Packing::Rle4 && l.colours == 5) ||
          (l.headerSize == 56 && l.masks[3] == 0xC0000000));
}

void addBitmaps(Corpus& c, std::mt19937& rng) {
  const auto layouts = allLayouts();
  const auto defects = headerDefects();
  const auto harmless = harmlessChanges();
  for (BmpLayout l : layouts) {
    // A program-sized file, a small picture and, for RLE, a wide one.
    std::vector<std::pair<int, int>> sizes = {
        {94 + static_cast<int>(rng() % 40), 2 + static_cast<int>(rng() % 3)},
        {1 + static_cast<int>(rng() % 17), 1 + static_cast<int>(rng() % 5)}};
    if (isRle(l)) sizes.push_back({300 + static_cast<int>(rng() % 2700), 2});
    for (auto [w, h] : sizes) {
      l.width = w;
      l.height = h;
      const BmpSample s = test::makeBmpSample(l, rng());
      c.valid(describe(l), s.bytes, s.expected);
    }
    l.width = 94 + static_cast<int>(rng() % (cutEverywhere(l) ? 4 : 40));
    l.height = cutEverywhere(l) ? 2 : 2 + static_cast<int>(rng() % 3);
    const std::string tag = describe(l);
    const BmpSample s = test::makeBmpSample(l, rng());

    const auto lengths = cutEverywhere(l) ? everyLength(s.bytes.size())
                                          : someLengths(s.bytes.size(), s.dataOffset, rng);
    c.cuts(tag, s.bytes.size(), lengths, [&](int n) { return test::cutBmp(s, n); });
    c.refused(tag + "-cutKeepingSizes", s.bytes.left(s.bytes.size() - 1));

    for (const HeaderDefect& d : defects) {
      if (!d.applies(l) || rng() % 10 != 0) continue;
      QByteArray b = s.bytes;
      d.apply(b, l, s);
      c.refused(tag + "-" + d.tag, b);
    }
    for (const HarmlessChange& h : harmless) {
      if (!h.applies(l) || rng() % 4 != 0) continue;
      QByteArray b = s.bytes;
      h.apply(b, s, rng);
      c.valid(tag + "-" + h.tag, b, s.expected);
    }
    std::vector<PixelFault> faults;
    if (l.bpp <= 8 && !fullPalette(l)) faults.push_back(PixelFault::IndexOutsidePalette);
    if (isRle(l))
      faults.insert(faults.end(), {PixelFault::RunPastRowEnd, PixelFault::LiteralPastRowEnd,
                                   PixelFault::DeltaOutside, PixelFault::RowsPastEnd,
                                   PixelFault::NoEndMark});
    for (PixelFault f : faults)
      c.refused(tag + "-fault" + std::to_string(static_cast<int>(f)),
                  test::makeBmpSample(l, rng(), f).bytes);
    // Chance damage: no expected picture, but never a crash and never two
    // different readings.
    {
      QByteArray b = s.bytes;
      for (int flips = 1 + static_cast<int>(rng() % 4); flips > 0; --flips)
        b[rng() % std::min<quint32>(b.size(), s.dataOffset + 16)] = static_cast<char>(rng());
      c.unknown(tag + "-damaged", b);
    }
  }
}

void addOtherFormats(Corpus& c, std::mt19937& rng) {
  struct Png {
    QImage::Format format;
    int w, h;
  };
  const Png pngs[] = {{QImage::Format_RGB32, 94, 2},     {QImage::Format_ARGB32, 100, 3},
                      {QImage::Format_Indexed8, 120, 4}, {QImage::Format_Grayscale8, 7, 5},
                      {QImage::Format_RGB888, 95, 2},    {QImage::Format_Mono, 130, 2}};
  for (const Png& p : pngs) {
    const QImage image = randomImage(p.w, p.h, p.format, rng);
    const QByteArray bytes = saved(image, "PNG");
    const std::string tag = "png-" + std::to_string(p.format);
    c.valid(tag, bytes, image);
    const auto lengths = p.format == QImage::Format_RGB32 ? everyLength(bytes.size())
                                                         : someLengths(bytes.size(), 8, rng);
    c.cuts(tag, bytes.size(), lengths, [&](int n) { return bytes.left(n); });
    QByteArray tail = bytes;
    c.valid(tag + "-afterEnd", tail.append("junk"), image);
  }
  for (int bits = 1; bits <= 8; ++bits) {
    const auto gif = test::makeGif(94 + static_cast<int>(rng() % 30), 2 + bits % 3, bits, bits % 2, rng());
    const std::string tag = "gif-" + std::to_string(bits);
    c.valid(tag, gif.bytes, gif.expected);
    const auto lengths = bits == 3 ? everyLength(gif.bytes.size())
                                                : someLengths(gif.bytes.size(), 13, rng);
    c.cuts(tag, gif.bytes.size(), lengths, [&](int n) { return gif.bytes.left(n); });
    QByteArray trailing = gif.bytes;  // codes after the last pixel, the end code left out
    c.valid(tag + "-codesAfterPixels", trailing.insert(trailing.size() - 2, "\x08" "trailing"), gif.expected);
  }
  for (int quality : {10, 75, 100}) {
    const QImage image = randomImage(94 + quality % 7, 2 + quality % 3, QImage::Format_RGB32, rng);
    const QByteArray bytes = saved(image, "JPEG", quality);
    const QImage reference = QImage::fromData(bytes, "JPEG");
    const std::string tag = "jpeg-q" + std::to_string(quality);
    c.valid(tag, bytes, reference);
    const auto lengths = quality == 75 ? everyLength(bytes.size()) : someLengths(bytes.size(), 2, rng);
    c.cuts(tag, bytes.size(), lengths, [&](int n) { return bytes.left(n); });
  }
  using test::JpegScans;
  const std::pair<QImage, test::JpegKind> jpegs[] = {
      {randomImage(95, 3, QImage::Format_RGB32, rng), {JpegScans::Progressive}},
      {randomImage(96, 2, QImage::Format_RGB32, rng), {JpegScans::PerComponent, true}},
      {randomImage(97, 4, QImage::Format_RGB32, rng), {JpegScans::One, false, true}}};
  for (const auto& [image, kind] : jpegs) {
    QByteArray bytes = test::makeJpeg(image, kind);
    const std::string tag = "jpeg-scans" + std::to_string(int(kind.scans)) + (kind.cmyk ? "-cmyk" : "");
    c.valid(tag, bytes, QImage::fromData(bytes, "JPEG"));
    c.valid(tag + "-afterEnd", bytes + "junk", QImage::fromData(bytes, "JPEG"));
    if (kind.cmyk) continue;  // no JFIF header
    bytes[11] = 2;  // JFIF 2.01
    c.valid(tag + "-jfif2", bytes, QImage::fromData(bytes, "JPEG"));
  }
  // Not pictures at all, and formats Qt reads that we do not take.
  c.refused("empty", {});
  c.refused("text", "just some text, no picture");
  c.refused("xpm", saved(randomImage(94, 2, QImage::Format_RGB32, rng), "XPM"));
  c.refused("ppm", saved(randomImage(94, 2, QImage::Format_RGB32, rng), "PPM"));
  c.refused("ico", saved(randomImage(16, 16, QImage::Format_ARGB32, rng), "ICO"));
  for (int i = 0; i < 40; ++i) {
    QByteArray noise(1 + static_cast<int>(rng() % 600), '\0');
    for (char& ch : noise) ch = static_cast<char>(rng());
    if (i % 2) noise.replace(0, 2, "BM");
    c.refused("noise" + std::to_string(i), noise);
  }
}

// Allocates and fills blocks of many sizes, then frees them, so that a
// reader leaving memory unwritten takes up `pattern` next time.
void fillFreedMemory(unsigned char pattern) {
  std::vector<unsigned char*> blocks;
  for (std::size_t size = 256; size <= 64 * 1024; size *= 2) {
    for (std::size_t n : {size, size + size / 2}) {
      auto* p = static_cast<unsigned char*>(std::malloc(n));
      std::memset(p, pattern, n);
      asm volatile("" : : "r"(p) : "memory");  // keep the stores
      blocks.push_back(p);
    }
  }
  for (auto* p : blocks) std::free(p);
}

struct Reading {
  bool picture = false;
  QImage image;
  QString error;
  bool program = false;
  QString programError;
  std::array<QString, Store::kFieldCount> fields;
};

Reading readThroughOpen(const QString& path) {
  Reading r;
  r.picture = readImageFile(path, &r.image, &r.error);
  QImage loaded;
  Store store;
  r.program = loadProgramImage(path, &loaded, &r.programError) &&
              readProgramBitmap(loaded, store, &r.programError);
  for (int k = 1; k <= Store::kFieldCount; ++k) r.fields[k - 1] = store.field(k);
  return r;
}

bool samePixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return false;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) return false;
  return true;
}

bool sameReading(const Reading& a, const Reading& b) {
  return a.picture == b.picture && a.error == b.error && a.program == b.program &&
         a.programError == b.programError && a.fields == b.fields && samePixels(a.image, b.image);
}

bool bigEnough(const QImage& image) {
  return image.width() >= kProgramMinWidth && image.height() >= kProgramMinHeight;
}

// What is wrong with a reading; empty when it is right.
std::string judge(const CorpusFile& f, const Reading& r, const QString& path) {
  const Store defaults;
  auto untouched = [&] {
    for (int k = 1; k <= Store::kFieldCount; ++k)
      if (r.fields[k - 1] != defaults.field(k)) return false;
    return true;
  };
  switch (f.expect) {
    case Expect::Valid:
      if (!r.picture) return "refused: " + r.error.toStdString();
      if (!samePixels(r.image, f.picture)) return "read with other pixels";
      if (!bigEnough(f.picture)) return r.program ? "too small but opened" : "";
      if (!r.program) return "not opened: " + r.programError.toStdString();
      for (int k = 1; k <= Store::kFieldCount; ++k)
        if (r.fields[k - 1] != QString::number(pixelValue(f.picture.pixel(k, 1))))
          return "field " + std::to_string(k) + " is " + r.fields[k - 1].toStdString();
      return "";
    case Expect::Refused:
      if (r.picture || r.program) return "accepted";
      if (!r.error.contains(path) || !r.programError.contains(path)) return "message names no file";
      return untouched() ? "" : "store changed";
    case Expect::Unknown:
      if (r.program != (r.picture && bigEnough(r.image))) return "open and picture disagree";
      return r.program || untouched() ? "" : "store changed";
  }
  return "";
}

TEST(ProgramFileCorpus, EveryFileReadsExactlyOrIsRefusedAndAlwaysTheSame) {
  QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
  std::mt19937 rng(20240601);
  Corpus corpus;
  addBitmaps(corpus, rng);
  addOtherFormats(corpus, rng);

  QTemporaryDir dir;
  int checked = 0, failures = 0;
  for (std::size_t i = 0; i < corpus.files.size(); ++i) {
    const CorpusFile& f = corpus.files[i];
    // A new name each time: rewriting one file makes ext4 flush it to disk.
    const QString path = dir.filePath(QStringLiteral("%1.bmp").arg(i));
    ASSERT_TRUE(test::writeFile(path, f.bytes));
    fillFreedMemory(0xA5);
    const Reading first = readThroughOpen(path);
    fillFreedMemory(0x5A);
    const Reading second = readThroughOpen(path);
    std::string fault = sameReading(first, second) ? judge(f, first, path) : "two readings differ";
    QFile::remove(path);
    if (f.expect != Expect::Unknown) ++checked;
    if (fault.empty()) continue;
    if (++failures <= 25) ADD_FAILURE() << f.tag << ": " << fault;
  }
  EXPECT_EQ(failures, 0) << "of " << corpus.files.size() << " files";
  EXPECT_GE(checked, 2000);
  RecordProperty("files", static_cast<int>(corpus.files.size()));
  std::printf("[ corpus   ] %zu files, %d with a known result\n", corpus.files.size(), checked);
}

}  // namespace
}  // namespace kivo
