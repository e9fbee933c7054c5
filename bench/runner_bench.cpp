#include "bench.h"

#include "platform/RealClock.h"
#include "runner_ui/RunLauncher.h"
#include "runner_ui/RunWindow.h"
#include "store/Codes.h"
#include "store/Store.h"
#include "support/Commands.h"

#include <QEventLoop>
#include <QTimer>

#include <vector>

namespace kivo::bench {

qint64 counterOf(const RunMachine& machine) { return machine.programCounter().toLongLong(); }

// Timer10 fetches, Timer11 executes: a pause is Timer10 armed with its length
// and Timer11 off, and a fetch arms Timer11.
void awaitPauseStart(const RunMachine& machine, int lengthMs) {
  require(waitUntil([&] { return machine.interval(10) == lengthMs && machine.interval(11) == 0; }),
          "the pause did not start");
}

void awaitPauseEnd(const RunMachine& machine) {
  require(waitUntil([&] { return machine.interval(11) > 0; }), "the pause did not end");
}

namespace {

// The floor: 61 bare one-millisecond Qt timers, each started by the last,
// as many ticks as a run's set-up takes.
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


class RunBench {
 public:
  RunBench() : launcher_(store_, host_, clock_, RunVariant::Editor) {}

  void setProgram(const std::vector<int>& lines) {
    int line = 1;
    for (int c : lines) store_.setProgramLine(line++, QString::number(c));
    while (line <= Store::kLineCount) store_.setProgramLine(line++, QStringLiteral("0"));
  }

  // From the run-start call to the window on screen.
  double setUpMs() {
    const double start = nowMs();
    startRun();
    const double shown = nowMs();
    launcher_.stop();
    return shown - start;
  }

  // Lines that go straight on, timed between the ends of two execute steps.
  double lineMs(int lines) {
    RunMachine& m = startRun();
    require(waitUntil([&] { return counterOf(m) >= 2; }), "the run executed no line");
    const double start = nowMs();
    require(waitUntil([&] { return counterOf(m) >= 2 + lines; }), "the run did not go on");
    const double perLine = (nowMs() - start) / lines;
    launcher_.stop();
    return perLine;
  }

  // A pause on line 1: from the end of its execute step to the end of the
  // fetch step that follows it.
  double pauseMs(int lengthMs) {
    RunMachine& m = startRun();
    awaitPauseStart(m, lengthMs);
    const double start = nowMs();
    awaitPauseEnd(m);
    const double length = nowMs() - start;
    launcher_.stop();
    return length;
  }

 private:
  RunMachine& startRun() {
    launcher_.start();
    require(waitUntil([&] { return launcher_.window()->isVisible(); }), "the run window did not show");
    return launcher_.window()->machine();
  }

  Store store_;
  BenchHost host_;
  RealClock clock_;
  RunLauncher launcher_;
};

}  // namespace

void benchRunner() {
  RunBench bench;
  // Turn about, so that both see the same load of a shared machine.
  Samples chain, setUp;
  for (int run = 0; run < 21; ++run) {
    chain.push_back(timesMs(1, timerChain61).front());
    setUp.push_back(bench.setUpMs());
  }
  report("timer_chain_61_ms", chain, "ms");
  report("run_setup_ms", setUp, "ms");

  // No command: every line goes straight on, and past line 20 the last one
  // repeats.
  bench.setProgram(std::vector<int>(Store::kLineCount, kGoOnThreshold + 1));
  Samples perLine;
  for (int run = 0; run < 7; ++run) perLine.push_back(bench.lineMs(300));
  report("run_line_ms", perLine, "ms");

  struct Pause {
    const char* name;
    const char* command;
    int runs;
  };
  for (const Pause& p : {Pause{"pause_100ms_ms", "cmdPause100ms", 21}, Pause{"pause_1s_ms", "cmdPause1s", 7}}) {
    bench.setProgram({test::commandCode(p.command), test::commandCode("cmdStop")});
    Samples lengths;
    for (int run = 0; run < p.runs; ++run) lengths.push_back(bench.pauseMs(test::command(p.command).arg));
    report(p.name, lengths, "ms");
  }
}

}  // namespace kivo::bench
