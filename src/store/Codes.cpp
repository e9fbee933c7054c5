#include "store/Codes.h"

#include "platform/Number.h"

#include <algorithm>

namespace kivo {
namespace {

// Command codes are L(k) for the first 31 and L(i) + 256 L(j) after that;
// cmdHideButton17 has always been 8508, not 8505, and saved files rely on it.
constexpr std::array<Command, kCommandCount> kCommands{{
    {"cmdStop", 8, u"プログラムを停止", Action::Stop, 0},
    {"cmdPause100ms", 16, u"プログラムを0.1秒停止", Action::Pause, 100},
    {"cmdPause1s", 24, u"プログラムを１秒停止", Action::Pause, 1000},
    {"cmdPause10s", 33, u"プログラムを１０秒停止", Action::Pause, 10000},
    {"cmdPause1min", 41, u"プログラムを１分停止", Action::Pause, 60000},
    {"cmdShowPicture1", 49, u"1.bmpピクチャー表示", Action::ShowPicture, 1},
    {"cmdShowPicture2", 57, u"2.bmpピクチャー表示", Action::ShowPicture, 2},
    {"cmdShowPicture3", 66, u"3.bmpピクチャー表示", Action::ShowPicture, 3},
    {"cmdShowPicture4", 74, u"4.bmpピクチャー表示", Action::ShowPicture, 4},
    {"cmdShowPicture5", 82, u"5.bmpピクチャー表示", Action::ShowPicture, 5},
    {"cmdShowPicture6", 90, u"6.bmpピクチャー表示", Action::ShowPicture, 6},
    {"cmdShowPicture7", 99, u"7.bmpピクチャー表示", Action::ShowPicture, 7},
    {"cmdShowPicture8", 107, u"8.bmpピクチャー表示", Action::ShowPicture, 8},
    {"cmdShowPicture9", 115, u"9.bmpピクチャー表示", Action::ShowPicture, 9},
    {"cmdShowPicture10", 123, u"10.bmpピクチャー表示", Action::ShowPicture, 10},
    {"cmdHidePicture", 132, u"表示されているピクチャーを消す", Action::HidePicture, 0},
    {"cmdShowText1", 140, u"文字設定１の文字を表示", Action::ShowText, 1},
    {"cmdShowText2", 148, u"文字設定2の文字を表示", Action::ShowText, 2},
    {"cmdShowText3", 156, u"文字設定3の文字を表示", Action::ShowText, 3},
    {"cmdShowText4", 165, u"文字設定4の文字を表示", Action::ShowText, 4},
    {"cmdShowText5", 173, u"文字設定5の文字を表示", Action::ShowText, 5},
    {"cmdClearText", 181, u"表示されている文字を消す", Action::ClearText, 0},
    {"cmdBackBlue", 189, u"バックスクリーンを青にする", Action::BackColour, 0x0000FF},
    {"cmdBackRed", 198, u"バックスクリーンを赤にする", Action::BackColour, 0xFF0000},
    {"cmdBackGreen", 206, u"バックスクリーンを緑にする", Action::BackColour, 0x00FF00},
    {"cmdBackWhite", 214, u"バックスクリーンを白にする", Action::BackColour, 0xFFFFFF},
    {"cmdBeep", 222, u"ピープー音を鳴らす", Action::Beep, 0},
    {"cmdEnd", 231, u"終了", Action::End, 0},
    {"cmdShowButton1", 239, u"ボタン1表示", Action::ShowButton, 1},
    {"cmdShowButton2", 247, u"ボタン2表示", Action::ShowButton, 2},
    {"cmdShowButton3", 255, u"ボタン3表示", Action::ShowButton, 3},
    {"cmdShowButton4", 2056, u"ボタン4表示", Action::ShowButton, 4},
    {"cmdShowButton5", 2064, u"ボタン5表示", Action::ShowButton, 5},
    {"cmdShowButton6", 2072, u"ボタン6表示", Action::ShowButton, 6},
    {"cmdShowButton7", 2081, u"ボタン7表示", Action::ShowButton, 7},
    {"cmdShowButton8", 2089, u"ボタン8表示", Action::ShowButton, 8},
    {"cmdShowButton9", 2097, u"ボタン9表示", Action::ShowButton, 9},
    {"cmdShowButton10", 2105, u"ボタン10表示", Action::ShowButton, 10},
    {"cmdShowButton11", 2114, u"ボタン11表示", Action::ShowButton, 11},
    {"cmdShowButton12", 2122, u"ボタン12表示", Action::ShowButton, 12},
    {"cmdShowButton13", 4104, u"ボタン13表示", Action::ShowButton, 13},
    {"cmdShowButton14", 4112, u"ボタン14表示", Action::ShowButton, 14},
    {"cmdShowButton15", 4120, u"ボタン15表示", Action::ShowButton, 15},
    {"cmdShowButton16", 4129, u"ボタン16表示", Action::ShowButton, 16},
    {"cmdShowButton17", 4137, u"ボタン17表示", Action::ShowButton, 17},
    {"cmdShowButton18", 4145, u"ボタン18表示", Action::ShowButton, 18},
    {"cmdShowButton19", 4153, u"ボタン19表示", Action::ShowButton, 19},
    {"cmdShowButton20", 4162, u"ボタン20表示", Action::ShowButton, 20},
    {"cmdHideButton1", 4170, u"ボタン1消す", Action::HideButton, 1},
    {"cmdHideButton2", 6152, u"ボタン2消す", Action::HideButton, 2},
    {"cmdHideButton3", 6160, u"ボタン3消す", Action::HideButton, 3},
    {"cmdHideButton4", 6168, u"ボタン4消す", Action::HideButton, 4},
    {"cmdHideButton5", 6177, u"ボタン5消す", Action::HideButton, 5},
    {"cmdHideButton6", 6185, u"ボタン6消す", Action::HideButton, 6},
    {"cmdHideButton7", 6193, u"ボタン7消す", Action::HideButton, 7},
    {"cmdHideButton8", 6201, u"ボタン8消す", Action::HideButton, 8},
    {"cmdHideButton9", 6210, u"ボタン9消す", Action::HideButton, 9},
    {"cmdHideButton10", 6218, u"ボタン10消す", Action::HideButton, 10},
    {"cmdHideButton11", 8456, u"ボタン11消す", Action::HideButton, 11},
    {"cmdHideButton12", 8464, u"ボタン12消す", Action::HideButton, 12},
    {"cmdHideButton13", 8472, u"ボタン13消す", Action::HideButton, 13},
    {"cmdHideButton14", 8481, u"ボタン14消す", Action::HideButton, 14},
    {"cmdHideButton15", 8489, u"ボタン15消す", Action::HideButton, 15},
    {"cmdHideButton16", 8497, u"ボタン16消す", Action::HideButton, 16},
    {"cmdHideButton17", 8508, u"ボタン17消す", Action::HideButton, 17},
    {"cmdHideButton18", 8514, u"ボタン18消す", Action::HideButton, 18},
    {"cmdHideButton19", 8522, u"ボタン19消す", Action::HideButton, 19},
    {"cmdHideButton20", 10504, u"ボタン20消す", Action::HideButton, 20},
    {"cmdMsgBoxText1", 10512, u"msgboxに文字設定1を表示", Action::MsgBoxText, 1},
    {"cmdMsgBoxText2", 10520, u"msgboxに文字設定2を表示", Action::MsgBoxText, 2},
    {"cmdMsgBoxText3", 10529, u"msgboxに文字設定3を表示", Action::MsgBoxText, 3},
    {"cmdMsgBoxText4", 10537, u"msgboxに文字設定4を表示", Action::MsgBoxText, 4},
    {"cmdMsgBoxText5", 10545, u"msgboxに文字設定5を表示", Action::MsgBoxText, 5},}};

constexpr std::array<FormSize, 4> kFormSizes{{
    {kFormSizeMaximised, true, 0, 0},
    {kFormSizeLarge, false, 8400, 7000},
    {kFormSizeMedium, false, 6000, 6000},
    {kFormSizeSmall, false, 4600, 5000},
}};

constexpr std::array<FormShape, 4> kFormShapes{{
    {kFormShapeSizable, BorderStyle::Sizable},
    {kFormShapeFixedSingle, BorderStyle::FixedSingle},
    {kFormShapeToolWindow, BorderStyle::FixedToolWindow},
    {kFormShapeNoBorder, BorderStyle::None},
}};

constexpr std::array<CharCode, kCharCount> makeCharTable() {
  std::array<CharCode, kCharCount> t{};
  for (int n = 1; n <= 25; ++n)  // A..Y
    t[n - 1] = {colourLevel(n + 1), static_cast<char>('A' + n - 1)};
  t[25] = {colourLevel(31), 'Z'};
  const char marks[] = {',', '.', '!', '?'};
  for (int i = 0; i < 4; ++i) t[26 + i] = {colourLevel(27 + i), marks[i]};
  return t;
}
constexpr std::array<CharCode, kCharCount> kChars = makeCharTable();

template <class Row, size_t N>
const Row* findByCode(const std::array<Row, N>& table, const QString& text) {
  const auto n = readNumber(text);
  if (!n) return nullptr;
  auto it = std::find_if(table.begin(), table.end(),
                         [&](const Row& r) { return r.code == *n; });
  return it == table.end() ? nullptr : &*it;
}

}  // namespace

std::span<const Command, kCommandCount> commandTable() { return kCommands; }

const Command* findCommand(const QString& text) {
  return findByCode(kCommands, text);
}

std::optional<PlaceCell> findPlace(const QString& text) {
  const auto n = readNumber(text);
  if (!n) return std::nullopt;
  for (int place = 1; place <= kPlaceCount; ++place)
    if (placeCode(place) == *n) return placeCell(place);
  return std::nullopt;
}

std::optional<FormSize> findFormSize(const QString& text) {
  const FormSize* row = findByCode(kFormSizes, text);
  return row ? std::optional(*row) : std::nullopt;
}

std::optional<FormShape> findFormShape(const QString& text) {
  const FormShape* row = findByCode(kFormShapes, text);
  return row ? std::optional(*row) : std::nullopt;
}

std::span<const CharCode, kCharCount> charTable() { return kChars; }

std::optional<char> decodeChar(const QString& text) {
  const CharCode* row = findByCode(kChars, text);
  return row ? std::optional(row->shown) : std::nullopt;
}

}  // namespace kivo
