#include "platform_ui/ProgramMain.h"
#include "player/Player.h"
#include "store/Store.h"

#include <QCoreApplication>

namespace {

struct PlayerProgram {
  PlayerProgram(kivo::Host& host, kivo::Clock& clock) : player(store, host, clock) {
    // Queued: the player may end inside a step of its own windows. Not quit():
    // that asks every window to close first and gives up when one refuses, as
    // the run window does, leaving the loader's square on screen for ever.
    QObject::connect(&player, &kivo::Player::ended, qApp, [] { QCoreApplication::exit(0); },
                     Qt::QueuedConnection);
    player.start();
  }
  kivo::Store store;
  kivo::Player player;
};

}  // namespace

// The player's run window shows no caption, so after the first window the
// application's name is blank.
int main(int argc, char* argv[]) {
  return kivo::programMain(argc, argv, "kivo-form", " ", [](kivo::Host& host, kivo::Clock& clock) {
    return std::make_shared<PlayerProgram>(host, clock);
  });
}
