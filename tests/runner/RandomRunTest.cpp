// Random programs and stores on the run machine, driven on the virtual clock
// with random clicks, box closes, stops and second starts. After every single
// timer step and every action the rules of the fetch/execute cycle are
// checked against what the step or action was allowed to change.

#include "RunFixture.h"
#include "platform/Number.h"
#include "runner/RunMachine.h"
#include "store/Codes.h"
#include "store/Store.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>

namespace kivo::test {
namespace {

// Our own generator: the same seed gives the same runs with every standard
// library, which std's distributions do not promise (splitmix64).
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  bool chance(int percent) { return below(100) < percent; }
  template <class T, std::size_t N>
  const T& pick(const T (&items)[N]) {
    return items[below(static_cast<int>(N))];
  }

 private:
  std::uint64_t state_;
};

QString fullWidth(const QString& ascii) {
  QString s;
  for (QChar c : ascii) s += c.isDigit() ? QChar(0xFF10 + c.digitValue()) : c;
  return s;
}

QString anyCommandCode(Rng& rng) {
  return QString::number(commandTable()[static_cast<std::size_t>(rng.below(kCommandCount))].code);
}

const char16_t* const kNoNumbers[] = {u"", u" ", u"abc", u"4 9", u"1e3",
                                      u"二二二", u"－", u"222x", u"0x10"};

// What a user can leave in a field: command codes, 0, other numbers, texts
// that are no number, full-width digits.
QString randomLine(Rng& rng) {
  const int roll = rng.below(100);
  if (roll < 2) return QStringLiteral("231");  // 終了, which a uniform pick rarely gives
  if (roll < 50) return anyCommandCode(rng);
  if (roll < 58) return QStringLiteral("0");
  if (roll < 66) return fullWidth(anyCommandCode(rng));
  if (roll < 69) return QChar(0x3000) + fullWidth(anyCommandCode(rng));
  if (roll < 90) {
    switch (rng.below(6)) {
      case 0:
        return QString::number(rng.between(1, 45));
      case 1:
        return QString::number(rng.between(46, 10600));
      case 2:
        return QString::number(-rng.between(1, 100000));
      case 3:
        return QStringLiteral("%1.%2").arg(rng.between(0, 300)).arg(rng.below(10));
      case 4:
        return QStringLiteral(" +%1 ").arg(anyCommandCode(rng));
      default:
        return QStringLiteral("99999999999999999999");
    }
  }
  return QString::fromUtf16(rng.pick(kNoNumbers));
}

// What a step or action may change is judged from these.
struct Snapshot {
  std::array<int, RunMachine::kTimerCount> timers{};
  QString counter;
  QString code;
  QString placeIndex;
  bool inBox = false;
  std::array<bool, RunMachine::kButtonCount> visible{};
  int viewCalls = 0;
  int halts = 0;
  int timesShown = 0;
  bool unloaded = false;

  int timer(int t) const { return timers[static_cast<std::size_t>(t - 1)]; }
  bool operator==(const Snapshot&) const = default;
};

QString plusOne(const QString& counter) {
  return QString::number(static_cast<qint64>(readNumber(counter).value_or(-1)) + 1);
}

bool isEnd(const QString& code) {
  const Command* c = findCommand(code);
  return c && c->action == Action::End;
}

// The intervals a line, the show or a click can leave on the fetch timer.
bool fetchIntervalALineCanSet(int ms) {
  for (int allowed : {0, 1, 100, 1000, 10000, 60000, RunMachine::kRepeatedBoxPauseMs})
    if (ms == allowed) return true;
  return false;
}

// How often the situations worth reaching were reached, so that the
// generator cannot drift into testing nothing.
struct Reached {
  int boxes = 0;
  int clicksInABox = 0;
  int clicksBeforeAnExecute = 0;
  int secondStartsWhileSettingUp = 0;
  int secondStartsWhileRunning = 0;
  int ends = 0;
  int stops = 0;
  int stopsInABox = 0;
  int halts = 0;
  int countersPastTwenty = 0;
};

// A fresh run window: what the launcher loads for every run.
struct Run {
  Run(const Store& store, Clock& clock) : machine(store, view, clock) {}
  FakeRunView view;
  RunMachine machine;
};

// One program and store, played for a few runs of random events.
class Scenario {
 public:
  static constexpr int kStepsPerProgram = 2000;

