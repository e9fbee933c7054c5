#include "editor/Editor.h"

#include "editor/HelpWindow.h"
#include "editor/MainWindow.h"
#include "editor/StoreWindow.h"
#include "editor/VersionDialog.h"
#include "platform_ui/WindowFrame.h"
#include "settings/CharSettingDialog.h"
#include "settings/PlacementDialog.h"

#include <QCoreApplication>

namespace kivo {
namespace {

// A single window comes to the front with what it holds, minimised or not;
// one that is not loaded is loaded first.
template <class T>
void showForm(FormSlot<T>& slot) {
  showInFront(*slot.get());
}

}  // namespace

Editor::Editor(Store& store, Host& host, Clock& clock, SplashWindow::PixelReader colourReader,
               QObject* parent)
    : QObject(parent),
      store_(store),
      host_(host),
      clock_(clock),
      colourReader_(std::move(colourReader)),
      launcher_(store, host, clock, RunVariant::Editor),
      mainWindow_([this] { return new MainWindow(*this); }),
      storeWindow_([] { return new StoreWindow; }),
      splash_([this] {
        auto* splash = new SplashWindow(host_, clock_, colourReader_);
        connect(splash, &SplashWindow::checked, this, &Editor::finishStart);
        return splash;
      }),
      placement_([this] { return new PlacementDialog(store_); }),
      version_([this] { return new VersionDialog(host_); }),
      help_([] { return new HelpWindow; }) {
  for (int s = 1; s <= kCharSettingCount; ++s)
    charSettings_[s - 1] = std::make_unique<FormSlot<CharSettingDialog>>(
        [this, s] { return new CharSettingDialog(store_, s); });
  // Whichever main window is loaded when the run window shows gets the news.
  connect(&launcher_, &RunLauncher::runShown, this, [this] {
    if (MainWindow* window = mainWindow()) window->showRunning();
  });
}

Editor::~Editor() = default;

MainWindow* Editor::mainWindow() const { return mainWindow_.peek(); }

void Editor::start() {
  splash_.get();  // its timer counts from here
  showStoreWindow();
  showMainWindow();
  showForm(splash_);
}

void Editor::finishStart() {
  splash_.unload();
  showStoreWindow();
  showMainWindow();
}

// Never activated, since it takes no focus, nor raised: it stays behind
// the main window, and icewm lists a window that raises itself unfocused.
void Editor::showStoreWindow() { storeWindow_.get()->show(); }

void Editor::showMainWindow() { showForm(mainWindow_); }

void Editor::renewMainWindow() {
  mainWindow_.unload();
  showMainWindow();
}

void Editor::quit() {
  launcher_.stop();
  mainWindow_.unload();
  storeWindow_.unload();
  splash_.unload();
  placement_.unload();
  for (auto& slot : charSettings_) slot->unload();
  version_.unload();
  help_.unload();
  // Queued, so that a close box that called this finishes closing first.
  QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                            Qt::QueuedConnection);
}

void Editor::showPlacement() { showForm(placement_); }

void Editor::showCharSetting(int setting) {
  if (setting < 1 || setting > kCharSettingCount) return;
  showForm(*charSettings_[setting - 1]);
}

void Editor::showVersion() { showForm(version_); }

void Editor::showHelp() { showForm(help_); }

}  // namespace kivo
