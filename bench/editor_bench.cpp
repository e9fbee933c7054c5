#include "bench.h"

#include "editor/Editor.h"
#include "editor/MainWindow.h"
#include "platform/TimerSet.h"
#include "store/Store.h"

#include <QTemporaryDir>

namespace kivo::bench {

// Save and open through the main window's own actions; the dialogs pick one
// file at once, so what is timed is the editor's work and the disk's.
void benchFileActions() {
  QTemporaryDir dir;
  Store store;
  BenchHost host(dir.filePath(QStringLiteral("bench.bmp")));
  VirtualClock clock;
  Editor editor(store, host, clock);
  editor.start();
  // However the editor comes up, its main window is there within seconds.
  clock.advanceUntil([&] { return editor.mainWindow() != nullptr; }, 10000);
  MainWindow& window = *editor.mainWindow();
  report("save_ms", timesMs(51, [&] { window.save(); }), "ms");
  report("open_ms", timesMs(51, [&] { window.open(); }), "ms");
}

}  // namespace kivo::bench
