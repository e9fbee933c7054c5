#include "platform/Picture.h"
#include "support/BmpFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace kivo {
namespace {

using test::BmpKind;
using test::BmpLayout;
using test::Packing;
using test::makeBmp;
using test::writeFile;

TEST(LocalPath, MapsTheDesignDriveToHome) {
  const QString home = QDir::homePath();
  EXPECT_EQ(localPath(QStringLiteral("c:\\kivo\\1.bmp")), home + "/kivo/1.bmp");
  EXPECT_EQ(localPath(QStringLiteral("C:\\kivo\\10.bmp")), home + "/kivo/10.bmp");
  EXPECT_EQ(localPath(QStringLiteral("/tmp/prog\\3.bmp")), "/tmp/prog\\3.bmp");
  EXPECT_EQ(localPath(QStringLiteral("c:x.bmp")), "c:x.bmp");
  EXPECT_EQ(localPath(QStringLiteral("/tmp/a.bmp")), "/tmp/a.bmp");
}

class PictureFileTest : public ::testing::Test {
 protected:
  QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir_;
};

TEST_F(PictureFileTest, SixteenBitChannelsAreExpandedByBitRepetition) {
  for (BmpKind kind : {BmpKind::Rgb555, BmpKind::Rgb565}) {
    // Row 0 holds 5-bit levels 0..31 in red and blue, 6-bit 0..63 in green.
    const QByteArray bytes = makeBmp(kind, 64, 1, [](int x, int) {
      const int five = (x % 32) << 3, six = x << 2;
      return qRgb(five, six, five);
    });
    ASSERT_TRUE(writeFile(path("16.bmp"), bytes));
    QImage image;
    QString error;
    ASSERT_TRUE(readImageFile(path("16.bmp"), &image, &error)) << error.toStdString();
    for (int x = 0; x < 64; ++x) {
      const int v5 = x % 32;
      const QRgb c = image.pixel(x, 0);
      EXPECT_EQ(qRed(c), 8 * v5 + v5 / 4) << x;
      EXPECT_EQ(qBlue(c), 8 * v5 + v5 / 4) << x;
      const int green = kind == BmpKind::Rgb565 ? 4 * x + x / 16
                                                : 8 * (x / 2) + (x / 2) / 4;
      EXPECT_EQ(qGreen(c), green) << x;
    }
  }
}

TEST_F(PictureFileTest, TopRowOfABottomUpFileIsRowZero) {
  const QByteArray bytes = makeBmp(BmpKind::Rgb555, 2, 2, [](int, int y) {
    return y == 0 ? qRgb(255, 0, 0) : qRgb(0, 0, 255);
  });
  ASSERT_TRUE(writeFile(path("rows.bmp"), bytes));
  QImage image;
  QString error;
  ASSERT_TRUE(readImageFile(path("rows.bmp"), &image, &error));
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 255));
}

TEST_F(PictureFileTest, OtherPictureFormatsLoadToo) {
  QImage png(3, 3, QImage::Format_RGB32);
  png.fill(qRgb(10, 20, 30));
  ASSERT_TRUE(png.save(path("p.bmp"), "PNG"));
  QImage image;
  QString error;
  ASSERT_TRUE(readImageFile(path("p.bmp"), &image, &error));
  EXPECT_EQ(image.pixel(1, 1), qRgb(10, 20, 30));
  // Progressive CMYK whose coefficients alone take over 128 MiB.
  QImage big(4100, 4100, QImage::Format_RGB32);
  big.fill(qRgb(40, 30, 20));
  ASSERT_TRUE(writeFile(path("big.jpg"), test::makeJpeg(big, {test::JpegScans::Progressive, true})));
  EXPECT_TRUE(readImageFile(path("big.jpg"), &image, &error)) << error.toStdString();
}

// Files put together by hand, with the pixels they stand for worked out by
// hand: the generator of the larger tests could share a misreading.
struct HandMade {
  const char* tag;
  BmpLayout layout;
  std::vector<QRgb> palette;  // written over the generated one
  QByteArray pixelData;       // written over the generated pixel data
  std::vector<std::vector<QRgb>> rows;  // expected, top row first
};

