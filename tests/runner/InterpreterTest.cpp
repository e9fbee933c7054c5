#include "RunFixture.h"

#include "support/Commands.h"

namespace kivo::test {
namespace {

using Interpreter = RunFixture;

TEST_F(Interpreter, FirstFetchFollowsTheShowingTick) {
  setLines({222});
  startAndShow();
  EXPECT_EQ(clock_.now(), kSetUpTicks);
  clock_.advance(1);
  EXPECT_EQ(m().currentCode(), "222");
  EXPECT_EQ(m().interval(11), 1);
  EXPECT_EQ(view_.beeps, 0);
  clock_.advance(1);
  EXPECT_EQ(view_.beeps, 1);
  EXPECT_EQ(m().programCounter(), "2");
}

TEST_F(Interpreter, EmptyProgramHaltsAfterLineOne) {
  startAndShow();
  clock_.advance(1000);
  EXPECT_EQ(m().programCounter(), "2");
  EXPECT_EQ(m().interval(10), 0);
  EXPECT_EQ(m().interval(11), 0);
  EXPECT_TRUE(view_.halts.isEmpty()) << "an empty line halts quietly, like a stop";
}

// Line 1 holds the value; line 2 beeps. A value that goes on reaches the beep.
struct ThresholdCase {
  const char* text;
  bool goesOn;
};

const ThresholdCase kThresholds[] = {
    {"46", true}, {"100", true}, {"250", true}, {"8505", true}, {"1000000", true},
    {"1", false}, {"45", false}, {"-8", false}, {"0", false},   {"45.5", true},
};

class Threshold : public RunFixture, public ::testing::WithParamInterface<ThresholdCase> {};

TEST_P(Threshold, FortyFiveDividesGoingOnFromHalting) {
  store_.setProgramLine(1, QString::fromLatin1(GetParam().text));
  store_.setProgramLine(2, QStringLiteral("222"));
  startAndShow();
  clock_.advance(500);
  EXPECT_EQ(view_.beeps, GetParam().goesOn ? 1 : 0);
  EXPECT_EQ(m().programCounter(), GetParam().goesOn ? "4" : "2") << "line 3 is empty";
}

INSTANTIATE_TEST_SUITE_P(Values, Threshold, ::testing::ValuesIn(kThresholds));

TEST_F(Interpreter, StopHaltsUntilAClickOnAShownButton) {
  setLines({247, 8, 222});
  startAndShow();
  clock_.advance(1000);
  EXPECT_TRUE(view_.buttonShown[1]);
  EXPECT_EQ(m().programCounter(), "3");
  EXPECT_EQ(view_.beeps, 0);

  m().click(2);
  EXPECT_EQ(m().programCounter(), "2");
  clock_.advance(1000);
  EXPECT_EQ(m().programCounter(), "3") << "line 2 halts again";
  EXPECT_EQ(view_.beeps, 0);
}

struct PauseCase {
  int code;
  int ms;
};

class Pause : public RunFixture, public ::testing::WithParamInterface<PauseCase> {};

TEST_P(Pause, NextLineComesThatLongAfter) {
  setLines({GetParam().code, 222});
  startAndShow();
  clock_.advance(2);  // line 1 fetched and executed
  EXPECT_EQ(m().interval(10), GetParam().ms);
  clock_.advance(GetParam().ms);
  EXPECT_EQ(view_.beeps, 0);
  clock_.advance(1);  // the fetch was due; now the execute
  EXPECT_EQ(view_.beeps, 1);
}

INSTANTIATE_TEST_SUITE_P(Codes, Pause,
                         ::testing::Values(PauseCase{16, 100}, PauseCase{24, 1000},
                                           PauseCase{33, 10000}, PauseCase{41, 60000}));

TEST_F(Interpreter, ClickCutsAPauseShort) {
  store_.setProgramLine(1, QString::number(commandCode("cmdShowButton5")));
  store_.setProgramLine(2, QString::number(commandCode("cmdPause1min")));
  store_.setProgramLine(5, QStringLiteral("222"));
  startAndShow();
  clock_.advance(4 + 10000);
  ASSERT_TRUE(view_.buttonShown[4]);
  m().click(5);
  clock_.advance(2);
  EXPECT_EQ(view_.beeps, 1);
  EXPECT_EQ(m().programCounter(), "6");
  clock_.advance(60000);
  EXPECT_EQ(view_.beeps, 1) << "the rest of the minute is dropped";
}

TEST_F(Interpreter, ClickBetweenFetchAndExecuteGoesOnAfterTheClickedLine) {
  setLines({247, 8, 8});
  store_.setProgramLine(3, QStringLiteral("222"));
  store_.setProgramLine(4, QStringLiteral("8"));
  startAndShow();
  clock_.advance(2);  // line 1 shows button 2
  clock_.advance(1);  // line 2 fetched: a stop
  EXPECT_EQ(m().interval(11), 1);
  m().click(2);
  clock_.advance(1);  // the execute step runs first: the stop replaces the click
  EXPECT_EQ(m().programCounter(), "3");
  EXPECT_EQ(m().interval(10), 0);
  clock_.advance(100);
  EXPECT_EQ(view_.beeps, 0);
}

TEST_F(Interpreter, ClickBetweenFetchAndAGoingOnLineRunsTheLineAfterIt) {
  setLines({247, 222, 8});
  store_.setProgramLine(3, QStringLiteral("222"));
  store_.setProgramLine(4, QStringLiteral("8"));
  startAndShow();
  clock_.advance(3);  // line 1 done, line 2 (beep) fetched
  m().click(2);
  clock_.advance(1);  // beep of line 2, counter 2 + 1
  EXPECT_EQ(m().programCounter(), "3");
  clock_.advance(100);
  EXPECT_EQ(view_.beeps, 2) << "line 3 followed";
  EXPECT_EQ(m().programCounter(), "5");
}

TEST_F(Interpreter, ButtonsShowAndHideIncludingTheOddCode) {
  std::vector<int> lines;
  for (int b : {1, 4, 17, 20}) lines.push_back(commandCode(("cmdShowButton" + std::to_string(b)).c_str()));
  lines.push_back(8508);  // hides button 17
  lines.push_back(commandCode("cmdHideButton20"));
  int line = 1;
  for (int c : lines) store_.setProgramLine(line++, QString::number(c));
  startAndShow();
  clock_.advance(100);
  EXPECT_TRUE(view_.buttonShown[0]);
  EXPECT_TRUE(view_.buttonShown[3]);
  EXPECT_FALSE(view_.buttonShown[16]);
  EXPECT_FALSE(view_.buttonShown[19]);
  EXPECT_TRUE(m().buttonVisible(4));
}

TEST_F(Interpreter, PrintingMovesDownALineAndClearingGoesBackToTheTop) {
  setSetting(1, {16});
  setSetting(2, {24});
  setLines({140, 140, 181, 148, 8});
  startAndShow();
  clock_.advance(4);
  EXPECT_EQ(view_.printed, (QStringList{"A", "A"}));
  EXPECT_EQ(view_.printedRows, (QList<int>{0, 1}));
  clock_.advance(100);
  EXPECT_EQ(view_.printed, (QStringList{"B"}));
  EXPECT_EQ(view_.printedRows, (QList<int>{0}));
}

TEST_F(Interpreter, BackColourErasesTextButKeepsThePrintPosition) {
  setSetting(1, {16});
  setLines({140, 198, 140, 8});
  startAndShow();
  clock_.advance(100);
  EXPECT_EQ(view_.back, qRgb(255, 0, 0));
  EXPECT_EQ(view_.printed, (QStringList{"A"}));
  EXPECT_EQ(view_.printedRows, (QList<int>{1}));
}

TEST_F(Interpreter, BackColours) {
  const std::pair<const char*, QRgb> rows[] = {{"cmdBackBlue", qRgb(0, 0, 255)},
                                               {"cmdBackRed", qRgb(255, 0, 0)},
                                               {"cmdBackGreen", qRgb(0, 255, 0)},
                                               {"cmdBackWhite", qRgb(255, 255, 255)}};
  for (auto [id, colour] : rows) {
    machine_.reset();
    view_ = FakeRunView{};
    setLines({commandCode(id), 8});
    startAndShow();
    clock_.advance(10);
    EXPECT_EQ(view_.back, colour) << id;
  }
}

TEST_F(Interpreter, PicturesShowFromTheirPathsAndHide) {
  setLines({132, commandCode("cmdShowPicture3"), 132, commandCode("cmdShowPicture10"), 8});
  startAndShow();
  clock_.advance(4);
  EXPECT_TRUE(view_.pictureShown);
  EXPECT_EQ(view_.picturesLoaded, (QStringList{"c:\\kivo\\3.bmp"}));
  m().setPictureFolder(QStringLiteral("/somewhere"));
  clock_.advance(2);
  EXPECT_FALSE(view_.pictureShown);
  clock_.advance(100);
  EXPECT_TRUE(view_.pictureShown);
  EXPECT_EQ(view_.picturesLoaded.last(), "/somewhere/10.bmp");
}

TEST_F(Interpreter, EndUnloadsAndNothingAfterItRuns) {
  setLines({222, 222, 222, 222, 231, 222, 222});
  startAndShow();
  clock_.advance(10);
  EXPECT_TRUE(view_.unloaded);
  EXPECT_EQ(view_.beeps, 4);
  EXPECT_EQ(m().programCounter(), "5") << "the end step stops before counting";
  for (int t = 1; t <= 11; ++t) EXPECT_EQ(m().interval(t), 0);
  clock_.advance(1000);
  EXPECT_EQ(view_.beeps, 4);
}

TEST_F(Interpreter, MessageBoxWaitsForItsClose) {
  setLines({10520, 222, 8});
  startAndShow();
  clock_.advance(2);
  ASSERT_EQ(view_.boxes, (QStringList{""})) << "setting 2 is empty: a box with no text";
  EXPECT_TRUE(m().inMessageBox());
  m().click(2);  // the box keeps clicks away: the counter would move to the beep
  clock_.advance(10000);
  EXPECT_EQ(view_.beeps, 0);
  EXPECT_EQ(m().programCounter(), "1");
  m().messageClosed();
  EXPECT_FALSE(m().inMessageBox());
  EXPECT_EQ(m().programCounter(), "2");
  clock_.advance(2);
  EXPECT_EQ(view_.beeps, 1);
}

TEST_F(Interpreter, MessageBoxShowsItsSetting) {
  setSetting(4, {16, 255, 239});
  setLines({commandCode("cmdMsgBoxText4"), 8});
  startAndShow();
  clock_.advance(2);
  EXPECT_EQ(view_.boxes, (QStringList{"AZ!"}));
}

TEST_F(Interpreter, LineTwentyBeepRepeatsEveryCycle) {
  store_.setProgramLine(1, QString::number(commandCode("cmdShowButton1")));
  for (int line = 2; line <= 19; ++line) store_.setProgramLine(line, QStringLiteral("46"));
  store_.setProgramLine(20, QStringLiteral("222"));
  startAndShow();
  clock_.advance(40);
  EXPECT_EQ(view_.beeps, 1);
  EXPECT_EQ(m().programCounter(), "21");
  clock_.advance(20);
  EXPECT_EQ(view_.beeps, 11);
  EXPECT_EQ(m().programCounter(), "31");
  m().click(1);
  clock_.advance(2);
  EXPECT_EQ(m().programCounter(), "2") << "a click sends the run back";
}

TEST_F(Interpreter, LineTwentyPauseAndStop) {
  for (int line = 1; line <= 19; ++line) store_.setProgramLine(line, QStringLiteral("46"));
  store_.setProgramLine(20, QStringLiteral("16"));
  startAndShow();
  clock_.advance(40 + 3 * 102);
  EXPECT_EQ(m().programCounter(), "24") << "one pause after the other";

  machine_.reset();
  view_ = FakeRunView{};
  store_.setProgramLine(20, QStringLiteral("8"));
  startAndShow();
  clock_.advance(1000);
  EXPECT_EQ(m().programCounter(), "21");
  EXPECT_EQ(m().interval(10), 0);
}

// Every box that comes back past line 20 waits, the first one too; a box on
// an earlier line lets the next line follow at once.
TEST_F(Interpreter, RepeatedMessageBoxLeavesTimeToCloseTheWindow) {
  for (int line = 1; line <= 20; ++line) store_.setProgramLine(line, QStringLiteral("46"));
  store_.setProgramLine(19, QString::number(commandCode("cmdMsgBoxText1")));
  store_.setProgramLine(20, QString::number(commandCode("cmdMsgBoxText1")));
  startAndShow();
  clock_.advance(40);
  ASSERT_EQ(view_.boxes.size(), 1);
  m().messageClosed();
  EXPECT_EQ(m().interval(10), 1) << "line 19's box: line 20 follows at once";
  clock_.advance(2);
  ASSERT_EQ(view_.boxes.size(), 2);
  for (int repeat = 3; repeat <= 5; ++repeat) {
    m().messageClosed();
    EXPECT_EQ(m().interval(10), RunMachine::kRepeatedBoxPauseMs) << repeat;
    clock_.advance(RunMachine::kRepeatedBoxPauseMs);
    EXPECT_EQ(view_.boxes.size(), repeat - 1);
    clock_.advance(1);
    EXPECT_EQ(view_.boxes.size(), repeat);
  }
}

TEST_F(Interpreter, LineThatIsNoNumberHaltsWithItsName) {
  store_.setProgramLine(1, QString::number(commandCode("cmdShowButton3")));
  store_.setProgramLine(2, QStringLiteral("abc"));
  store_.setProgramLine(3, QStringLiteral("222"));
  startAndShow();
  clock_.advance(100);
  EXPECT_EQ(view_.halts, (QStringList{"2行目が数字ではありません。"}));
  EXPECT_EQ(view_.beeps, 0);
  EXPECT_FALSE(view_.unloaded);
  m().click(3);
  clock_.advance(2);
  EXPECT_EQ(view_.beeps, 1) << "a click goes on";
}

TEST_F(Interpreter, MissingPictureHaltsWithTheFileName) {
  setLines({49, 222});
  view_.missingPictures.insert(QStringLiteral("c:\\kivo\\1.bmp"));
  startAndShow();
  clock_.advance(100);
  ASSERT_EQ(view_.halts.size(), 1);
  EXPECT_TRUE(view_.halts[0].contains("c:\\kivo\\1.bmp"));
  EXPECT_TRUE(view_.pictureShown) << "the box was shown before the load";
  EXPECT_EQ(view_.beeps, 0);
  EXPECT_EQ(m().programCounter(), "2");
}

TEST_F(Interpreter, LinesAreReadAtEveryFetch) {
  setLines({46, 46, 8});
  startAndShow();
  clock_.advance(2);
  store_.setProgramLine(3, QStringLiteral("222"));
  store_.setProgramLine(4, QStringLiteral("8"));
  clock_.advance(100);
  EXPECT_EQ(view_.beeps, 1);
}

}  // namespace
}  // namespace kivo::test
