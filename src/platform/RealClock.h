#pragma once

#include "platform/TimerSet.h"

#include <QElapsedTimer>
#include <QObject>

#include <map>

class QTimer;

namespace kivo {

// Drives timer sets in real time: one precise single-shot QTimer per set
// wakes it at its next due time; each wake runs one step and returns to the
// event loop, so clicks and painting are served between any two steps.
class RealClock final : public QObject, public Clock {
  Q_OBJECT
 public:
  explicit RealClock(QObject* parent = nullptr);
  qint64 now() const override;

 protected:
  void attached(TimerSet& set) override;
  void detached(TimerSet& set) override;
  void scheduleChanged(TimerSet& set) override;

 private:
  void wake(TimerSet* set);

  QElapsedTimer elapsed_;
  std::map<TimerSet*, QTimer*> wakers_;
};

}  // namespace kivo
