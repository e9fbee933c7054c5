#include "RunFixture.h"

#include "platform/Number.h"
#include "store/Codes.h"

namespace kivo::test {
namespace {

using RunSetUp = RunFixture;

TEST_F(RunSetUp, DesignValuesTakeSixtyOneTicks) {
  start();
  clock_.advance(kSetUpTicks - 1);
  EXPECT_FALSE(view_.shown);
  EXPECT_EQ(m().interval(4), 1) << "the last placement step is due";
  clock_.advance(1);
  EXPECT_TRUE(view_.shown);
  EXPECT_EQ(view_.border, BorderStyle::Sizable);
  EXPECT_FALSE(view_.maximised);
  EXPECT_EQ(view_.sizeTwips, QSize(6000, 6000));
  EXPECT_EQ(view_.buttonAt[0], QPoint(0, 0));
  EXPECT_EQ(view_.buttonAt[4], QPoint(4800, 0));
  EXPECT_EQ(view_.buttonAt[5], QPoint(0, 1500));
  EXPECT_EQ(view_.buttonAt[19], QPoint(4800, 4500));
  for (int k = 1; k <= 20; ++k) EXPECT_EQ(view_.buttonMoves[k - 1], 1) << k;
  EXPECT_EQ(m().placeIndex(), "101");
  for (int t = 1; t <= 9; ++t) EXPECT_EQ(m().interval(t), 0) << "Timer" << t;
  EXPECT_EQ(m().interval(10), 1);
  EXPECT_EQ(m().programCounter(), "1");
}

TEST_F(RunSetUp, EveryButtonGoesToItsCell) {
  // Buttons in reverse order: button k on place 21 - k.
  for (int k = 1; k <= 20; ++k) store_.setButtonPlace(k, QString::number(placeCode(21 - k)));
  startAndShow();
  for (int k = 1; k <= 20; ++k) {
    const PlaceCell cell = placeCell(21 - k);
    EXPECT_EQ(view_.buttonAt[k - 1], QPoint(cell.left, cell.top)) << k;
  }
}

TEST_F(RunSetUp, CodeOutsideTheGridForButtonOneGoesOneTwipBelowPlaceOne) {
  for (const char* code : {"0", "173", "abc", ""}) {
    store_.setButtonPlace(1, QString::fromLatin1(code));
    machine_.reset();
    view_ = FakeRunView{};
    startAndShow();
    EXPECT_EQ(view_.buttonAt[0], QPoint(0, 1)) << code;
    EXPECT_EQ(view_.buttonAt[1], QPoint(1200, 0)) << code;
  }
}

TEST_F(RunSetUp, CodeOutsideTheGridGoesWhereTheButtonBeforeWent) {
  store_.setButtonPlace(7, QStringLiteral("9"));
  store_.setButtonPlace(8, QStringLiteral("x"));
  startAndShow();
  EXPECT_EQ(view_.buttonAt[6], view_.buttonAt[5]);
  EXPECT_EQ(view_.buttonAt[7], view_.buttonAt[5]);
  EXPECT_EQ(m().currentPlaceCode(), "165");
}

TEST_F(RunSetUp, TwoButtonsOnOneCellOverlap) {
  store_.setButtonPlace(3, QStringLiteral("82"));
  startAndShow();
  EXPECT_EQ(view_.buttonAt[2], QPoint(4800, 1500));
  EXPECT_EQ(view_.buttonAt[9], QPoint(4800, 1500));
}

struct ShapeCase {
  const char* tag;
  const char* shape;
  const char* size;
  std::optional<BorderStyle> border;  // none: the design border stays
  bool maximised;
  std::optional<QSize> sizeTwips;     // none: the design size stays
};

const ShapeCase kShapes[] = {
    {"sizableMedium", "8", "24", BorderStyle::Sizable, false, QSize(6000, 6000)},
    {"fixedSingleLarge", "16", "16", BorderStyle::FixedSingle, false, QSize(8400, 7000)},
    {"toolWindowSmall", "24", "33", BorderStyle::FixedToolWindow, false, QSize(4600, 5000)},
    {"noBorderMaximised", "33", "8", BorderStyle::None, true, std::nullopt},
    {"unknownCodes", "0", "0", std::nullopt, false, std::nullopt},
    {"notNumbers", "abc", "", std::nullopt, false, std::nullopt},
    {"decimalForms", " 16.0", "３３", BorderStyle::FixedSingle, false, QSize(4600, 5000)},
};

class ShapeAndSize : public RunFixture, public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(ShapeAndSize, AppliedInTheFirstTick) {
  const ShapeCase& c = GetParam();
  store_.setFormShape(QString::fromUtf8(c.shape));
  store_.setFormSize(QString::fromUtf8(c.size));
  start();
  clock_.advance(1);
  EXPECT_EQ(view_.border, c.border);
  EXPECT_EQ(view_.maximised, c.maximised);
  EXPECT_EQ(view_.sizeTwips, c.sizeTwips);
  EXPECT_EQ(m().interval(1), 0);
  EXPECT_EQ(m().interval(2), 1);
  EXPECT_EQ(m().interval(5), 1);
}

INSTANTIATE_TEST_SUITE_P(Codes, ShapeAndSize, ::testing::ValuesIn(kShapes),
                         [](const auto& info) { return std::string(info.param.tag); });

struct DecodeCase {
  const char* tag;
  std::vector<int> codes;
  const char* text;
};

const DecodeCase kDecodes[] = {
    {"designBlanks", {}, ""},
    {"blankAddsNothing", {16, 8, 24}, "AB"},
    {"blanksEverywhere", {8, 16, 8, 8, 24, 8, 8, 8, 8, 8}, "AB"},
    {"zAndMarks", {255, 222, 231, 239, 247}, "Z,.!?"},
    {"lettersUpperCase", {16, 214, 57, 107}, "AYFL"},
    {"outsideTheTable", {0, 1, 17, 256, -1, 16}, "A"},
    {"tenZs", {255, 255, 255, 255, 255, 255, 255, 255, 255, 255}, "ZZZZZZZZZZ"},
};

class Decoder : public RunFixture, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(Decoder, EverySettingDecodesAlike) {
  const DecodeCase& c = GetParam();
  for (int s = 1; s <= 5; ++s) {
    int i = 1;
    for (int code : c.codes) store_.setCharSetting(s, i++, QString::number(code));
  }
  start();
  clock_.advance(6);  // Timer1, then one setting a tick
  for (int s = 1; s <= 5; ++s) EXPECT_EQ(m().charText(s), c.text) << "setting " << s;
}

INSTANTIATE_TEST_SUITE_P(Settings, Decoder, ::testing::ValuesIn(kDecodes),
                         [](const auto& info) { return std::string(info.param.tag); });

TEST_F(RunSetUp, EachSettingGoesToItsOwnTextInFiveTicks) {
  setSetting(1, {16});
  setSetting(2, {24});
  setSetting(3, {33});
  setSetting(4, {41});
  setSetting(5, {49});
  store_.setCharSetting(5, 10, QStringLiteral("not a number"));
  start();
  clock_.advance(5);
  EXPECT_EQ(m().charText(4), "D");
  EXPECT_EQ(m().charText(5), "") << "setting 5 decodes in the sixth tick";
  clock_.advance(1);
  const char* expected[] = {"A", "B", "C", "D", "E"};
  for (int s = 1; s <= 5; ++s) EXPECT_EQ(m().charText(s), expected[s - 1]);
  for (int t = 5; t <= 9; ++t) EXPECT_EQ(m().interval(t), 0);
}

TEST_F(RunSetUp, SettingsAreReadOnlyWhileSettingUp) {
  setSetting(1, {16});
  startAndShow();
  setSetting(1, {24});
  store_.setFormSize(QStringLiteral("16"));
  clock_.advance(100);
  EXPECT_EQ(m().charText(1), "A");
  EXPECT_EQ(view_.sizeTwips, QSize(6000, 6000));
}

// The machine's own rule for a second start on a window that ran: the
// launcher avoids it by loading a fresh window for every run.
TEST_F(RunSetUp, SecondStartOnTheSameMachineNeverShowsAgain) {
  setSetting(1, {16, 24});
  startAndShow();
  clock_.advance(10);
  view_.shown = false;
  start();
  clock_.advance(200);
  EXPECT_FALSE(view_.shown);
  EXPECT_EQ(view_.timesShown, 1);
  EXPECT_EQ(m().charText(1), "ABAB");
  EXPECT_EQ(m().interval(4), 1) << "the last placement step keeps counting";
  EXPECT_GT(readNumber(m().placeIndex()).value_or(0), 200);
}

}  // namespace
}  // namespace kivo::test
