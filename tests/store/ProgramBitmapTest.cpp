#include "store/ProgramBitmap.h"

#include "store/Codes.h"
#include "store/Store.h"
#include "support/BmpFiles.h"
#include "support/StoreFields.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <functional>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::BmpKind;
using test::RefusedText;
using test::makeBmp;
using test::program24;
using test::writeFile;

QImage freshCanvas() { return Store().codePicture(); }

// A store whose fields all differ from their defaults and span the range.
Store variedStore() {
  Store store;
  const int values[] = {0, 8, 8508, 10545, 300, 16777215, 65536, 255, 256, 2056};
  for (int k = 1; k <= Store::kFieldCount; ++k)
    store.setField(k, QString::number(values[k % 10] + (k % 10 == 4 ? k : 0)));
  return store;
}

void expectSameFields(const Store& a, const Store& b) {
  for (int k = 1; k <= Store::kFieldCount; ++k) EXPECT_EQ(a.field(k), b.field(k)) << "field " << k;
}

class ProgramBitmapTest : public ::testing::Test {
 protected:
  QString path(const QString& name) const { return dir_.filePath(name); }

  // The store read back from a program file on disk.
  Store readBack(const QString& name) {
    QImage loaded;
    QString error;
    EXPECT_TRUE(loadProgramImage(path(name), &loaded, &error)) << error.toStdString();
    Store back;
    EXPECT_TRUE(readProgramBitmap(loaded, back, &error));
    return back;
  }

  // Draws `original`, writes the canvas as a bitmap of `kind`, reads it back.
  Store throughFile(const Store& original, BmpKind kind) {
    QImage canvas = freshCanvas();
    QString error;
    EXPECT_TRUE(writeProgramBitmap(original, canvas, &error));
    EXPECT_TRUE(writeFile(path("through.bmp"), makeBmp(kind, canvas.width(), canvas.height(),
                                                       [&](int x, int y) { return canvas.pixel(x, y); })));
    return readBack("through.bmp");
  }

  QTemporaryDir dir_;
};

TEST_F(ProgramBitmapTest, DefaultStoreDrawsTheDesignPixels) {
  const Store store;
  QImage canvas = freshCanvas();
  QString error;
  ASSERT_TRUE(writeProgramBitmap(store, canvas, &error));
  ASSERT_TRUE(saveProgramImage(canvas, path("start.bmp"), &error)) << error.toStdString();

  QImage file(path("start.bmp"));
  ASSERT_FALSE(file.isNull());
  EXPECT_EQ(file.depth(), 32);  // Qt's in-memory form of the 24-bit file
  auto rgb = [&](int x) { return file.pixel(x, 1) & 0xFFFFFF; };
  for (int x = 1; x <= 20; ++x) EXPECT_EQ(rgb(x), qRgb(0, 0, 0) & 0xFFFFFF) << x;
  EXPECT_EQ(rgb(21), qRgb(24, 0, 0) & 0xFFFFFF);
  for (int b = 1; b <= 20; ++b)
    EXPECT_EQ(rgb(21 + b), qRgb(placeCode(b), 0, 0) & 0xFFFFFF) << b;
  EXPECT_EQ(rgb(42), qRgb(24, 0, 0) & 0xFFFFFF);
  for (int x = 43; x <= 93; ++x) EXPECT_EQ(rgb(x), qRgb(8, 0, 0) & 0xFFFFFF) << x;

  QFile raw(path("start.bmp"));
  ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
  const QByteArray head = raw.read(30);
  EXPECT_EQ(head.left(2), "BM");
  EXPECT_EQ(static_cast<int>(head[28]), 24) << "bits per pixel";
}

TEST_F(ProgramBitmapTest, ValuesBecomeColoursChannelByChannel) {
  struct Row { const char* text; QRgb colour; };
  const Row rows[] = {{"0", qRgb(0, 0, 0)},      {"24", qRgb(24, 0, 0)},
                      {"165", qRgb(165, 0, 0)},  {"2056", qRgb(8, 8, 0)},
                      {"8508", qRgb(60, 33, 0)}, {"10545", qRgb(49, 41, 0)},
                      {"300", qRgb(44, 1, 0)},   {" 49", qRgb(49, 0, 0)},
                      {"２４", qRgb(24, 0, 0)},  {"16777215", qRgb(255, 255, 255)}};
  for (const Row& r : rows) {
    Store store;
    store.setProgramLine(1, QString::fromUtf8(r.text));
    QImage canvas = freshCanvas();
    QString error;
    ASSERT_TRUE(writeProgramBitmap(store, canvas, &error)) << r.text;
    EXPECT_EQ(canvas.pixel(1, 1), r.colour) << r.text;
    EXPECT_EQ(store.programLine(1), QString::fromUtf8(r.text)) << "the store keeps the text";
  }
}

