#include "EditorFixture.h"

#include "store/Codes.h"
#include "store/ProgramBitmap.h"
#include "support/BmpFiles.h"
#include "support/StoreFields.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace kivo::test {
namespace {

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int pixelAt(const QImage& image, int x) { return pixelValue(image.pixel(x, 1)); }

class ProgramFileTest : public EditorTest {
 protected:
  QString path(const QString& name) const { return dir_.filePath(name); }
  void answerSave(const QString& file) { host.saveAnswers.push_back(file); }
  void answerOpen(const QString& file) { host.openAnswers.push_back(file); }

  // A program and settings that differ from the defaults in every field.
  void fillStore() {
    for (int k = 1; k <= Store::kFieldCount; ++k)
      store.setField(k, QString::number((k * 7919) % 16777216));
  }
  QStringList storeFields() const { return test::storeFields(store); }

 private:
  QTemporaryDir dir_;
};

// ---- Save -------------------------------------------------------------------

TEST_F(ProgramFileTest, SaveAfterStartUpWritesTheDesignPixels) {
  answerSave(path("start.bmp"));
  trigger("mnunamae");
  ASSERT_EQ(host.saveOffered, std::vector<QString>{""});
  EXPECT_TRUE(host.messages.empty());

  const QImage file(path("start.bmp"));
  ASSERT_GE(file.width(), 94);
  ASSERT_GE(file.height(), 2);
  for (int x = 1; x <= 20; ++x) EXPECT_EQ(pixelAt(file, x), 0) << x;
  EXPECT_EQ(file.pixel(21, 1), qRgb(24, 0, 0));
  for (int b = 1; b <= 20; ++b) EXPECT_EQ(file.pixel(21 + b, 1), qRgb(placeCode(b), 0, 0)) << b;
  EXPECT_EQ(file.pixel(42, 1), qRgb(24, 0, 0));
  for (int x = 43; x <= 93; ++x) EXPECT_EQ(file.pixel(x, 1), qRgb(8, 0, 0)) << x;
}

class RoundTripTest : public ProgramFileTest, public ::testing::WithParamInterface<const char*> {};

// A name chosen in a dialog is used as it stands, backslash and blank included.
TEST_P(RoundTripTest, OpenRestoresEveryFieldAndTheLinesAndSavesTheSameAgain) {
  const QString name = path(QString::fromUtf8(GetParam()));
  fillStore();
  const QStringList saved = storeFields();
  typeLines(saved.mid(0, Store::kLineCount));
  answerSave(name);
  click("Image3");
  ASSERT_TRUE(QFile::exists(name));

  for (int k = 1; k <= Store::kFieldCount; ++k) store.setField(k, Store::defaultText(k));
  typeLines(QStringList(Store::kLineCount, QStringLiteral("0")));
  answerOpen(name);
  click("Image2");
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(storeFields(), saved);
  EXPECT_EQ(lineTexts(), saved.mid(0, Store::kLineCount));

  answerSave(path("again.bmp"));
  trigger("mnunamae");
  const QImage first(name), again(path("again.bmp"));
  for (int k = 1; k <= Store::kFieldCount; ++k)
    EXPECT_EQ(pixelAt(again, k), pixelAt(first, k)) << k;
}

INSTANTIATE_TEST_SUITE_P(Names, RoundTripTest,
                         ::testing::Values("p.bmp", "a\\b c.bmp", "c:\\x.bmp", "プログラム.bmp"));

TEST_F(ProgramFileTest, ABlankBeforeANumberIsSavedAsTheNumberAndOpensWithout) {
  typeLines({QStringLiteral(" 49"), QStringLiteral("300"), QString(32767, u'0') + QStringLiteral("49")});
  answerSave(path("blank.bmp"));
  trigger("mnunamae");
  EXPECT_EQ(store.programLine(1), " 49") << "the store keeps what was typed";
  const QImage file(path("blank.bmp"));
  EXPECT_EQ(file.pixel(1, 1), qRgb(49, 0, 0));
  EXPECT_EQ(file.pixel(2, 1), qRgb(44, 1, 0));
  EXPECT_EQ(file.pixel(3, 1), qRgb(49, 0, 0)) << "a line box has no length limit";

  answerOpen(path("blank.bmp"));
  trigger("mnuhiraku");
  EXPECT_EQ(line(1)->text(), "49");
  EXPECT_EQ(store.programLine(1), "49");
  EXPECT_EQ(line(2)->text(), "300");
}

TEST_F(ProgramFileTest, SixteenAndThirtyTwoBitFilesOpen) {
  // Values a 5-6-5 file holds exactly: red and green from the low levels.
  Store program;
  const int codes[] = {231, 16, 2056, 4104, 6152, 255, 8, 0, 140, 24};
  for (int k = 1; k <= Store::kFieldCount; ++k)
    program.setField(k, QString::number(codes[k % std::size(codes)]));
  QImage canvas = program.codePicture();
  QString error;
  ASSERT_TRUE(writeProgramBitmap(program, canvas, &error));

  for (BmpKind kind : {BmpKind::Rgb555, BmpKind::Rgb565, BmpKind::Rgb32, BmpKind::Argb32Masks}) {
    const QString file = path(QStringLiteral("kind%1.bmp").arg(static_cast<int>(kind)));
    ASSERT_TRUE(writeFile(file, makeBmp(kind, canvas.width(), canvas.height(),
                                        [&](int x, int y) { return canvas.pixel(x, y); })));
    for (int k = 1; k <= Store::kFieldCount; ++k) store.setField(k, Store::defaultText(k));
    answerOpen(file);
    trigger("mnuhiraku");
    EXPECT_TRUE(host.messages.empty()) << static_cast<int>(kind);
    for (int k = 1; k <= Store::kFieldCount; ++k)
      EXPECT_EQ(store.field(k), program.field(k)) << "kind " << static_cast<int>(kind) << " field " << k;
    EXPECT_EQ(line(1)->text(), program.programLine(1));
  }
}

// Every wording is the bitmap writer's; here it is the action around it.
const RefusedText kRefusedSaves[] = {
    {"emptyLine", 3, u"", u"3行目が数字ではありません。"},
    {"lineBeyondColours", 7, u"16777216", u"7行目の数字は保存できません。"},
    {"placeNoNumber", 30, u"", u"ボタン9の配置が数字ではありません。"},
};

class RefusedSaveTest : public ProgramFileTest,
                        public ::testing::WithParamInterface<RefusedText> {};

TEST_P(RefusedSaveTest, NamesTheFieldShowsNoDialogAndWritesNothing) {
  const RefusedText& c = GetParam();
  const QString file = path("old.bmp");
  ASSERT_TRUE(writeFile(file, "old contents"));
  const QString text = QString::fromUtf16(c.text);
  typeLines({QStringLiteral("231"), QStringLiteral("16"), QStringLiteral("8")});
  if (c.field <= Store::kLineCount)
    line(c.field)->setText(text);
  else
    store.setField(c.field, text);
  const QStringList typed = lineTexts();
  answerSave(file);

  trigger("mnunamae");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_TRUE(host.messages[0].startsWith(QString::fromUtf16(c.message)))
      << host.messages[0].toStdString();
  EXPECT_TRUE(host.saveOffered.empty()) << "no dialog";
  EXPECT_EQ(contents(file), "old contents");
  for (int k = 1; k <= Store::kLineCount; ++k)
    EXPECT_EQ(store.programLine(k), typed[k - 1]) << "the lines stay copied, line " << k;
}

INSTANTIATE_TEST_SUITE_P(Fields, RefusedSaveTest, ::testing::ValuesIn(kRefusedSaves),
                         [](const auto& info) { return std::string(info.param.tag); });

TEST_F(ProgramFileTest, AFailedWriteSaysSoAndLeavesTheOldFileWhole) {
  // The name leaves no room for the temporary file beside it.
  const QString file = path(QString(246, u'a') + QStringLiteral(".bmp"));
  ASSERT_TRUE(writeFile(file, "old contents"));
  const QString noFolder = path(QStringLiteral("missing/new.bmp"));
  for (const QString& target : {file, noFolder, QStringLiteral("/sys/kivo.bmp")}) {  // no file can be made in /sys
    host.messages.clear();
    answerSave(target);
    trigger("mnunamae");
    ASSERT_EQ(host.messages.size(), 1u);
    const QString& said = host.messages[0];
    EXPECT_TRUE(said.startsWith(QStringLiteral("ファイルを保存できません: ") + target)) << said.toStdString();
    EXPECT_FALSE(said.sliced(said.lastIndexOf(u'（')).contains(QRegularExpression("[A-Za-z]")));
  }
  EXPECT_EQ(contents(file), "old contents");
  EXPECT_FALSE(QFile::exists(noFolder));
  EXPECT_EQ(QDir(path("")).entryList(QDir::Files).size(), 1) << "no temporary file left";
}

// ---- Open -------------------------------------------------------------------

// Which files are refused is the program file's own affair; here, that the
// editor says so and keeps its lines as they were.
TEST_F(ProgramFileTest, ARefusedFileIsNamedAndChangesNothing) {
  const QString file = path("cut.bmp");
  writeFile(file, makeBmp(BmpKind::Rgb24, 137, 33, [](int, int) { return qRgb(8, 0, 0); }).chopped(500));
  fillStore();
  typeLines({QStringLiteral("231"), QStringLiteral("abc")});
  const QStringList fields = storeFields(), lines = lineTexts();
  const QImage canvas = store.codePicture();

  answerOpen(file);
  click("Image2");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], QStringLiteral("ファイルが途中で切れています: ") + file);
  EXPECT_EQ(storeFields(), fields);
  EXPECT_EQ(lineTexts(), lines);
  EXPECT_EQ(store.codePicture(), canvas);
}

