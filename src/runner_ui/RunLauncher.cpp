#include "runner_ui/RunLauncher.h"

#include "runner_ui/RunWindow.h"

namespace kivo {

RunLauncher::RunLauncher(const Store& store, Host& host, Clock& clock, RunVariant variant,
                         QObject* parent)
    : QObject(parent),
      store_(store),
      host_(host),
      clock_(clock),
      variant_(variant),
      slot_([this] { return create(); }) {}

RunLauncher::~RunLauncher() = default;

RunWindow* RunLauncher::create() {
  auto* w = new RunWindow(store_, host_, clock_, variant_);
  connect(w, &RunWindow::shownForRun, this, &RunLauncher::runShown);
  connect(w, &RunWindow::unloadRequested, this, [this, w] {
    if (slot_.peek() == w) unloadWindow();
  });
  return w;
}

RunWindow* RunLauncher::load() { return slot_.get(); }

bool RunLauncher::loaded() const { return slot_.loaded(); }

RunWindow* RunLauncher::window() const { return slot_.peek(); }

void RunLauncher::start() {
  // A window that ran before would stay hidden for ever if armed again.
  if (slot_.loaded() && slot_.peek()->machine().started()) unloadWindow();
  RunWindow* w = slot_.get();
  w->machine().start();
  w->hide();
  if (!pictureFolder_.isEmpty()) w->machine().setPictureFolder(pictureFolder_);
}

void RunLauncher::stop() {
  if (slot_.loaded()) unloadWindow();
}

void RunLauncher::unloadWindow() {
  slot_.peek()->machine().stopAll();
  slot_.unload();
  emit unloaded();
}

}  // namespace kivo
