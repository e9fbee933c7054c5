#include "store/ProgramBitmap.h"

#include "platform/Number.h"
#include "platform/Picture.h"
#include "store/Store.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>

#include <array>
#include <cerrno>
#include <climits>

namespace kivo {
namespace {

bool bigEnough(const QImage& image) {
  return image.width() >= kProgramMinWidth && image.height() >= kProgramMinHeight;
}

// Why no file could be made beside the old one: Qt would say it in English.
QString openFailure(int cause) {
  switch (cause) {
    case EACCES:
    case EPERM:
    case EROFS:
      return QStringLiteral("書き込みが許されていません");
    case ENOENT:
      return QStringLiteral("フォルダーがありません");
    case ENAMETOOLONG:
      return QStringLiteral("ファイル名が長すぎます");
    default:  // no room, or no inode left, among others
      return QStringLiteral("ディスクに書き込めません");
  }
}

}  // namespace

int pixelValue(QRgb colour) {
  return qRed(colour) + 256 * qGreen(colour) + 65536 * qBlue(colour);
}

QRgb valueColour(int value) {
  return qRgb(value % 256, (value / 256) % 256, value / 65536);
}

bool writeProgramBitmap(const Store& store, QImage& canvas, QString* error) {
  if (!bigEnough(canvas)) {
    *error = QStringLiteral("プログラムを描く画像が小さすぎます。");
    return false;
  }
  std::array<int, Store::kFieldCount> values{};
  for (int k = 1; k <= Store::kFieldCount; ++k) {
    const QString text = store.field(k);
    if (!readNumber(text)) {
      *error = QStringLiteral("%1が数字ではありません。").arg(fieldLabel(k));
      return false;
    }
    const auto v = readInt32(text);
    if (!v || *v < 0 || *v > kLargestFieldValue) {
      *error = QStringLiteral("%1の数字は保存できません。0から16777215までの整数にしてください。")
                   .arg(fieldLabel(k));
      return false;
    }
    values[k - 1] = *v;
  }
  for (int k = 1; k <= Store::kFieldCount; ++k)
    canvas.setPixel(k, 1, valueColour(values[k - 1]));
  return true;
}

bool readProgramBitmap(const QImage& image, Store& store, QString* error) {
  if (!bigEnough(image)) {
    *error = QStringLiteral("プログラムのファイルではありません（画像が94 x 2より小さい）。");
    return false;
  }
  for (int k = 1; k <= Store::kFieldCount; ++k)
    store.setField(k, QString::number(pixelValue(image.pixel(k, 1))));
  return true;
}

bool loadProgramImage(const QString& path, QImage* image, QString* error) {
  QImage loaded;
  if (!readImageFile(path, &loaded, error)) return false;
  if (!bigEnough(loaded)) {
    *error = QStringLiteral("プログラムのファイルではありません（画像が94 x 2より小さい）: %1")
                 .arg(path);
    return false;
  }
  // Colours are read as stored, whatever alpha a 32-bit file carries.
  if (loaded.hasAlphaChannel()) loaded = loaded.convertToFormat(QImage::Format_ARGB32);
  *image = loaded;
  return true;
}

bool openProgramFile(const QString& path, Store& store, QString* error) {
  QImage picture;
  if (!loadProgramImage(path, &picture, error) || !readProgramBitmap(picture, store, error))
    return false;
  assignPicture(store.codePicture(), picture);
  return true;
}

bool saveProgramImage(const QImage& canvas, const QString& path, QString* error) {
  auto refuse = [&](const QString& why) {
    *error = QStringLiteral("ファイルを保存できません: %1（%2）").arg(path, why);
    return false;
  };
  const QFileInfo info(path);
  // QSaveFile would put a plain file in place of a FIFO or a device.
  if (info.exists() && !info.isFile()) return refuse(QStringLiteral("普通のファイルではありません"));
  // The temporary file beside it takes the name and ".XXXXXX".
  if (QFile::encodeName(info.fileName()).size() + 7 > NAME_MAX)
    return refuse(QStringLiteral("ファイル名が長すぎます"));
  if (!info.absoluteDir().exists()) return refuse(QStringLiteral("フォルダーがありません"));
  QSaveFile file(path);
  errno = 0;
  if (!file.open(QIODevice::WriteOnly)) return refuse(openFailure(errno));
  // A small picture stays in QSaveFile's buffer until commit(), which does
  // not notice a failed write and would rename a cut file over the old one.
  const bool written = canvas.convertToFormat(QImage::Format_RGB32).save(&file, "BMP") &&
                       file.flush() && file.commit();
  return written || refuse(QStringLiteral("ディスクに書き込めません"));
}

void assignPicture(QImage& canvas, const QImage& picture) {
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(0, 0, picture);
}

}  // namespace kivo
