#include "editor/Editor.h"
#include "platform/JapaneseTexts.h"
#include "platform/QtHost.h"
#include "platform/RealClock.h"
#include "store/Store.h"

#include <QApplication>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  kivo::useJapaneseQtTexts(&app);
  kivo::Store store;
  kivo::QtHost host;
  kivo::RealClock clock;
  kivo::Editor editor(store, host, clock);
  editor.start();
  const int status = app.exec();
  // Windows unloaded in the last moments go while the clock still stands.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return status;
}
