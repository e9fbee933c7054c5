#pragma once

#include "editor/SplashWindow.h"
#include "platform_ui/FormSlot.h"
#include "runner_ui/RunLauncher.h"

#include <QObject>

#include <array>
#include <memory>

namespace kivo {

class CharSettingDialog;
class Clock;
class HelpWindow;
class Host;
class MainWindow;
class PlacementDialog;
class Store;
class StoreWindow;
class VersionDialog;

// The editor's windows and what outlives any one of them: the main window is
// rebuilt by 新規作成, so the run launcher and the other windows live here.
class Editor : public QObject {
  Q_OBJECT
 public:
  static constexpr int kCharSettingCount = 5;

  // `colourReader`: how the splash reads its canvas back.
  Editor(Store& store, Host& host, Clock& clock,
         SplashWindow::PixelReader colourReader = SplashWindow::readPixel, QObject* parent = nullptr);
  ~Editor() override;

  // The start-up: the store window, the main window and the splash in
  // front; once the splash has checked the display it goes and the store
  // window and the main window come forward, the main window active.
  void start();

  Store& store() { return store_; }
  Host& host() { return host_; }
  RunLauncher& launcher() { return launcher_; }
  MainWindow* mainWindow() const;  // nullptr when none is loaded
  FormSlot<StoreWindow>& storeWindow() { return storeWindow_; }
  FormSlot<SplashWindow>& splash() { return splash_; }

  // 新規作成: the main window goes with all that was typed and comes back
  // with its design values; nothing else changes.
  void renewMainWindow();
  // Ends the editor at once, every window with it.
  void quit();

  void showPlacement();
  void showCharSetting(int setting);  // 1..5
  void showVersion();
  void showHelp();

 private:
  void showMainWindow();
  void showStoreWindow();
  void finishStart();

  Store& store_;
  Host& host_;
  Clock& clock_;
  SplashWindow::PixelReader colourReader_;
  RunLauncher launcher_;
  FormSlot<MainWindow> mainWindow_;
  FormSlot<StoreWindow> storeWindow_;
  FormSlot<SplashWindow> splash_;
  FormSlot<PlacementDialog> placement_;
  std::array<std::unique_ptr<FormSlot<CharSettingDialog>>, kCharSettingCount> charSettings_;
  FormSlot<VersionDialog> version_;
  FormSlot<HelpWindow> help_;
};

}  // namespace kivo
