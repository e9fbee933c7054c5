// The editor through a long run and a long pause, each measured inside a
// process of its own that holds the editor's windows and nothing else.
#include "bench.h"

#include "editor/Editor.h"
#include "editor/MainWindow.h"
#include "platform/RealClock.h"
#include "platform/TimerSet.h"
#include "runner_ui/RunWindow.h"
#include "store/Codes.h"
#include "store/Store.h"
#include "support/Commands.h"

#include <QCoreApplication>
#include <QLineEdit>

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace kivo::bench {
namespace {

QString codeText(std::string_view identifier) { return QString::number(test::commandCode(identifier)); }

// The editor as its main() puts it together, on the clock it is given.
class EditorProcess {
 public:
  explicit EditorProcess(Clock& clock) : editor_(store_, host_, clock) {}

  Store& store() { return store_; }
  Editor& editor() { return editor_; }
  MainWindow& mainWindow() { return *editor_.mainWindow(); }

  // However the editor comes up, its main window is there in the end.
  bool mainWindowShown() const {
    return editor_.mainWindow() && editor_.mainWindow()->isVisible();
  }
  bool runShown() {
    return editor_.launcher().window() && editor_.launcher().window()->isVisible();
  }
  RunMachine& machine() { return editor_.launcher().window()->machine(); }

  // Types the lines into the main window, the others "0", and runs them.
  void run(const QStringList& lines) {
    for (int k = 1; k <= Store::kLineCount; ++k)
      mainWindow().findChild<QLineEdit*>(QStringLiteral("Text%1").arg(k))
          ->setText(lines.value(k - 1, QStringLiteral("0")));
    mainWindow().run();
  }

 private:
  Store store_;
  BenchHost host_;
  Editor editor_;
};

}  // namespace

// Resident memory of the editor in a run that has printed a million texts:
// every line prints one, and past line 20 the last line repeats. The virtual
// clock runs the million in seconds; the window is painted between batches,
// as the event loop would paint it.
int childRunResident() {
  VirtualClock clock;
  EditorProcess process(clock);
  process.editor().start();
  require(clock.advanceUntil([&] { return process.mainWindowShown(); }, 60000), "no main window");

  const QString text = QStringLiteral("KIVO");
  for (int c = 0; c < text.size(); ++c) {
    const auto table = charTable();
    const auto ch = std::find_if(table.begin(), table.end(),
                                 [&](const CharCode& cc) { return cc.shown == text[c].toLatin1(); });
    process.store().setCharSetting(1, c + 1, QString::number(ch->code));
  }
  process.run(QStringList(Store::kLineCount, codeText("cmdShowText1")));
  require(clock.advanceUntil([&] { return process.runShown(); }, 60000), "the run window did not show");

  constexpr qint64 kPrints = 1'000'000;
  constexpr qint64 kBatch = 1000;
  RunMachine& m = process.machine();
  while (counterOf(m) <= kPrints) {
    const qint64 target = std::min(counterOf(m) + kBatch, kPrints + 1);
    require(clock.advanceUntil([&] { return counterOf(m) >= target; }, 1'000'000'000), "the run did not go on");
    QCoreApplication::processEvents();
  }
  const QStringList printed = process.editor().launcher().window()->printedTexts();
  require(!printed.isEmpty() && printed.front() == text, "the run printed no text");
  std::printf("%.3f\n", residentMb());
  return 0;
}

// CPU use of the editor through a ten-second pause on the real clock, from
// the end of the execute step that starts it to the end of the next fetch.
int childPauseCpu() {
  RealClock clock;
  EditorProcess process(clock);
  process.editor().start();
  require(waitUntil([&] { return process.mainWindowShown(); }), "no main window");
  process.run({codeText("cmdPause10s"), codeText("cmdStop")});
  require(waitUntil([&] { return process.runShown(); }), "the run window did not show");

  RunMachine& m = process.machine();
  awaitPauseStart(m, test::command("cmdPause10s").arg);
  const double startCpu = cpuMs();
  const double start = nowMs();
  awaitPauseEnd(m);
  const double cpu = cpuMs() - startCpu;
  std::printf("%.4f\n", 100 * cpu / (nowMs() - start));
  return 0;
}

}  // namespace kivo::bench