  Scenario(std::uint64_t seed, Reached& reached) : rng_(seed), reached_(reached) {}

  // The first rule broken, with where; empty when none was.
  QString play() {
    fillStore();
    // Fresh runs of the same program until its steps are spent.
    stepsLeft_ = kStepsPerProgram;
    for (run_ = 1; run_ <= 8 && stepsLeft_ > 0 && failure_.isEmpty(); ++run_) playRun();
    return failure_;
  }

 private:
  void fillStore() {
    for (int line = 1; line <= Store::kLineCount; ++line)
      store_.setProgramLine(line, randomLine(rng_));
    const char16_t* const shapes[] = {u"8", u"16", u"24", u"33", u"0", u"abc", u"３３"};
    store_.setFormShape(QString::fromUtf16(rng_.pick(shapes)));
    store_.setFormSize(QString::fromUtf16(rng_.pick(shapes)));
    for (int b = 1; b <= Store::kButtonCount; ++b)
      if (rng_.chance(30))
        store_.setButtonPlace(b, rng_.chance(50) ? randomLine(rng_)
                                                 : QString::number(placeCode(rng_.between(1, 20))));
    for (int s = 1; s <= Store::kSettingCount; ++s)
      for (int c = 1; c <= Store::kCharsPerSetting; ++c)
        if (rng_.chance(40))
          store_.setCharSetting(s, c,
                                rng_.chance(80)
                                    ? QString::number(charTable()[rng_.below(kCharCount)].code)
                                    : randomLine(rng_));
  }

  void playRun() {
    window_ = std::make_unique<Run>(store_, clock_);
    for (int n = 1; n <= RunMachine::kPictureCount; ++n)
      if (rng_.chance(15)) window_->view.missingPictures.insert(window_->machine.pictureFile(n));
    gone_ = false;
    pendingClick_ = false;
    starts_ = 0;
    steps_ = 0;
    last_ = snapshot();
    if (last_.counter != "1" || last_.timers != decltype(last_.timers){})
      return fail("a fresh run window does not start from its design values");
    start();
    // Past its set-up a second start leaves Timer4 counting at every tick,
    // which would crowd out the cycle: one run in ten gets one, half of
    // them while the window is still being set up.
    const int secondStartAt = rng_.chance(10) ? rng_.below(rng_.chance(50) ? 3 : 60) : -1;
    for (int event = 0; event < 400 && stepsLeft_ > 0 && !gone_ && failure_.isEmpty(); ++event) {
      if (event == secondStartAt)
        start();
      else if (stuck())
        stop();  // the user gives up on a run that can do nothing more
      else
        playEvent();
    }
    if (!gone_ && failure_.isEmpty()) stop();
    advance(70000, 50);  // nothing may happen on an unloaded window
    if (readNumber(last_.counter).value_or(0) > Store::kLineCount) ++reached_.countersPastTwenty;
    reached_.halts += static_cast<int>(window_->view.halts.size());
  }

  void playEvent() {
    const int roll = rng_.below(100);
    if (roll < 30) return advance(rng_.between(1, 3), rng_.between(1, 40));
    if (roll < 45) {
      const qint64 times[] = {1, 2, 5, 50, 100, 1000, 2000, 10000, 70000};
      return advance(rng_.pick(times), rng_.between(1, 300));
    }
    if (roll < 65) return click();
    if (roll < 80) return close();
    if (roll < 83) return strayClose();
    if (roll < 86) return editLine();
    if (roll < 87) return stop();
    advance(rng_.between(1, 100000), rng_.between(1, 1000));
  }

  // Halted, no box open and no button to click: nothing can happen any more.
  bool stuck() const {
    return last_.timers == decltype(last_.timers){} && !last_.inBox &&
           last_.visible == decltype(last_.visible){};
  }