const RefusedText kRefused[] = {
    {"emptyLine", 3, u"", u"3行目が数字ではありません。"},
    {"lettersInLine", 20, u"abc", u"20行目が数字ではありません。"},
    {"negative", 1, u"-1", u"1行目の数字は保存できません。"},
    {"tooLarge", 1, u"16777216", u"1行目の数字は保存できません。"},
    {"beyond32Bits", 1, u"99999999999", u"1行目の数字は保存できません。"},
    {"fraction", 5, u"8.5", u"5行目の数字は保存できません。"},
    {"formSize", 21, u"x", u"フォームの大きさが数字ではありません。"},
    {"place", 30, u"", u"ボタン9の配置が数字ではありません。"},
    {"character", 93, u"?", u"文字設定５の10文字目が数字ではありません。"},
};

class RefusedField : public ::testing::TestWithParam<RefusedText> {};

TEST_P(RefusedField, IsNamedAndNothingIsDrawn) {
  const RefusedText& c = GetParam();
  Store store;
  store.setProgramLine(1, QStringLiteral("231"));
  store.setField(c.field, QString::fromUtf16(c.text));
  QImage canvas = freshCanvas();
  const QImage before = canvas;
  QString error;
  EXPECT_FALSE(writeProgramBitmap(store, canvas, &error));
  EXPECT_TRUE(error.startsWith(QString::fromUtf16(c.message))) << error.toStdString();
  EXPECT_EQ(canvas, before);
}

INSTANTIATE_TEST_SUITE_P(Fields, RefusedField, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.tag); });

TEST_F(ProgramBitmapTest, RoundTripThroughATwentyFourBitFile) {
  const Store original = variedStore();
  QImage canvas = freshCanvas();
  QString error;
  ASSERT_TRUE(writeProgramBitmap(original, canvas, &error));
  ASSERT_TRUE(saveProgramImage(canvas, path("p.bmp"), &error));
  expectSameFields(original, readBack("p.bmp"));
}

TEST_F(ProgramBitmapTest, RoundTripThroughThirtyTwoBitFiles) {
  const Store original = variedStore();
  for (BmpKind kind : {BmpKind::Rgb32, BmpKind::Argb32Masks})
    expectSameFields(original, throughFile(original, kind));
}

TEST_F(ProgramBitmapTest, SixteenBitFilesKeepEveryCommandButOne) {
  // Lines, places and characters take the 73 commands in turn.
  const auto table = commandTable();
  Store original;
  for (int k = 1; k <= Store::kFieldCount; ++k)
    original.setField(k, QString::number(table[(k - 1) % 73].code));
  const Store back = throughFile(original, BmpKind::Rgb555);
  for (int k = 1; k <= Store::kFieldCount; ++k) {
    if (original.field(k) == "8508")
      EXPECT_NE(back.field(k), "8508") << "60 is no 5-bit level";
    else
      EXPECT_EQ(back.field(k), original.field(k)) << "field " << k;
  }
}

TEST_F(ProgramBitmapTest, FiveSixFiveFilesKeepEveryColourLevelInRed) {
  Store original;
  for (int k = 1; k <= 31; ++k) original.setField(k, QString::number(colourLevel(k)));
  original.setField(40, QStringLiteral("8508"));
  const Store back = throughFile(original, BmpKind::Rgb565);
  for (int k = 1; k <= 31; ++k) EXPECT_EQ(back.field(k), QString::number(colourLevel(k))) << k;
  EXPECT_NE(back.field(40), "8508");
}

// Files that the editor's open and the player's loader refuse, both through
// openProgramFile: the message names the file, and the store stays whole.
struct RefusedOpen {
  const char* tag;
  const char* name;
  std::function<bool(const QString& file)> make;  // false: nothing to make
  const char16_t* message;
};

const RefusedOpen kRefusedOpens[] = {
    {"missing", "missing.bmp", [](const QString&) { return false; }, u"ファイルを開けません: "},
    {"folder", "folder.bmp", [](const QString& f) { return QDir().mkdir(f); }, u"ファイルを開けません: "},
    {"text", "text.bmp", [](const QString& f) { return writeFile(f, "no picture at all"); },
     u"画像ファイルとして読めません: "},
    {"narrow", "narrow.bmp", [](const QString& f) { return writeFile(f, program24(93, 2)); },
     u"プログラムのファイルではありません"},
    {"flat", "flat.bmp", [](const QString& f) { return writeFile(f, program24(94, 1)); },
     u"プログラムのファイルではありません"},
    {"cutShort", "cut.bmp", [](const QString& f) { return writeFile(f, program24(137, 33).chopped(500)); },
     u"ファイルが途中で切れています: "},
};

