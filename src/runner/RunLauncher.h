#pragma once

#include <QObject>
#include <QString>

namespace kivo {

class Clock;
class Host;
class RunWindow;
class Store;

// Which program the run window belongs to: the player's window has no
// caption, a fixed single border and writes no status caption.
enum class RunVariant { Editor, Player };

// Starts and ends runs in the run window (Form3). The editor's run action and
// the player's loader both start a run through it.
class RunLauncher : public QObject {
  Q_OBJECT
 public:
  RunLauncher(Store& store, Host& host, Clock& clock, RunVariant variant,
              QObject* parent = nullptr);
  ~RunLauncher() override;

  // The run-start protocol: a fresh run window is loaded (one still loaded
  // from an earlier run is unloaded first), its first timer armed, and it is
  // shown and hidden at once. The set-up runs from the next tick on.
  void start();
  // Unloads the run window, if one is loaded (the editor's 停止).
  void stop();
  bool loaded() const;
  RunWindow* window() const;  // nullptr when none is loaded

 signals:
  // The set-up has placed button 20 and made the window visible.
  void runShown();
  // The run window went: 終了, 停止 or its close box.
  void unloaded();

 private:
  struct Impl;
  Impl* impl_ = nullptr;
};

}  // namespace kivo