// ---- The dialogs ------------------------------------------------------------

TEST_F(ProgramFileTest, CancelInEitherDialogDoesNothing) {
  fillStore();
  answerSave(path("kept.bmp"));
  trigger("mnunamae");
  typeLines({QStringLiteral("16")});
  const QStringList fields = storeFields();
  const QImage canvas = store.codePicture();
  const QByteArray file = contents(path("kept.bmp"));

  trigger("mnuhiraku");  // no answer: cancel
  EXPECT_EQ(storeFields(), fields);
  EXPECT_EQ(line(1)->text(), "16");
  EXPECT_EQ(store.codePicture(), canvas);

  trigger("mnunamae");
  EXPECT_EQ(contents(path("kept.bmp")), file);
  EXPECT_EQ(QDir(path("")).entryList(QDir::Files).size(), 1);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ProgramFileTest, BothDialogsStartWithTheLastNameUntilNew) {
  answerSave(path("a.bmp"));
  trigger("mnunamae");
  answerOpen(path("a.bmp"));
  trigger("mnuhiraku");
  trigger("mnunamae");  // cancelled: the name stays
  trigger("mnuhiraku");
  EXPECT_EQ(host.saveOffered, (std::vector<QString>{"", path("a.bmp")}));
  EXPECT_EQ(host.openOffered, (std::vector<QString>{path("a.bmp"), path("a.bmp")}));

  trigger("mnusinnka");
  trigger("mnuhiraku");
  trigger("mnunamae");
  EXPECT_EQ(host.openOffered.back(), "");
  EXPECT_EQ(host.saveOffered.back(), "");
}

TEST_F(ProgramFileTest, OpenDuringARunLeavesTheCaptionAndTheRun) {
  answerSave(path("p.bmp"));
  trigger("mnunamae");
  trigger("mnuzikkouw");
  answerOpen(path("p.bmp"));
  trigger("mnuhiraku");
  trigger("mnunamae");
  EXPECT_EQ(status(), "実行準備中");
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace kivo::test
