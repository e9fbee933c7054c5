#pragma once

#include <QtGlobal>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kivo {

class TimerSet;

// The time source a TimerSet is driven by: real time in the programs, a
// virtual clock in tests. A clock that goes before its sets leaves them
// still and harmless: a window deleted late must not reach a dead clock.
class Clock {
 public:
  Clock() = default;
  Clock(const Clock&) = delete;
  Clock& operator=(const Clock&) = delete;
  virtual ~Clock();
  virtual qint64 now() const = 0;  // milliseconds

 protected:
  friend class TimerSet;
  virtual void attached(TimerSet&) {}
  virtual void detached(TimerSet&) {}
  virtual void scheduleChanged(TimerSet&) {}
  const std::vector<TimerSet*>& sets() const { return sets_; }

 private:
  void attach(TimerSet& set);
  void detach(TimerSet& set);

  std::vector<TimerSet*> sets_;
};

// A window's timers. Interval 0 is off; interval N runs the step N ms after
// the interval was set and every N ms after; setting an interval restarts its
// count. Steps run one at a time, earliest due first, and timers due at the
// same moment in the order they were armed.
class TimerSet {
 public:
  using Step = std::function<void()>;

  explicit TimerSet(Clock& clock);
  ~TimerSet();
  TimerSet(const TimerSet&) = delete;
  TimerSet& operator=(const TimerSet&) = delete;

  // Adds a timer (off) and returns its number, counted from 0.
  int add(Step step);
  void setInterval(int timer, int ms);
  int interval(int timer) const;
  void stopAll();
  // While held no step runs; steps that fell due meanwhile run once it is
  // released, in order. Keeps a window's timers still behind a modal box.
  void setHeld(bool held);
  int count() const { return static_cast<int>(timers_.size()); }

  struct Due {
    qint64 time;
    std::uint64_t armOrder;
  };
  std::optional<Due> nextDue() const;

  // Runs exactly one step that is due at `now`; false when none is. The set
  // may be destroyed by the step it runs.
  bool fireNext(qint64 now);

 private:
  friend class Clock;
  struct Timer {
    Step step;
    int interval = 0;
    qint64 due = 0;
    std::uint64_t armOrder = 0;
  };
  void changed();

  Clock* clock_;  // none once the clock has gone
  std::vector<Timer> timers_;
  bool firing_ = false;
  bool held_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Test time: nothing happens until advance() moves the clock, and then every
// step that falls due runs at its own moment. A minute costs microseconds.
class VirtualClock final : public Clock {
 public:
  qint64 now() const override { return now_; }
  // Runs every step due up to now + ms, in order, and leaves the clock there.
  void advance(qint64 ms);
  // Steps one due step at a time until `done` holds or `limitMs` has passed.
  // Returns whether `done` held.
  bool advanceUntil(const std::function<bool()>& done, qint64 limitMs);

 private:
  TimerSet* earliest(qint64 limit, qint64* due) const;

  qint64 now_ = 0;
};

}  // namespace kivo
