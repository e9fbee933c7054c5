#include "editor/Editor.h"
#include "platform/QtHost.h"
#include "platform/RealClock.h"
#include "store/Store.h"

#include <QApplication>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  kivo::Store store;
  kivo::QtHost host;
  kivo::RealClock clock;
  kivo::Editor editor(store, host, clock);
  editor.start();
  return app.exec();
}