constexpr QRgb kC0 = 0xFF102030, kC1 = 0xFF405060, kC2 = 0xFF708090;

std::vector<HandMade> handMadeFiles() {
  auto layout = [](int header, int bpp, Packing p, int w, int h, int colours = 0,
                   std::array<quint32, 4> masks = {}) {
    return BmpLayout{.headerSize = header, .bpp = bpp, .packing = p, .masks = masks,
                     .colours = colours, .width = w, .height = h};
  };
  auto bytes = [](std::initializer_list<int> v) {
    QByteArray b;
    for (int x : v) b.append(static_cast<char>(x));
    return b;
  };
  const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
  return {
      // Bottom row: a run, a delta over one pixel, a run; top row: literals.
      {"rle8RunsDeltaAndLiteral", layout(40, 8, Packing::Rle8, 4, 2, 3), {kC0, kC1, kC2},
       bytes({2, 1, 0, 2, 1, 0, 1, 2, 0, 0, 0, 3, 2, 1, 2, 0, 0, 1}),
       {{kC2, kC1, kC2, kC0}, {kC1, kC1, kC0, kC2}}},
      // Alternating nibbles, then an end of bitmap that leaves two pixels.
      {"rle4NibblesAndEarlyEnd", layout(40, 4, Packing::Rle4, 5, 1, 3), {kC0, kC1, kC2},
       bytes({3, 0x12, 0, 1}), {{kC1, kC2, kC1, kC0, kC0}}},
      {"rle4OddLiteralIsPadded", layout(56, 4, Packing::Rle4, 4, 1, 3), {kC0, kC1, kC2},
       bytes({0, 3, 0x21, 0x20, 1, 0x11, 0, 1}), {{kC2, kC1, kC2, kC1}}},
      {"coreHeaderThreeBytePalette", layout(12, 1, Packing::Rgb, 8, 1), {black, white},
       bytes({0xA0, 0, 0, 0}), {{white, black, white, black, black, black, black, black}}},
      {"tenBitChannelsKeepTheirTopBits",
       layout(52, 32, Packing::BitFields, 1, 1, 0, {0x3FF00000, 0x000FFC00, 0x000003FF, 0}), {},
       bytes({0x01, 0x00, 0xF8, 0x3F}), {{qRgb(255, 128, 0)}}},
      {"sixBitChannelsAreRepeated",
       layout(40, 32, Packing::BitFields, 1, 1, 0, {0x3F000, 0xFC0, 0x3F, 0}), {},
       bytes({0x7F, 0xF0, 0x01, 0}), {{qRgb(125, 4, 255)}}},  // 31, 1, 63
      {"alphaMaskKeepsColoursAsStored",
       layout(124, 32, Packing::BitFields, 1, 1, 0, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}), {},
       bytes({30, 20, 10, 0}), {{qRgba(10, 20, 30, 0)}}},
  };
}

class HandMadeFile : public PictureFileTest, public ::testing::WithParamInterface<HandMade> {};