  Snapshot snapshot() const {
    Snapshot s;
    const RunMachine& m = window_->machine;
    for (int t = 1; t <= RunMachine::kTimerCount; ++t)
      s.timers[static_cast<std::size_t>(t - 1)] = m.interval(t);
    s.counter = m.programCounter();
    s.code = m.currentCode();
    s.placeIndex = m.placeIndex();
    s.inBox = m.inMessageBox();
    for (int b = 1; b <= RunMachine::kButtonCount; ++b)
      s.visible[static_cast<std::size_t>(b - 1)] = m.buttonVisible(b);
    s.viewCalls = window_->view.calls;
    s.halts = static_cast<int>(window_->view.halts.size());
    s.timesShown = window_->view.timesShown;
    s.unloaded = window_->view.unloaded;
    return s;
  }

  void fail(const char* rule) {
    if (!failure_.isEmpty()) return;
    failure_ = QStringLiteral("run %1, at %2 ms, %3 steps in, after %4: %5")
                   .arg(run_)
                   .arg(clock_.now())
                   .arg(steps_)
                   .arg(lastEvent_, QString::fromUtf8(rule));
  }

  // ---- Timer steps -------------------------------------------------------

  void advance(qint64 ms, int steps) {
    lastEvent_ = QStringLiteral("advancing %1 ms").arg(ms);
    clock_.advanceUntil(
        [&] {
          checkStep();
          return !failure_.isEmpty() || steps-- <= 0 || stepsLeft_ <= 0;
        },
        ms);
  }

  // Called between any two steps: judges the one step (or none) since the
  // last look.
  void checkStep() {
    const Snapshot b = last_;
    const Snapshot a = snapshot();
    last_ = a;
    if (a == b) return;  // every step changes something: none ran
    ++steps_;
    --stepsLeft_;
    if (gone_) return fail("a step ran on an unloaded run window");

    const bool executed = b.timer(11) > 0 && a.timer(11) == 0 && !a.unloaded;
    const bool fetched = b.timer(11) == 0 && a.timer(11) > 0;
    const bool showed = a.timesShown > b.timesShown;

    if (executed ? a.counter != plusOne(b.counter) : a.counter != b.counter)
      return fail(executed ? "an execute step did not add 1 to the counter"
                           : "the counter changed outside an execute step and a click");
    if (fetched) {
      if (a.timer(10) != 0) return fail("the fetch step left Timer10 on");
      const auto p = readNumber(b.counter);
      const int line = p && *p >= 1 && *p <= Store::kLineCount && *p == static_cast<int>(*p)
                           ? static_cast<int>(*p)
                           : 0;
      if (a.code != (line ? store_.programLine(line) : b.code))
        return fail("the fetch step did not take the line the counter names");
      if (a.viewCalls != b.viewCalls) return fail("the fetch step touched the window");
    } else if (a.code != b.code) {
      return fail("currentCode changed outside a fetch step");
    }
    if (executed && !readNumber(b.code) && (a.halts != b.halts + 1 || a.timer(10) != 0))
      return fail("a line that is no number did not halt the run with a message");
    if (a.halts != b.halts && !executed) return fail("a halt came from no execute step");
    if (a.placeIndex != b.placeIndex && a.placeIndex != plusOne(b.placeIndex) && !showed)
      return fail("placeIndex moved other than by counting");
    if (a.timer(10) != b.timer(10) && a.timer(10) > 0 && !executed && !showed)
      return fail("Timer10 was armed by neither the show, an execute step nor a click");
    if (executed && !fetchIntervalALineCanSet(a.timer(10)))
      return fail("an execute step left Timer10 at an interval no line sets");
    if (a.visible != b.visible && !executed)
      return fail("a button showed or hid outside an execute step");
    for (int k = 1; k <= RunMachine::kButtonCount; ++k) {
      if (a.visible[static_cast<std::size_t>(k - 1)] !=
          window_->view.buttonShown[static_cast<std::size_t>(k - 1)])
        return fail("the machine and its window disagree on a button");
      if (window_->view.buttonMoves[static_cast<std::size_t>(k - 1)] > 1)
        return fail("a button was placed twice");
    }
    if (showed) {
      if (a.timesShown != 1) return fail("the window was shown for a run twice");
      if (a.timer(10) != 1 || a.placeIndex != "101")
        return fail("the show did not start the fetch step");
      for (int moves : window_->view.buttonMoves)
        if (moves != 1) return fail("the window showed before every button was placed");
    }
    if (!b.inBox && a.inBox) ++reached_.boxes;
    if (a.unloaded) {
      if (!isEnd(b.code)) return fail("the window unloaded on a line that is no 終了");
      if (a.timers != decltype(a.timers){}) return fail("終了 left a timer on");
      gone_ = true;
      ++reached_.ends;
    }
    if (executed || a.unloaded) pendingClick_ = false;
    if (a.timer(10) > 0 && a.timer(11) > 0 && !pendingClick_)
      return fail("the fetch and the execute timer are both armed");
    if (!gone_ && a.timesShown == 0 && steps_ > 66 + 8 * (starts_ - 1))
      return fail("the set-up did not show the window");
  }

