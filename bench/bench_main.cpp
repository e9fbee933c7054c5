// Prints one figure a line, "name value unit", each the median of repeated
// runs, followed by a line "name_spread value unit" with its spread.
#include "bench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <stdexcept>

namespace kivo::bench {

Samples timesMs(int runs, const std::function<void()>& work) {
  Samples times;
  for (int i = 0; i < runs; ++i) {
    const double start = nowMs();
    work();
    times.push_back(nowMs() - start);
  }
  return times;
}

double median(Samples samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const size_t n = samples.size();
  return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

void report(const char* name, Samples samples, const char* unit) {
  if (samples.empty()) return;
  const double mid = median(samples);
  for (double& s : samples) s = std::abs(s - mid);
  std::printf("%s %.3f %s\n%s_spread %.3f %s\n", name, mid, unit, name, median(samples), unit);
  std::fflush(stdout);
}

double residentMb(long long pid) {
  QFile status(pid ? QStringLiteral("/proc/%1/status").arg(pid) : QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
  return 0;
}

double cpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double nowMs() {
  static QElapsedTimer clock = [] {
    QElapsedTimer c;
    c.start();
    return c;
  }();
  return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

bool waitUntil(const std::function<bool()>& done, int limitMs) {
  bool late = false;
  // Only wakes the loop at the limit; it costs nothing before.
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, [&] { late = true; });
  limit.start(limitMs);
  while (!done()) {
    if (late) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

void BenchHost::message(const QString& text) {
  std::fprintf(stderr, "kivo_bench: box: %s\n", qPrintable(text));
}

void BenchHost::messageFor(QWidget*, const QString& text, std::function<void()>) { message(text); }

}  // namespace kivo::bench

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  using namespace kivo::bench;
  // Thrown only from the benchmarks' own code, never through Qt's, so the
  // processes and folders they made are cleaned up on the way out.
  try {
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0) {
      if (std::strcmp(argv[2], "run-resident") == 0) return childRunResident();
      if (std::strcmp(argv[2], "pause-cpu") == 0) return childPauseCpu();
      require(false, "no such measuring process");
    }
    benchBitmap();
    benchFileActions();
    benchRunner();
    benchProcesses();
  } catch (const std::runtime_error& e) {
    std::fprintf(stderr, "kivo_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
