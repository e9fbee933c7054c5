#pragma once

#include "platform_ui/FormSlot.h"
#include "runner_ui/RunLauncher.h"

#include <QObject>

namespace kivo {

class Clock;
class Host;
class LoaderWindow;
class Store;

// The player's windows: the run window, its start-up window, and the loader
// window it shows. The player ends when its run window goes (終了 or the
// close box) or when the loader started no run.
class Player : public QObject {
  Q_OBJECT
 public:
  Player(Store& store, Host& host, Clock& clock, QObject* parent = nullptr);
  ~Player() override;

  // Loads the run window, which shows the loader window, and shows the run
  // window in its design state. The loader runs at the next tick.
  void start();

  RunLauncher& launcher() { return launcher_; }
  LoaderWindow* loader() const;  // nullptr before start()

 signals:
  // Once: nothing is left for the user to do. main() quits on it.
  void ended();

 private:
  void end();

  Store& store_;
  Host& host_;
  Clock& clock_;
  RunLauncher launcher_;
  FormSlot<LoaderWindow> loader_;
  bool ended_ = false;
};

}  // namespace kivo
