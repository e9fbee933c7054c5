#pragma once

#include "platform_ui/FormSlot.h"
#include "runner_ui/RunVariant.h"

#include <QObject>
#include <QString>

namespace kivo {

class Clock;
class Host;
class RunWindow;
class Store;

// Starts and ends runs in the run window (Form3). The editor's run action and
// the player's loader both start a run through it.
class RunLauncher : public QObject {
  Q_OBJECT
 public:
  RunLauncher(const Store& store, Host& host, Clock& clock, RunVariant variant,
              QObject* parent = nullptr);
  ~RunLauncher() override;

  // Where the pictures of the runs started from now on lie: N.bmp in that
  // folder. Until it is set, the design paths "c:\kivo\N.bmp" stand, the
  // folder kivo in the home folder.
  void setPictureFolder(const QString& folder) { pictureFolder_ = folder; }

  // The run-start protocol: the window is loaded (one that already ran is
  // unloaded first, so every run starts fresh), its set-up armed, and it is
  // hidden until the set-up shows it; then its picture paths are written.
  // The set-up runs from the next tick on.
  void start();
  // Unloads the run window, if one is loaded (the editor's 停止).
  void stop();
  // Loads the window in its design state without starting a run (the
  // player's start-up window).
  RunWindow* load();
  bool loaded() const;
  RunWindow* window() const;  // nullptr when none is loaded

 signals:
  // The set-up has placed button 20 and made the window visible.
  void runShown();
  // The run window went: 終了, 停止 or its close box.
  void unloaded();

 private:
  RunWindow* create();
  void unloadWindow();

  const Store& store_;
  Host& host_;
  Clock& clock_;
  RunVariant variant_;
  QString pictureFolder_;
  FormSlot<RunWindow> slot_;
};

}  // namespace kivo
