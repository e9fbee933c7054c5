#include "player/Player.h"

#include "player/LoaderWindow.h"
#include "runner_ui/RunWindow.h"

namespace kivo {

Player::Player(Store& store, Host& host, Clock& clock, QObject* parent)
    : QObject(parent),
      store_(store),
      host_(host),
      clock_(clock),
      launcher_(store, host, clock, RunVariant::Player),
      loader_([this] {
        auto* loader = new LoaderWindow(store_, host_, clock_, launcher_);
        connect(loader, &LoaderWindow::gaveUp, this, &Player::end);
        return loader;
      }) {
  connect(&launcher_, &RunLauncher::unloaded, this, &Player::end);
}

Player::~Player() = default;

LoaderWindow* Player::loader() const { return loader_.peek(); }

void Player::start() {
  RunWindow* run = launcher_.load();
  loader_.get()->show();
  run->show();
}

void Player::end() {
  if (ended_) return;
  ended_ = true;
  emit ended();
}

}  // namespace kivo
