#include "bench.h"

#include "store/ProgramBitmap.h"
#include "store/Store.h"

#include <QTemporaryDir>

namespace kivo::bench {

void benchBitmap() {
  QTemporaryDir dir;
  Store store;
  const QString file = dir.filePath("bench.bmp");
  QString error;
  report("bitmap_write_ms", timesMs(51, [&] {
           writeProgramBitmap(store, store.codePicture(), &error);
           saveProgramImage(store.codePicture(), file, &error);
         }), "ms");
  report("bitmap_read_ms", timesMs(51, [&] {
           QImage image;
           loadProgramImage(file, &image, &error);
           readProgramBitmap(image, store, &error);
         }), "ms");
}

}  // namespace kivo::bench
