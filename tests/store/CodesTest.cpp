#include "store/Codes.h"
#include "support/Commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kivo {
namespace {

TEST(ColourLevel, IsTheFiveBitExpansion) {
  for (int k = 1; k <= 31; ++k) {
    EXPECT_EQ(colourLevel(k), (k << 3) | (k >> 2)) << k;
    EXPECT_EQ(colourLevel(k), 33 * k / 4) << k;
  }
  EXPECT_EQ(colourLevel(1), 8);
  EXPECT_EQ(colourLevel(31), 255);
}

// The rule the codes are built from, written independently of the table.
int expectedCode(int index) {
  if (index < 31) return colourLevel(index + 1);
  if (index == 64) return 8508;  // cmdHideButton17
  const int n = index - 31;     // then L(i) + 256 L(j), i = 1..9 for each j
  return colourLevel(n % 9 + 1) + 256 * colourLevel(n / 9 + 1);
}

TEST(CommandTable, EveryCodeFollowsTheRuleWithOneException) {
  const auto table = commandTable();
  ASSERT_EQ(table.size(), 73u);
  for (int i = 0; i < 73; ++i) EXPECT_EQ(table[i].code, expectedCode(i)) << table[i].identifier;
  EXPECT_EQ(test::commandCode("cmdHideButton17"), 8508);
  EXPECT_EQ(findCommand(QStringLiteral("8505")), nullptr);
}

TEST(CommandTable, CodesAscendAndIdentifiersAreUnique) {
  std::set<std::string> ids;
  int last = 0;
  for (const Command& c : commandTable()) {
    EXPECT_GT(c.code, last);
    last = c.code;
    EXPECT_TRUE(ids.insert(c.identifier).second) << c.identifier;
    EXPECT_FALSE(c.nameText().isEmpty());
  }
}

struct CommandCase {
  const char* identifier;
  int code;
  Action action;
  int arg;
  const char16_t* name;
};

const CommandCase kCommandCases[] = {
    {"cmdStop", 8, Action::Stop, 0, u"プログラムを停止"},
    {"cmdPause100ms", 16, Action::Pause, 100, u"プログラムを0.1秒停止"},
    {"cmdPause1s", 24, Action::Pause, 1000, u"プログラムを１秒停止"},
    {"cmdPause10s", 33, Action::Pause, 10000, u"プログラムを１０秒停止"},
    {"cmdPause1min", 41, Action::Pause, 60000, u"プログラムを１分停止"},
    {"cmdShowPicture1", 49, Action::ShowPicture, 1, u"1.bmpピクチャー表示"},
    {"cmdShowPicture10", 123, Action::ShowPicture, 10, u"10.bmpピクチャー表示"},
    {"cmdHidePicture", 132, Action::HidePicture, 0, u"表示されているピクチャーを消す"},
    {"cmdShowText1", 140, Action::ShowText, 1, u"文字設定１の文字を表示"},
    {"cmdShowText5", 173, Action::ShowText, 5, u"文字設定5の文字を表示"},
    {"cmdClearText", 181, Action::ClearText, 0, u"表示されている文字を消す"},
    {"cmdBackBlue", 189, Action::BackColour, 0x0000FF, u"バックスクリーンを青にする"},
    {"cmdBackRed", 198, Action::BackColour, 0xFF0000, u"バックスクリーンを赤にする"},
    {"cmdBackGreen", 206, Action::BackColour, 0x00FF00, u"バックスクリーンを緑にする"},
    {"cmdBackWhite", 214, Action::BackColour, 0xFFFFFF, u"バックスクリーンを白にする"},
    {"cmdBeep", 222, Action::Beep, 0, u"ピープー音を鳴らす"},
    {"cmdEnd", 231, Action::End, 0, u"終了"},
    {"cmdShowButton1", 239, Action::ShowButton, 1, u"ボタン1表示"},
    {"cmdShowButton4", 2056, Action::ShowButton, 4, u"ボタン4表示"},
    {"cmdShowButton20", 4162, Action::ShowButton, 20, u"ボタン20表示"},
    {"cmdHideButton1", 4170, Action::HideButton, 1, u"ボタン1消す"},
    {"cmdHideButton17", 8508, Action::HideButton, 17, u"ボタン17消す"},
    {"cmdHideButton20", 10504, Action::HideButton, 20, u"ボタン20消す"},
    {"cmdMsgBoxText1", 10512, Action::MsgBoxText, 1, u"msgboxに文字設定1を表示"},
    {"cmdMsgBoxText5", 10545, Action::MsgBoxText, 5, u"msgboxに文字設定5を表示"},
};

class CommandRow : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandRow, HasItsCodeActionAndName) {
  const CommandCase& c = GetParam();
  const Command* cmd = findCommand(QString::number(c.code));
  ASSERT_NE(cmd, nullptr);
  EXPECT_STREQ(cmd->identifier, c.identifier);
  EXPECT_EQ(cmd->action, c.action);
  EXPECT_EQ(cmd->arg, c.arg);
  EXPECT_EQ(cmd->nameText(), QString::fromUtf16(c.name));
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandRow, ::testing::ValuesIn(kCommandCases),
                         [](const auto& info) { return std::string(info.param.identifier); });

