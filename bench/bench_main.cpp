// Prints one figure a line, "name value unit", each the median of repeated runs.
#include "store/ProgramBitmap.h"
#include "store/Store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double medianMs(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer t;
    t.start();
    work();
    times.push_back(t.nsecsElapsed() / 1e6);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void print(const char* name, double value, const char* unit) {
  std::printf("%s %.3f %s\n", name, value, unit);
  std::fflush(stdout);
}

void benchBitmap(const QString& dir) {
  kivo::Store store;
  const QString file = dir + "/bench.bmp";
  QString error;
  print("bitmap_write_ms", medianMs(51, [&] {
          kivo::writeProgramBitmap(store, store.codePicture(), &error);
          kivo::saveProgramImage(store.codePicture(), file, &error);
        }), "ms");
  print("bitmap_read_ms", medianMs(51, [&] {
          QImage image;
          kivo::loadProgramImage(file, &image, &error);
          kivo::readProgramBitmap(image, store, &error);
        }), "ms");
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QTemporaryDir dir;
  benchBitmap(dir.path());
  return 0;
}
