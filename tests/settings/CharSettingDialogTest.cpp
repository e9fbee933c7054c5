#include "DialogFixture.h"

#include "settings/CharSettingDialog.h"
#include "store/Codes.h"

#include <QLabel>
#include <QPushButton>

#include <array>
#include <set>
#include <tuple>
#include <vector>

namespace kivo::test {
namespace {

// The character buttons Command11..Command40 in order, as the user sees them.
const QString kCaptions = QStringLiteral("abcdefghijklmnopqrstuvwxyz,.!?");

// "#3" presses cell 3; any other token the character button with that caption.
QString buttonFor(const char* token) {
  if (token[0] == '#') return QStringLiteral("Command%1").arg(QString::fromLatin1(token + 1));
  const int at = kCaptions.indexOf(QString::fromLatin1(token));
  EXPECT_GE(at, 0) << token;
  return QStringLiteral("Command%1").arg(11 + at);
}

struct Script {
  const char* name;
  std::vector<const char*> presses;
  std::array<int, 10> codes;  // what OK stores, cell by cell
};

const Script kScripts[] = {
    {"OkAtOnceClearsTheSetting", {}, {8, 8, 8, 8, 8, 8, 8, 8, 8, 8}},
    {"CharacterBeforeAnyCellFillsCell1", {"z"}, {255, 8, 8, 8, 8, 8, 8, 8, 8, 8}},
    {"SecondCharacterReplacesTheFirst", {"#2", "a", "?", "?"}, {8, 247, 8, 8, 8, 8, 8, 8, 8, 8}},
    {"CellsOutOfOrder", {"#7", "x", "#3", "b"}, {8, 8, 24, 8, 8, 8, 206, 8, 8, 8}},
    {"HBlankI", {"#1", "h", "#3", "i"}, {74, 8, 82, 8, 8, 8, 8, 8, 8, 8}},
    {"AZComma", {"a", "#2", "z", "#3", ","}, {16, 255, 222, 8, 8, 8, 8, 8, 8, 8}},
    {"AllTenCells",
     {"#1", "k", "#2", "o", "#3", "r", "#4", "v", "#5", "a", "#6", "n", "#7", "e", "#8", "s", "#9",
      "t", "#10", "!"},
     {99, 132, 156, 189, 16, 123, 49, 165, 173, 239}},
};

void PrintTo(const Script& s, std::ostream* os) { *os << s.name; }

class CharOk : public DialogTest,
               public ::testing::WithParamInterface<std::tuple<int, Script>> {};

TEST_P(CharOk, WritesItsOwnTenFieldsOnly) {
  const auto& [setting, script] = GetParam();
  markStore();
  QStringList want = fields();
  QPointer<CharSettingDialog> dialog = open<CharSettingDialog>(setting);
  for (const char* token : script.presses) click(dialog, buttonFor(token));

  for (int cell = 1; cell <= 10; ++cell) {
    const int code = script.codes[cell - 1];
    const auto shown = decodeChar(QString::number(code));
    EXPECT_EQ(child<QPushButton>(dialog, QStringLiteral("Command%1").arg(cell))->text(),
              shown ? QString(QChar::fromLatin1(*shown)).toLower() : QString())
        << "caption of cell " << cell;
    want[Store::charSettingField(setting, cell) - 1] = QString::number(code);
  }
  EXPECT_NE(fields(), want) << "nothing is stored before OK";
  click(dialog, QStringLiteral("Command41"));
  EXPECT_EQ(fields(), want);
  flushDeletes();
  EXPECT_TRUE(dialog.isNull()) << "unloaded";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CharOk, ::testing::Combine(::testing::Range(1, 6), ::testing::ValuesIn(kScripts)),
    [](const auto& info) {
      return "Setting" + std::to_string(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
    });

// What a button writes is what the runner decodes back to its caption.
TEST_F(DialogTest, ThirtyButtonsWriteTheCodesTheRunnerDecodes) {
  CharSettingDialog* dialog = open<CharSettingDialog>(1);
  std::set<int> codes;
  for (int i = 0; i < 30; ++i) {
    auto* button = child<QPushButton>(dialog, QStringLiteral("Command%1").arg(11 + i));
    EXPECT_EQ(button->text(), kCaptions.mid(i, 1));
    QTest::mouseClick(button, Qt::LeftButton);
    const int code = dialog->cellCode(1);
    codes.insert(code);
    EXPECT_EQ(decodeChar(QString::number(code)), kCaptions.at(i).toUpper().toLatin1())
        << kCaptions.mid(i, 1).toStdString();
    EXPECT_EQ(child<QPushButton>(dialog, QStringLiteral("Command1"))->text(), button->text());
  }
  EXPECT_EQ(codes.size(), 30u);
  EXPECT_EQ(codes.count(kCharBlank), 0u);
  EXPECT_EQ(dialog->selectedCell(), 1) << "the selection does not move on";
}

TEST_F(DialogTest, EachSettingHasItsNameCaptionAndInstruction) {
  const QString one = QStringLiteral(
      "上のボタンを押してから、文字ボタンを押してください。上のボタンは、１つのボタンに付き一マス分です。");
  const QString others = QStringLiteral(
      "上のボタンを押してから、文字ボタンを押してください。上のボタンは、１つのボタンに付き一マスです。");
  for (int s = 1; s <= 5; ++s) {
    CharSettingDialog* dialog = open<CharSettingDialog>(s);
    EXPECT_EQ(dialog->objectName(), QStringLiteral("Form%1").arg(5 + s));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("文字設定    %1").arg(s));
    EXPECT_EQ(child<QLabel>(dialog, "Label1")->text(), s == 1 ? one : others) << s;
    EXPECT_EQ(child<QPushButton>(dialog, "Command41")->text(), "OK");
    EXPECT_EQ(dialog->selectedCell(), 1);
    for (int cell = 1; cell <= 10; ++cell) {
      EXPECT_EQ(dialog->cellCode(cell), 8);
      EXPECT_EQ(child<QPushButton>(dialog, QStringLiteral("Command%1").arg(cell))->text(), "");
    }
  }
}

}  // namespace
}  // namespace kivo::test
