// Prints one figure a line, "name value unit", each the median of repeated runs.
#include "bench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace kivo::bench {

double medianMs(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer t;
    t.start();
    work();
    times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void print(const char* name, double value, const char* unit) {
  std::printf("%s %.3f %s\n", name, value, unit);
  std::fflush(stdout);
}

double residentMb(long long pid) {
  QFile status(pid ? QStringLiteral("/proc/%1/status").arg(pid) : QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
  return 0;
}

}  // namespace kivo::bench

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  kivo::bench::benchBitmap();
  kivo::bench::benchRunner();
  kivo::bench::benchEditor();
  return 0;
}
