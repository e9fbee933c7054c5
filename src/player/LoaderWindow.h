#pragma once

#include "platform/TimerSet.h"

#include <QString>
#include <QWidget>

namespace kivo {

class Host;
class RunLauncher;
class Store;

// Form1 of the player: a 6 x 6 borderless square at the middle of the
// screen that shows nothing. Its one-shot timer asks for a program file,
// fills the store from it and starts the run in the launcher's window.
class LoaderWindow final : public QWidget {
  Q_OBJECT
 public:
  LoaderWindow(Store& store, Host& host, Clock& clock, RunLauncher& launcher);

  int timerInterval() const { return timers_.interval(kTimer1); }

 signals:
  // The loader started no run: the dialog was cancelled or the file refused.
  void gaveUp();

 private:
  static constexpr int kTimer1 = 0;

  void load();
  bool readProgram(const QString& file);

  Store& store_;
  Host& host_;
  RunLauncher& launcher_;
  TimerSet timers_;
};

}  // namespace kivo