TEST_P(HandMadeFile, ReadsAsWorkedOutByHand) {
  const HandMade& c = GetParam();
  const test::BmpSample sample = test::makeBmpSample(c.layout, 1);
  QByteArray b = sample.bytes.left(sample.dataOffset) + c.pixelData;
  const int entrySize = c.layout.headerSize == 12 ? 3 : 4;
  const int paletteAt = 14 + c.layout.headerSize;
  for (std::size_t i = 0; i < c.palette.size(); ++i) {
    b[paletteAt + entrySize * i] = static_cast<char>(qBlue(c.palette[i]));
    b[paletteAt + entrySize * i + 1] = static_cast<char>(qGreen(c.palette[i]));
    b[paletteAt + entrySize * i + 2] = static_cast<char>(qRed(c.palette[i]));
  }
  test::setU32(b, 2, b.size());
  if (c.layout.packing == Packing::Rle8 || c.layout.packing == Packing::Rle4)
    test::setU32(b, 14 + 20, c.pixelData.size());
  ASSERT_TRUE(writeFile(path("hand.bmp"), b));
  QImage image;
  QString error;
  ASSERT_TRUE(readImageFile(path("hand.bmp"), &image, &error)) << error.toStdString();
  ASSERT_EQ(image.height(), static_cast<int>(c.rows.size()));
  for (int y = 0; y < image.height(); ++y) {
    ASSERT_EQ(image.width(), static_cast<int>(c.rows[y].size()));
    for (int x = 0; x < image.width(); ++x)
      EXPECT_EQ(image.pixel(x, y), c.rows[y][x]) << "pixel " << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(Bitmaps, HandMadeFile, ::testing::ValuesIn(handMadeFiles()),
                         [](const auto& info) { return std::string(info.param.tag); });

// Each kind of refusal, and the message the user reads for it.
struct Refusal {
  const char* tag;
  std::function<QByteArray()> bytes;  // none: no file at all
  const char16_t* says;
  qint64 padTo = 0;  // the file made this long, sparsely, after its bytes
};

QByteArray bmp24() { return makeBmp(BmpKind::Rgb24, 94, 2, [](int, int) { return qRgb(1, 2, 3); }); }

QByteArray changed(QByteArray b, int at, quint32 v) {
  test::setU32(b, at, v);
  return b;
}

// A noisy picture in `format`, big enough that a cut lands in its pixels.
QByteArray encoded(const char* format, QImage::Format pixels = QImage::Format_RGB32) {
  QByteArray b;
  QBuffer buffer(&b);
  buffer.open(QIODevice::WriteOnly);
  test::makeGif(94, 40, 8, false, 5).expected.convertToFormat(pixels).save(&buffer, format);
  return b;
}

QByteArray jpegOf(test::JpegScans scans) { return test::makeJpeg(test::makeGif(94, 40, 8, false, 5).expected, {scans}); }
QByteArray firstScanOnly(const QByteArray& b) { return b.left(b.indexOf("\xFF\xDA", b.indexOf("\xFF\xDA") + 2)) + "\xFF\xD9"; }


QByteArray cutAndEnded(const QByteArray& b, const QByteArray& end) { return b.left(b.size() * 6 / 10) + end; }

QByteArray jpegClaiming(quint16 side) {
  QByteArray b = encoded("JPEG");
  const qsizetype at = b.indexOf("\xFF\xC0") + 5;  // height, then width
  qToBigEndian(side, b.data() + at);
  qToBigEndian(side, b.data() + at + 2);
  return b;
}

const Refusal kRefusals[] = {
    {"missingFile", nullptr, u"ファイルを開けません: "},
    {"textFile", [] { return QByteArray("just text"); }, u"画像ファイルとして読めません: "},
    {"pixelsCutShort", [] { return bmp24().chopped(10); }, u"ファイルが途中で切れています: "},
    {"claims4000x4000", [] { return changed(changed(bmp24(), 18, 4000), 22, 4000); },
     u"ファイルが途中で切れています: "},
    {"twoPlanes", [] { return changed(bmp24(), 26, 0x180002); }, u"画像ファイルの見出しが正しくありません: "},
    {"headerOfNoFormat", [] { return changed(bmp24(), 14, 44); }, u"画像ファイルの見出しが正しくありません: "},
    {"runPastRowEnd",
     [] {
       const BmpLayout l{.bpp = 8, .packing = Packing::Rle8};
       return test::makeBmpSample(l, 7, test::PixelFault::RunPastRowEnd).bytes;
     },
     u"画像ファイルの画素データが壊れています: "},
    {"jpegInsideBitmap", [] { return changed(bmp24(), 30, 4); }, u"この種類の画像ファイルは読めません: "},
    {"hugeSides", [] { return changed(changed(bmp24(), 18, 40000), 22, 40000); }, u"画像が大きすぎます: "},
    {"pngWithoutEnd", [] { return encoded("PNG").chopped(12); }, u"ファイルが途中で切れています: "},
    {"pngClaims65535Square", [] { return test::makePng(65535, 65535, 8); }, u"画像が大きすぎます: "},
    {"sixteenBitPngOverMemoryCap", [] { return test::makePng(5000, 5000, 16); }, u"画像が大きすぎます: "},
    {"jpegClaims20000Square", [] { return jpegClaiming(20000); }, u"画像が大きすぎます: "},
    {"over256MiB", bmp24, u"画像が大きすぎます: ", (qint64{256} << 20) + 1},
    {"jpegCutAndEnded", [] { return cutAndEnded(encoded("JPEG"), "\xFF\xD9"); }, u"画像ファイルの画素データが壊れています: "},
    {"pngCutAndEnded", [] { return cutAndEnded(encoded("PNG"), test::makePng(1, 1, 8).right(12)); },
     u"ファイルが途中で切れています: "},
    {"gifCutAndEnded", [] { return cutAndEnded(test::makeGif(94, 40, 8, false, 5).bytes, ";"); },
     u"ファイルが途中で切れています: "},
    {"gifPixelsEndEarly",
     [] {  // one pixel's codes, in a picture of 94 x 40
       QByteArray b = test::makeGif(1, 1, 8, false, 5).bytes;
       for (qsizetype at : {6, 13 + 3 * 256 + 5}) {
         qToLittleEndian<quint16>(94, b.data() + at);
         qToLittleEndian<quint16>(40, b.data() + at + 2);
       }
       return b;
     },
     u"画像ファイルの画素データが壊れています: "},
    {"progressiveEndsAfterFirstScan", [] { return firstScanOnly(jpegOf(test::JpegScans::Progressive)); },
     u"ファイルが途中で切れています: "},
    {"scanPerComponentEndsAfterFirst", [] { return firstScanOnly(jpegOf(test::JpegScans::PerComponent)); },
     u"ファイルが途中で切れています: "},
    {"jpegOf192Scans", [] { return jpegOf(test::JpegScans::PerCoefficient); }, u"画像ファイルのスキャンが多すぎます: "},
    {"twelveBitJpeg", [] { QByteArray b = encoded("JPEG"); b[b.indexOf("\xFF\xC0") + 4] = 12; return b; },
     u"この種類の画像ファイルは読めません: "},
    {"gifFrameOverCap", [] { return changed(test::makeGif(1, 1, 8, false, 5).bytes, 13 + 768 + 5, 0xFFFFFFFF); },
     u"画像が大きすぎます: "},
    {"gifLocalColoursShortOfScreen",
     [] {  // a wider screen; the colours moved from the screen to the frame
       QByteArray b = test::makeGif(1, 1, 8, false, 5).bytes;
       b[6] = 2, b[10] = 0x77, b[13 + 768 + 9] = '\x87';
       return b.left(13) + b.mid(13 + 768, 10) + b.mid(13, 768) + b.mid(13 + 768 + 10);
     },
     u"この種類の画像ファイルは読めません: "},
    {"rgb16PngWithTrns",  // Qt 6.4 writes three quarters of each row
     [] { return encoded("PNG", QImage::Format_RGBX64).insert(33, test::pngChunk("tRNS", QByteArray(6, 0))); },
     u"この種類の画像ファイルは読めません: "},
};

class RefusedFile : public PictureFileTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedFile, SaysWhatIsWrongAndLeavesThePictureAlone) {
  const Refusal& c = GetParam();
  if (c.bytes) {
    ASSERT_TRUE(writeFile(path("r.bmp"), c.bytes()));
  }
  if (c.padTo) {
    ASSERT_TRUE(QFile::resize(path("r.bmp"), c.padTo));
  }
  QImage image(2, 2, QImage::Format_RGB32);
  image.fill(qRgb(9, 9, 9));
  const QImage before = image;
  QString error;
  EXPECT_FALSE(readImageFile(path("r.bmp"), &image, &error));
  EXPECT_EQ(error, QString::fromUtf16(c.says) + path("r.bmp"));
  EXPECT_EQ(image, before);
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedFile, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.tag); });

}  // namespace
}  // namespace kivo