TEST(CommandTable, FamiliesAreNumberedInCodeOrder) {
  const std::pair<Action, int> families[] = {{Action::ShowPicture, 10}, {Action::ShowText, 5},
                                             {Action::ShowButton, 20}, {Action::HideButton, 20},
                                             {Action::MsgBoxText, 5}};
  for (auto [action, size] : families) {
    int next = 1;
    for (const Command& c : commandTable()) {
      if (c.action != action) continue;
      EXPECT_EQ(c.arg, next++) << c.identifier;
    }
    EXPECT_EQ(next - 1, size);
  }
}

TEST(FindCommand, ComparesAsNumbers) {
  EXPECT_EQ(findCommand(QStringLiteral(" 8"))->code, 8);
  EXPECT_EQ(findCommand(QStringLiteral("231.0"))->action, Action::End);
  for (const char* none : {"0", "9", "45", "46", "-8", "", "abc", "8 8"})
    EXPECT_EQ(findCommand(QString::fromLatin1(none)), nullptr) << none;
}

TEST(Places, GridOfFiveByFour) {
  struct Row { int place, code, left, top; };
  const Row rows[] = {{1, 8, 0, 0}, {5, 41, 4800, 0}, {6, 49, 0, 1500},
                      {13, 107, 2400, 3000}, {20, 165, 4800, 4500}};
  for (const Row& r : rows) {
    EXPECT_EQ(placeCode(r.place), r.code);
    const auto cell = findPlace(QString::number(r.code));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->place, r.place);
    EXPECT_EQ(cell->left, r.left);
    EXPECT_EQ(cell->top, r.top);
  }
  for (const char* none : {"0", "1", "173", "255", "x", ""})
    EXPECT_FALSE(findPlace(QString::fromLatin1(none))) << none;
}

TEST(FormSizeAndShape, TablesAndUnknownCodes) {
  EXPECT_TRUE(findFormSize(QStringLiteral("8"))->maximised);
  EXPECT_EQ(findFormSize(QStringLiteral("16"))->widthTwips, 8400);
  EXPECT_EQ(findFormSize(QStringLiteral("24"))->heightTwips, 6000);
  EXPECT_EQ(findFormSize(QStringLiteral("33"))->widthTwips, 4600);
  EXPECT_EQ(findFormSize(QStringLiteral("33"))->heightTwips, 5000);
  EXPECT_FALSE(findFormSize(QStringLiteral("0")));
  EXPECT_EQ(findFormShape(QStringLiteral("8"))->border, BorderStyle::Sizable);
  EXPECT_EQ(findFormShape(QStringLiteral("16"))->border, BorderStyle::FixedSingle);
  EXPECT_EQ(findFormShape(QStringLiteral("24"))->border, BorderStyle::FixedToolWindow);
  EXPECT_EQ(findFormShape(QStringLiteral("33"))->border, BorderStyle::None);
  EXPECT_FALSE(findFormShape(QStringLiteral("abc")));
}

TEST(Characters, DecodeTable) {
  const std::pair<int, char> rows[] = {{16, 'A'}, {24, 'B'}, {214, 'Y'}, {255, 'Z'},
                                       {222, ','}, {231, '.'}, {239, '!'}, {247, '?'}};
  for (auto [code, ch] : rows) EXPECT_EQ(decodeChar(QString::number(code)), ch) << code;
  for (const char* none : {"8", "0", "1", "17", "256", "-1", "", "a"})
    EXPECT_FALSE(decodeChar(QString::fromLatin1(none))) << none;
  std::set<int> codes;
  for (const CharCode& c : charTable()) codes.insert(c.code);
  EXPECT_EQ(codes.size(), 30u);
  EXPECT_FALSE(codes.count(kCharBlank));
}

}  // namespace
}  // namespace kivo
