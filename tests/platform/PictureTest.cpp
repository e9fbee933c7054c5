#include "platform/Picture.h"
#include "support/BmpFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::BmpKind;
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

TEST_F(PictureFileTest, MissingFileIsRefusedWithItsName) {
  QImage image;
  QString error;
  EXPECT_FALSE(readImageFile(path("none.bmp"), &image, &error));
  EXPECT_TRUE(error.contains(path("none.bmp")));
}

TEST_F(PictureFileTest, TextFileIsNoPicture) {
  ASSERT_TRUE(writeFile(path("a.bmp"), "just text"));
  QImage image;
  QString error;
  EXPECT_FALSE(readImageFile(path("a.bmp"), &image, &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST_F(PictureFileTest, PixelDataCutShortIsRefused) {
  QByteArray bytes = makeBmp(BmpKind::Rgb24, 94, 2, [](int, int) { return qRgb(1, 2, 3); });
  bytes.chop(10);
  ASSERT_TRUE(writeFile(path("cut.bmp"), bytes));
  QImage image;
  QString error;
  EXPECT_FALSE(readImageFile(path("cut.bmp"), &image, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("切れて")));
}

TEST_F(PictureFileTest, HeaderClaimingMorePixelsThanTheFileHoldsIsRefused) {
  QByteArray bytes = makeBmp(BmpKind::Rgb24, 94, 2, [](int, int) { return qRgb(1, 2, 3); });
  const quint32 huge = 4000;
  for (int at : {18, 22}) memcpy(bytes.data() + at, &huge, 4);  // little-endian host
  ASSERT_TRUE(writeFile(path("claim.bmp"), bytes));
  QImage image;
  QString error;
  EXPECT_FALSE(readImageFile(path("claim.bmp"), &image, &error));
}

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
}

}  // namespace
}  // namespace kivo
