#include "platform/RealClock.h"

#include <QTimer>

#include <algorithm>

namespace kivo {

RealClock::RealClock(QObject* parent) : QObject(parent) { elapsed_.start(); }

qint64 RealClock::now() const { return elapsed_.elapsed(); }

void RealClock::attached(TimerSet& set) {
  auto* timer = new QTimer(this);
  timer->setSingleShot(true);
  timer->setTimerType(Qt::PreciseTimer);
  TimerSet* target = &set;
  connect(timer, &QTimer::timeout, this, [this, target] { wake(target); });
  wakers_[target] = timer;
}

void RealClock::detached(TimerSet& set) {
  auto it = wakers_.find(&set);
  if (it == wakers_.end()) return;
  it->second->stop();
  it->second->deleteLater();  // may be the very timer whose signal is running
  wakers_.erase(it);
}

void RealClock::scheduleChanged(TimerSet& set) {
  auto it = wakers_.find(&set);
  if (it == wakers_.end()) return;
  const auto due = set.nextDue();
  if (!due) {
    it->second->stop();
    return;
  }
  it->second->start(static_cast<int>(std::max<qint64>(0, due->time - now())));
}

void RealClock::wake(TimerSet* set) {
  if (!wakers_.contains(set)) return;
  if (!set->fireNext(now())) scheduleChanged(*set);
  // fireNext reports its own changes unless the set went away with its step.
}

}  // namespace kivo
