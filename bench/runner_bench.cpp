#include "bench.h"

#include "platform/Host.h"
#include "platform/RealClock.h"
#include "runner/RunLauncher.h"
#include "runner/RunWindow.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace kivo::bench {
namespace {

// Answers nothing; the benchmarked programs show no box.
class SilentHost final : public Host {
 public:
  void message(const QString&) override {}
  void messageFor(QWidget*, const QString&, std::function<void()>) override {}
  QString openFileName(const QString&) override { return {}; }
  QString saveFileName(const QString&) override { return {}; }
  void beep() override {}
};

void waitUntil(const std::function<bool()>& done) {
  while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The floor: 61 bare one-millisecond Qt timers, each started by the last.
void timerChain61() {
  int left = 61;
  QEventLoop loop;
  std::function<void()> tick = [&] {
    if (--left == 0)
      loop.quit();
    else
      QTimer::singleShot(1, Qt::PreciseTimer, tick);
  };
  QTimer::singleShot(1, Qt::PreciseTimer, tick);
  loop.exec();
}

}  // namespace

void benchRunner() {
  print("timer_chain_61_ms", medianMs(21, timerChain61), "ms");

  Store store;
  SilentHost host;
  RealClock clock;
  RunLauncher launcher(store, host, clock, RunVariant::Editor);
  print("run_setup_ms", medianMs(21, [&] {
          launcher.start();
          waitUntil([&] { return launcher.window()->isVisible(); });
          launcher.stop();
        }), "ms");

  // Every line goes straight on, and past line 20 the last one repeats.
  for (int line = 1; line <= Store::kLineCount; ++line) store.setProgramLine(line, QStringLiteral("46"));
  constexpr int kLines = 500;
  double rss = 0;
  std::vector<double> perLine;
  for (int run = 0; run < 5; ++run) {
    launcher.start();
    waitUntil([&] { return launcher.window()->isVisible(); });
    RunMachine& m = launcher.window()->machine();
    perLine.push_back(medianMs(1, [&] {
                        waitUntil([&] { return m.programCounter().toInt() > kLines; });
                      }) / kLines);
    rss = residentMb();
    launcher.stop();
  }
  std::sort(perLine.begin(), perLine.end());
  print("run_line_ms", perLine[perLine.size() / 2], "ms");
  print("run_rss_mb", rss, "MB");
}

}  // namespace kivo::bench