class RefusedOpenTest : public ProgramBitmapTest, public ::testing::WithParamInterface<RefusedOpen> {};

TEST_P(RefusedOpenTest, NamesTheFileAndChangesNothing) {
  const RefusedOpen& c = GetParam();
  const QString file = path(QString::fromLatin1(c.name));
  c.make(file);
  Store store = variedStore();
  const Store before = store;
  QString error;
  EXPECT_FALSE(openProgramFile(file, store, &error));
  EXPECT_TRUE(error.startsWith(QString::fromUtf16(c.message))) << error.toStdString();
  EXPECT_TRUE(error.contains(file)) << error.toStdString();
  expectSameFields(store, before);
  EXPECT_EQ(store.codePicture(), before.codePicture());
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedOpenTest, ::testing::ValuesIn(kRefusedOpens),
                         [](const auto& info) { return std::string(info.param.tag); });

TEST_F(ProgramBitmapTest, ReadingWritesPlainDigits) {
  QImage image(94, 2, QImage::Format_RGB32);
  image.fill(qRgb(8, 0, 0));
  image.setPixel(1, 1, qRgb(49, 41, 0));
  Store store;
  store.setProgramLine(1, QStringLiteral(" 49"));
  QString error;
  ASSERT_TRUE(readProgramBitmap(image, store, &error));
  EXPECT_EQ(store.programLine(1), "10545");
  EXPECT_EQ(store.programLine(2), "8");
  EXPECT_EQ(store.formShape(), "8");
}

TEST_F(ProgramBitmapTest, AssignedPictureKeepsTheCanvasSize) {
  QImage canvas = freshCanvas();
  QImage big(300, 40, QImage::Format_RGB32);
  big.fill(qRgb(1, 2, 3));
  assignPicture(canvas, big);
  EXPECT_EQ(canvas.size(), freshCanvas().size());
  EXPECT_EQ(canvas.pixel(100, 20), qRgb(1, 2, 3));
}

// Saves that cannot succeed say why and leave what stood under the name.
struct FailedSave {
  const char* tag;
  QString name;
  const char16_t* why;
  rlim_t sizeLimit = RLIM_INFINITY;  // when set, saved over an old file
};

const FailedSave kFailedSaves[] = {
    {"missingFolder", "no/such/folder/p.bmp", u"フォルダーがありません"},
    {"fileSizeLimit", "p.bmp", u"ディスクに書き込めません", 4096},
    {"fifo", "fifo", u"普通のファイルではありません"},
    {"nameOf249Bytes", QString(249, u'a'), u"ファイル名が長すぎます"},
};

class RefusedSave : public ProgramBitmapTest, public ::testing::WithParamInterface<FailedSave> {};

TEST_P(RefusedSave, SaysWhyAndLeavesWhatWasThere) {
  const FailedSave& c = GetParam();
  const QString name = path(c.name);
  const bool old = c.sizeLimit != RLIM_INFINITY;
  QString error;
  if (old) {
    ASSERT_TRUE(saveProgramImage(freshCanvas(), name, &error));
  } else if (c.name == "fifo") {
    ASSERT_EQ(mkfifo(QFile::encodeName(name).constData(), 0600), 0);
  }
  auto state = [&] {  // the folder's names and kinds, and the old file's bytes
    QStringList s;
    for (const QFileInfo& i : QDir(dir_.path()).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
      s << i.fileName() + (i.isFile() ? "" : "/");
    QFile file(name);
    if (old && file.open(QIODevice::ReadOnly)) s << QString::fromLatin1(file.readAll().toHex());
    return s;
  };
  const QStringList before = state();
  QImage canvas = freshCanvas();
  ASSERT_TRUE(writeProgramBitmap(variedStore(), canvas, &error));
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit lowered{std::min(c.sizeLimit, limit.rlim_max), limit.rlim_max};
  std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the test
  setrlimit(RLIMIT_FSIZE, &lowered);
  const bool saved = saveProgramImage(canvas, name, &error);
  setrlimit(RLIMIT_FSIZE, &limit);
  EXPECT_FALSE(saved);
  EXPECT_EQ(error, QStringLiteral("ファイルを保存できません: %1（%2）").arg(name, QString::fromUtf16(c.why)));
  EXPECT_EQ(state(), before) << "nothing replaced, nothing left behind";
}

INSTANTIATE_TEST_SUITE_P(Saves, RefusedSave, ::testing::ValuesIn(kFailedSaves),
                         [](const auto& info) { return std::string(info.param.tag); });

}  // namespace
}  // namespace kivo
