#include "platform/TimerSet.h"

#include <gtest/gtest.h>

#include <QString>

#include <deque>
#include <memory>
#include <vector>

namespace kivo {
namespace {

// Records which timer fired when.
struct Log {
  std::vector<QString> entries;
  void add(const VirtualClock& clock, const QString& name) {
    entries.push_back(QStringLiteral("%1@%2").arg(name).arg(clock.now()));
  }
};

class TimerSetTest : public ::testing::Test {
 protected:
  int addLogged(TimerSet& set, const QString& name) {
    return set.add([this, &name = names_.emplace_back(name)] { log_.add(clock_, name); });
  }
  VirtualClock clock_;
  Log log_;
  std::deque<QString> names_;
};

TEST_F(TimerSetTest, IntervalZeroIsOff) {
  TimerSet set(clock_);
  const int t = addLogged(set, "a");
  set.setInterval(t, 0);
  clock_.advance(1000);
  EXPECT_TRUE(log_.entries.empty());
  EXPECT_FALSE(set.nextDue());
}

TEST_F(TimerSetTest, RepeatsEveryInterval) {
  TimerSet set(clock_);
  const int t = addLogged(set, "a");
  set.setInterval(t, 100);
  clock_.advance(350);
  EXPECT_EQ(log_.entries, (std::vector<QString>{"a@100", "a@200", "a@300"}));
}

// What fell due while held runs once, and the period counts from there.
TEST_F(TimerSetTest, HeldRepeatingTimerRunsOnceOnReleaseAndCountsFromThere) {
  TimerSet set(clock_);
  const int t = addLogged(set, "a");
  set.setInterval(t, 100);
  set.setHeld(true);
  clock_.advance(350);
  set.setHeld(false);
  clock_.advance(110);
  EXPECT_EQ(log_.entries, (std::vector<QString>{"a@350", "a@450"}));
}

TEST_F(TimerSetTest, SettingAnIntervalRestartsItsCount) {
  TimerSet set(clock_);
  const int t = addLogged(set, "a");
  set.setInterval(t, 100);
  clock_.advance(60);
  set.setInterval(t, 100);  // same value: counts again from 60
  clock_.advance(90);
  EXPECT_TRUE(log_.entries.empty());
  clock_.advance(10);
  EXPECT_EQ(log_.entries, (std::vector<QString>{"a@160"}));
}

TEST_F(TimerSetTest, SimultaneousStepsRunInArmingOrder) {
  TimerSet set(clock_);
  const int a = addLogged(set, "a");
  const int b = addLogged(set, "b");
  const int c = addLogged(set, "c");
  set.setInterval(c, 1);
  set.setInterval(a, 1);
  set.setInterval(b, 1);
  set.setInterval(a, 0);
  set.setInterval(a, 1);  // armed again: now last
  clock_.advance(1);
  EXPECT_EQ(log_.entries, (std::vector<QString>{"c@1", "b@1", "a@1"}));
}

TEST_F(TimerSetTest, ArmingOrderHoldsAcrossSets) {
  TimerSet first(clock_), second(clock_);
  const int a = addLogged(first, "a");
  const int b = addLogged(second, "b");
  second.setInterval(b, 5);
  first.setInterval(a, 5);
  clock_.advance(5);
  EXPECT_EQ(log_.entries, (std::vector<QString>{"b@5", "a@5"}));
}

TEST_F(TimerSetTest, StepThatSwitchesItselfOffRunsOnce) {
  TimerSet set(clock_);
  int runs = 0;
  int t = 0;
  t = set.add([&] {
    set.setInterval(t, 0);
    ++runs;
  });
  set.setInterval(t, 1);
  clock_.advance(100);
  EXPECT_EQ(runs, 1);
}

TEST_F(TimerSetTest, ChainOfOneMillisecondStepsTakesOneTickEach) {
  TimerSet set(clock_);
  std::vector<int> timers(3);
  std::vector<qint64> times;
  for (int i = 0; i < 3; ++i)
    timers[i] = set.add([&, i] {
      times.push_back(clock_.now());
      set.setInterval(timers[i], 0);
      set.setInterval(timers[(i + 1) % 3], 1);
    });
  set.setInterval(timers[0], 1);
  clock_.advance(61);
  ASSERT_EQ(times.size(), 61u);
  EXPECT_EQ(times.front(), 1);
  EXPECT_EQ(times.back(), 61);
}

TEST_F(TimerSetTest, OneStepPerFireEvenWhenSeveralAreDue) {
  TimerSet set(clock_);
  const int a = addLogged(set, "a");
  const int b = addLogged(set, "b");
  set.setInterval(a, 1);
  set.setInterval(b, 1);
  EXPECT_FALSE(set.fireNext(0));
  EXPECT_TRUE(set.fireNext(1));
  EXPECT_EQ(log_.entries.size(), 1u);
}

TEST_F(TimerSetTest, AStepMayDestroyItsOwnSet) {
  auto set = std::make_unique<TimerSet>(clock_);
  int laterRuns = 0;
  const int t = set->add([&] { set.reset(); });
  const int later = set->add([&] { ++laterRuns; });
  set->setInterval(later, 2);
  set->setInterval(t, 1);
  clock_.advance(10);
  EXPECT_EQ(set, nullptr);
  EXPECT_EQ(laterRuns, 0);
}

TEST(TimerSetWithoutClock, OutlivesItsClockHarmlessly) {
  auto clock = std::make_unique<VirtualClock>();
  TimerSet set(*clock);
  int runs = 0;
  const int t = set.add([&] { ++runs; });
  set.setInterval(t, 5);
  clock.reset();  // a window deleted after its clock
  set.setInterval(t, 1);
  set.stopAll();
  EXPECT_EQ(runs, 0);
}

TEST_F(TimerSetTest, SixtySecondPauseIsVirtual) {
  TimerSet set(clock_);
  const int t = addLogged(set, "pause");
  set.setInterval(t, 60000);
  clock_.advance(59999);
  EXPECT_TRUE(log_.entries.empty());
  clock_.advance(1);
  EXPECT_EQ(log_.entries, (std::vector<QString>{"pause@60000"}));
}

TEST_F(TimerSetTest, AdvanceUntilStopsWhenDone) {
  TimerSet set(clock_);
  int runs = 0;
  const int t = set.add([&] { ++runs; });
  set.setInterval(t, 10);
  EXPECT_TRUE(clock_.advanceUntil([&] { return runs == 3; }, 1000));
  EXPECT_EQ(clock_.now(), 30);
  EXPECT_FALSE(clock_.advanceUntil([&] { return runs == 1000; }, 50));
  EXPECT_EQ(clock_.now(), 80);
}

}  // namespace
}  // namespace kivo
