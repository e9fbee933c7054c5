#include "platform_ui/Icons.h"
#include "platform_ui/JapaneseTexts.h"
#include "platform_ui/PaintableDisplay.h"
#include "platform_ui/QtHost.h"
#include "platform/RealClock.h"
#include "platform_ui/SessionSettings.h"
#include "player/Player.h"
#include "store/Store.h"

#include <QApplication>
#include <QWindow>

#include <cstdio>

int main(int argc, char* argv[]) {
  kivo::SessionSettings settings;
  kivo::PaintableDisplay display(argc, argv);
  if (!display.problem().empty()) {
    std::fprintf(stderr, "%s: %s\n", argv[0], display.problem().c_str());
    return 1;
  }
  QApplication app(display.argc(), display.argv());
  // The window class (kivo-form.desktop's StartupWMClass) is the program's
  // name, which Qt reads at its first window and keeps. Qt also titles a
  // window that has no caption with that name, and the player's run window
  // is to show none: after the first window the name is blank.
  QCoreApplication::setApplicationName(QStringLiteral("kivo-form"));
  QWindow().create();
  QCoreApplication::setApplicationName(QStringLiteral(" "));
  display.fillGreyColourMap();
  kivo::useJapaneseQtTexts(&app);
  QApplication::setWindowIcon(kivo::noIcon());  // no icon but where a window has its own
  kivo::Store store;
  kivo::QtHost host;
  kivo::RealClock clock;
  kivo::Player player(store, host, clock);
  // Queued: the player may end inside a step of its own windows. Not quit():
  // that asks every window to close first and gives up when one refuses, as
  // the run window does, leaving the loader's square on screen for ever.
  QObject::connect(&player, &kivo::Player::ended, &app, [] { QCoreApplication::exit(0); },
                   Qt::QueuedConnection);
  player.start();
  const int status = app.exec();
  // Windows unloaded in the last moments go while the clock still stands.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return status;
}
