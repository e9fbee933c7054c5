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
// virtual clock in tests.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual qint64 now() const = 0;  // milliseconds

 protected:
  friend class TimerSet;
  virtual void attach(TimerSet& set) = 0;
  virtual void detach(TimerSet& set) = 0;
  virtual void scheduleChanged(TimerSet& set) = 0;
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
  bool held() const { return held_; }
  int count() const { return static_cast<int>(timers_.size()); }

  struct Due {
    qint64 time;
    std::uint64_t armOrder;
  };
  std::optional<Due> nextDue() const;

  // Runs exactly one step that is due at `now`; false when none is. The set
  // may be destroyed by the step it runs.
  bool fireNext(qint64 now);

  Clock& clock() const { return clock_; }

 private:
  struct Timer {
    Step step;
    int interval = 0;
    qint64 due = 0;
    std::uint64_t armOrder = 0;
  };
  void changed();

  Clock& clock_;
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

 protected:
  void attach(TimerSet& set) override;
  void detach(TimerSet& set) override;
  void scheduleChanged(TimerSet&) override {}

 private:
  TimerSet* earliest(qint64 limit, qint64* due) const;

  qint64 now_ = 0;
  std::vector<TimerSet*> sets_;
};

}  // namespace kivo
