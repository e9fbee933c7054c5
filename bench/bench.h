#pragma once

#include "platform/Host.h"

#include <QString>

#include <functional>
#include <vector>

namespace kivo {
class RunMachine;
}

namespace kivo::bench {

// One figure's repeated measurements.
using Samples = std::vector<double>;

// `runs` timings of `work`, in milliseconds.
Samples timesMs(int runs, const std::function<void()>& work);
// Prints "name median unit" and, on the next line, "name_spread mad unit":
// the median absolute deviation, so that half the runs lie within
// median ± spread. Prints nothing for no samples.
void report(const char* name, Samples samples, const char* unit);
double median(Samples samples);

// Resident memory of a process (this one by default), in MB.
double residentMb(long long pid = 0);
// CPU time this process has used, all threads, in milliseconds.
double cpuMs();
// Milliseconds on a monotonic clock.
double nowMs();

// Ends the benchmark with a message unless `ok` (it throws to main): a figure
// that cannot be measured is not to be printed as if it were.
void require(bool ok, const char* what);

// Serves the event loop until `done` holds; false if `limitMs` went first.
// `done` is asked after every pass of the loop, so a step is seen within
// microseconds of its end.
bool waitUntil(const std::function<bool()>& done, int limitMs = 60000);

// Every file dialog picks `file`. No benchmark shows a box: one that comes
// is a fault, shown on stderr, and a run's box is never closed.
class BenchHost final : public Host {
 public:
  explicit BenchHost(QString file = {}) : file_(std::move(file)) {}
  void message(const QString& text) override;
  void messageFor(QWidget*, const QString& text, std::function<void()>) override;
  QString openFileName(const QString&) override { return file_; }
  QString saveFileName(const QString&) override { return file_; }
  void beep() override {}

 private:
  QString file_;
};

// The run's line counter as a number.
qint64 counterOf(const RunMachine& machine);
// Serve the event loop until the run has ended the execute step that starts a
// pause of `lengthMs`; then until the fetch step that ends it has ended.
void awaitPauseStart(const RunMachine& machine, int lengthMs);
void awaitPauseEnd(const RunMachine& machine);

void benchBitmap();
void benchRunner();
void benchFileActions();
// Start-up and memory of the real programs, and the editor through a long
// run and a long pause, each in a process of its own on a virtual display;
// the start-ups also under a window manager.
void benchProcesses();

// The measurements made inside such a process (kivo_bench --child NAME);
// each prints one number on stdout.
int childRunResident();
int childPauseCpu();

}  // namespace kivo::bench
