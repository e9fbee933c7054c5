#include "platform/TimerSet.h"

#include <algorithm>
#include <utility>

namespace kivo {
namespace {
// Shared by all sets, so that simultaneous steps of different windows keep
// the order in which they were armed.
std::uint64_t nextArmOrder = 1;
}  // namespace

Clock::~Clock() {
  for (TimerSet* set : sets_) set->clock_ = nullptr;
}

void Clock::attach(TimerSet& set) {
  sets_.push_back(&set);
  attached(set);
}

void Clock::detach(TimerSet& set) {
  std::erase(sets_, &set);
  detached(set);
}

TimerSet::TimerSet(Clock& clock) : clock_(&clock) { clock_->attach(*this); }

TimerSet::~TimerSet() {
  *alive_ = false;
  if (clock_) clock_->detach(*this);
}

int TimerSet::add(Step step) {
  timers_.push_back(Timer{std::move(step)});
  return count() - 1;
}

void TimerSet::setInterval(int timer, int ms) {
  Timer& t = timers_.at(static_cast<size_t>(timer));
  t.interval = std::max(ms, 0);
  if (t.interval > 0) {
    t.due = (clock_ ? clock_->now() : 0) + t.interval;
    t.armOrder = nextArmOrder++;
  }
  changed();
}

int TimerSet::interval(int timer) const {
  return timers_.at(static_cast<size_t>(timer)).interval;
}

void TimerSet::stopAll() {
  for (Timer& t : timers_) t.interval = 0;
  changed();
}

void TimerSet::setHeld(bool held) {
  held_ = held;
  changed();
}

std::optional<TimerSet::Due> TimerSet::nextDue() const {
  std::optional<Due> best;
  if (held_) return best;
  for (const Timer& t : timers_) {
    if (t.interval <= 0) continue;
    if (!best || t.due < best->time ||
        (t.due == best->time && t.armOrder < best->armOrder))
      best = Due{t.due, t.armOrder};
  }
  return best;
}

bool TimerSet::fireNext(qint64 now) {
  const auto due = nextDue();
  if (!due || due->time > now) return false;
  auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) {
    return t.interval > 0 && t.armOrder == due->armOrder;
  });
  // A repeating timer counts its next period from this step; a step that sets
  // its own interval overrides this.
  it->due = now + it->interval;
  const Step step = it->step;  // the step may replace the timers' storage

  const auto alive = alive_;
  firing_ = true;
  step();
  if (!*alive) return true;
  firing_ = false;
  changed();
  return true;
}

void TimerSet::changed() {
  if (!firing_ && clock_) clock_->scheduleChanged(*this);
}

void VirtualClock::advance(qint64 ms) {
  advanceUntil([] { return false; }, ms);
}

bool VirtualClock::advanceUntil(const std::function<bool()>& done,
                                qint64 limitMs) {
  const qint64 limit = now_ + std::max<qint64>(limitMs, 0);
  qint64 due = 0;
  while (!done()) {
    TimerSet* set = earliest(limit, &due);
    if (!set) {
      now_ = limit;
      return done();
    }
    now_ = std::max(now_, due);
    set->fireNext(now_);
  }
  return true;
}

TimerSet* VirtualClock::earliest(qint64 limit, qint64* due) const {
  TimerSet* best = nullptr;
  std::optional<TimerSet::Due> bestDue;
  for (TimerSet* set : sets()) {
    const auto d = set->nextDue();
    if (!d || d->time > limit) continue;
    if (!bestDue || d->time < bestDue->time ||
        (d->time == bestDue->time && d->armOrder < bestDue->armOrder)) {
      best = set;
      bestDue = d;
    }
  }
  if (best) *due = bestDue->time;
  return best;
}

}  // namespace kivo