  // ---- Actions -----------------------------------------------------------

  // A click reaches only a shown button of a loaded window.
  void click() {
    int shown[RunMachine::kButtonCount];
    int count = 0;
    for (int k = 1; k <= RunMachine::kButtonCount; ++k)
      if (window_->machine.buttonVisible(k)) shown[count++] = k;
    if (count == 0) return;
    const int n = shown[rng_.below(count)];
    lastEvent_ = QStringLiteral("a click on button %1").arg(n);
    const Snapshot b = snapshot();
    window_->machine.click(n);
    const Snapshot a = snapshot();
    last_ = a;
    if (b.inBox) {
      ++reached_.clicksInABox;
      if (a != b) fail("a click got past the message box");
      return;
    }
    Snapshot expected = b;
    expected.counter = QString::number(n);
    expected.timers[10 - 1] = 1;
    if (a != expected) return fail("a click did more than set the counter and arm Timer10");
    if (a.timer(11) > 0) {
      pendingClick_ = true;  // the execute step armed before it still runs first
      ++reached_.clicksBeforeAnExecute;
    }
  }

  void close() {
    if (!last_.inBox) return;
    lastEvent_ = QStringLiteral("closing the box");
    const Snapshot b = snapshot();
    window_->machine.messageClosed();
    const Snapshot a = snapshot();
    last_ = a;
    pendingClick_ = false;
    if (a.inBox || a.timer(11) != 0) return fail("closing the box did not finish the execute step");
    if (a.counter != plusOne(b.counter))
      return fail("closing the box did not add 1 to the counter");
    if (a.timer(10) != 1 && a.timer(10) != RunMachine::kRepeatedBoxPauseMs)
      return fail("closing the box did not lead to the next fetch");
    if (a.viewCalls != b.viewCalls || a.code != b.code)
      return fail("closing the box did more than finish the step");
  }

  // A close when no box is open, as a box of a window that is gone might send.
  void strayClose() {
    if (last_.inBox) return;
    lastEvent_ = QStringLiteral("a close with no box open");
    expectUnchanged([&] { window_->machine.messageClosed(); },
                    "a close with no box open changed the run");
  }

  // A save or an open during the run: the lines change under it.
  void editLine() {
    lastEvent_ = QStringLiteral("a line changed in the store");
    expectUnchanged(
        [&] { store_.setProgramLine(rng_.between(1, Store::kLineCount), randomLine(rng_)); },
        "a change of the store reached the machine before its next step");
  }

  // The first start of a run, or the caller starting again on a window that
  // was not unloaded.
  void start() {
    if (starts_ > 0) {
      ++(last_.timesShown ? reached_.secondStartsWhileRunning
                          : reached_.secondStartsWhileSettingUp);
    }
    lastEvent_ = QStringLiteral("start %1").arg(starts_ + 1);
    ++starts_;
    const Snapshot b = snapshot();
    window_->machine.start();
    const Snapshot a = snapshot();
    last_ = a;
    Snapshot expected = b;
    expected.timers[1 - 1] = 1;
    if (a != expected) fail("a start did more than arm Timer1");
  }

  // 停止 in the main window; a box still open may report its close late.
  void stop() {
    lastEvent_ = QStringLiteral("stop");
    const bool inBox = last_.inBox;
    ++reached_.stops;
    window_->machine.stopAll();
    const Snapshot a = snapshot();
    if (a.timers != decltype(a.timers){} || a.viewCalls != last_.viewCalls)
      fail("the stop left the run going");
    last_ = a;
    gone_ = true;
    if (inBox) {
      ++reached_.stopsInABox;
      lastEvent_ = QStringLiteral("a box closed after the stop");
      expectUnchanged([&] { window_->machine.messageClosed(); },
                      "a box closed after the stop restarted the run");
    }
  }

