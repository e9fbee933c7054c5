#include "editor/Editor.h"
#include "platform_ui/Icons.h"
#include "platform_ui/JapaneseTexts.h"
#include "platform_ui/PaintableDisplay.h"
#include "platform_ui/QtHost.h"
#include "platform/RealClock.h"
#include "platform_ui/SessionSettings.h"
#include "store/Store.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
  kivo::SessionSettings settings;
  kivo::PaintableDisplay display(argc, argv);
  if (!display.problem().empty()) {
    std::fprintf(stderr, "%s: %s\n", argv[0], display.problem().c_str());
    return 1;
  }
  // The window class, which kivo.desktop names (StartupWMClass).
  QCoreApplication::setApplicationName(QStringLiteral("kivo"));
  QApplication app(display.argc(), display.argv());
  display.fillGreyColourMap();
  kivo::useJapaneseQtTexts(&app);
  QApplication::setWindowIcon(kivo::noIcon());  // no icon but where a window has its own
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