  template <class Action>
  void expectUnchanged(Action action, const char* rule) {
    const Snapshot b = snapshot();
    action();
    last_ = snapshot();
    if (last_ != b) fail(rule);
  }

  Rng rng_;
  Reached& reached_;
  Store store_;
  VirtualClock clock_;
  std::unique_ptr<Run> window_;
  Snapshot last_;
  bool gone_ = false;          // stopped or ended: nothing may happen any more
  bool pendingClick_ = false;  // a click came while an execute step was due
  int starts_ = 0;
  int steps_ = 0;  // timer steps since the run window was loaded
  int stepsLeft_ = 0;
  int run_ = 0;
  QString lastEvent_;
  QString failure_;
};

struct Batch {
  const char* tag;
  std::uint64_t seed;
  int scenarios;
};

const Batch kBatches[] = {
    {"first", 0x4B49564F0001ull, 250},
    {"second", 0x4B49564F0002ull, 250},
    {"third", 0x4B49564F0003ull, 250},
    {"fourth", 0x4B49564F0004ull, 250},
};

std::uint64_t scenarioSeed(std::uint64_t batchSeed, int index) {
  return Rng(batchSeed ^ (static_cast<std::uint64_t>(index) << 32)).next();
}

void PrintTo(const Batch& batch, std::ostream* os) { *os << batch.tag; }

class RandomRuns : public ::testing::TestWithParam<Batch> {};

TEST_P(RandomRuns, KeepTheCycleRules) {
  const Batch& batch = GetParam();
  Reached reached;
  for (int i = 0; i < batch.scenarios; ++i) {
    const std::uint64_t seed = scenarioSeed(batch.seed, i);
    const QString failure = Scenario(seed, reached).play();
    if (!failure.isEmpty()) {
      ADD_FAILURE() << "seed 0x" << std::hex << seed << ": " << failure.toStdString();
      return;
    }
  }
  // Each batch must reach every situation the rules are about.
  const std::pair<const char*, int> counts[] = {
      {"message boxes", reached.boxes},
      {"clicks while a box is open", reached.clicksInABox},
      {"clicks between a fetch and its execute step", reached.clicksBeforeAnExecute},
      {"second starts while setting up", reached.secondStartsWhileSettingUp},
      {"second starts while running", reached.secondStartsWhileRunning},
      {"runs ended by 終了", reached.ends},
      {"stops", reached.stops},
      {"stops while a box is open", reached.stopsInABox},
      {"halts with a message", reached.halts},
      {"runs past line 20", reached.countersPastTwenty},
  };
  for (auto [what, count] : counts) EXPECT_GE(count, 5) << what;
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomRuns, ::testing::ValuesIn(kBatches),
                         [](const auto& info) { return std::string(info.param.tag); });

// Scenarios that once broke a rule, played alone so that they stay mended
// whatever becomes of the batches. A seed names a scenario of this generator
// only: when the generator changes, put the fault back and find it anew.
const std::uint64_t kFoundSeeds[] = {
    0x89402ca5ef139f7full,  // a box closed after the stop restarted the run
};

TEST(RandomRunsFound, StayMended) {
  for (std::uint64_t seed : kFoundSeeds) {
    Reached reached;
    EXPECT_EQ(Scenario(seed, reached).play().toStdString(), "") << "seed 0x" << std::hex << seed;
  }
}

using FoundByRandomRuns = RunFixture;

// The same fault, written out: the stop comes while a box is open and the box
// reports its close only afterwards.
TEST_F(FoundByRandomRuns, BoxClosedAfterAStopStartsNothing) {
  setLines({10512, 222});
  startAndShow();
  clock_.advance(2);
  ASSERT_TRUE(m().inMessageBox());
  m().stopAll();
  m().messageClosed();
  for (int t = 1; t <= RunMachine::kTimerCount; ++t) EXPECT_EQ(m().interval(t), 0) << t;
  EXPECT_EQ(m().programCounter(), "1");
  clock_.advance(10000);
  EXPECT_EQ(view_.beeps, 0);
}

}  // namespace
}  // namespace kivo::test
