#include "platform/Picture.h"

#include "platform/BmpDecoder.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>

#include <csetjmp>
#include <vector>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

namespace kivo {
namespace {

// Larger than any bitmap the decoder accepts; spares reading a huge file.
constexpr qint64 kMaxFileSize = qint64{256} << 20;

QString faultMessage(PictureFault fault, const QString& path) {
  switch (fault) {
    case PictureFault::None: break;
    case PictureFault::Missing: return QStringLiteral("ファイルを開けません: %1").arg(path);
    case PictureFault::NotPicture: break;
    case PictureFault::Truncated:
      return QStringLiteral("ファイルが途中で切れています: %1").arg(path);
    case PictureFault::BadHeader:
      return QStringLiteral("画像ファイルの見出しが正しくありません: %1").arg(path);
    case PictureFault::BadPixels:
      return QStringLiteral("画像ファイルの画素データが壊れています: %1").arg(path);
    case PictureFault::Unsupported:
      return QStringLiteral("この種類の画像ファイルは読めません: %1").arg(path);
    case PictureFault::TooLarge: return QStringLiteral("画像が大きすぎます: %1").arg(path);
    case PictureFault::TooManyScans:
      return QStringLiteral("画像ファイルのスキャンが多すぎます: %1").arg(path);
  }
  return QStringLiteral("画像ファイルとして読めません: %1").arg(path);
}

// Qt reads a cut-short PNG, GIF or JPEG without a word, so each format's own
// end mark must close the file.
PictureFault pngWhole(const QByteArray& d) {
  qint64 at = 8;  // after the signature
  for (;;) {
    if (d.size() - at < 12) return PictureFault::Truncated;
    const qint64 length = qFromBigEndian<quint32>(d.constData() + at);
    if (length > 0x7FFFFFFF) return PictureFault::NotPicture;
    if (d.size() - at - 12 < length) return PictureFault::Truncated;
    const bool end = d.mid(at + 4, 4) == "IEND";
    at += 12 + length;
    if (end) return PictureFault::None;  // what follows is no part of the picture
  }
}

// How many pixels an image's LZW codes give, counted up to `wanted`, without
// keeping them; -1 for a code no table holds yet.
qint64 lzwPixels(const QByteArray& codes, int minCodeSize, qint64 wanted) {
  if (minCodeSize < 1 || minCodeSize > 11) return -1;
  const int clear = 1 << minCodeSize;
  constexpr int kTableSize = 4096;
  std::vector<qint64> length(kTableSize, 1);  // pixels of each code's string
  int next = clear + 2, codeSize = minCodeSize + 1, previous = -1;
  qint64 pixels = 0;
  quint32 bits = 0;
  int held = 0;
  for (const char byte : codes) {
    if (pixels >= wanted) break;  // what follows names no pixel of the image
    bits |= quint32(static_cast<quint8>(byte)) << held;
    for (held += 8; held >= codeSize && pixels < wanted;) {
      const int code = int(bits & ((1u << codeSize) - 1));
      bits >>= codeSize;
      held -= codeSize;
      if (code == clear) {
        next = clear + 2, codeSize = minCodeSize + 1, previous = -1;
        continue;
      }
      if (code == clear + 1) return pixels;
      const bool known = code < clear || (code > clear + 1 && code < next);
      if (!known && (code != next || previous < 0)) return -1;
      const qint64 taken = known ? length[code] : length[previous] + 1;
      pixels += taken;
      if (previous >= 0 && next < kTableSize) {
        length[next++] = length[previous] + 1;
        if (next == 1 << codeSize && codeSize < 12) ++codeSize;
      }
      previous = code;
    }
  }
  return pixels;
}

PictureFault gifWhole(const QByteArray& d) {
  auto byte = [&](qint64 at) { return static_cast<quint8>(d[at]); };
  auto colourTable = [](quint8 flags) { return flags & 0x80 ? 3 * (2 << (flags & 7)) : 0; };
  // Skips a chain of sub-blocks, keeping their data in `kept` if asked;
  // false when the file ends inside it.
  auto skipBlocks = [&](qint64& at, QByteArray* kept = nullptr) {
    for (;;) {
      if (at >= d.size()) return false;
      const int n = byte(at++);
      if (n == 0) return true;
      if (kept) kept->append(d.mid(at, n));
      at += n;
    }
  };
  if (d.size() < 13) return PictureFault::Truncated;
  auto u16 = [&](qint64 at) { return qint64{qFromLittleEndian<quint16>(d.constData() + at)}; };
  const qint64 screenWidth = u16(6), screenHeight = u16(8);
  // Qt walks every pixel of a frame, inside the screen or not, and takes
  // the frame's size for the screen's where it thinks the screen wrong.
  if (pictureTooLarge(screenWidth, screenHeight)) return PictureFault::TooLarge;
  qint64 at = 13 + colourTable(byte(10));
  int frames = 0;
  for (;;) {
    if (at >= d.size()) return PictureFault::Truncated;
    const quint8 introducer = byte(at++);
    if (introducer == 0x3B) {  // trailer
      if (frames == 0 || at != d.size()) return PictureFault::NotPicture;
      return PictureFault::None;
    }
    if (introducer == 0x21) {  // extension: label, then sub-blocks
      ++at;
    } else if (introducer == 0x2C) {  // image: descriptor, colours, LZW size
      if (d.size() - at < 9) return PictureFault::Truncated;
      const qint64 width = u16(at + 4), height = u16(at + 6);
      if (pictureTooLarge(width, height)) return PictureFault::TooLarge;
      // Qt 6.4 leaves the rest of the screen unwritten, or fills it from a
      // local colour table before it has read that table.
      const bool covers = u16(at) == 0 && u16(at + 2) == 0 && width >= screenWidth && height >= screenHeight;
      if (frames == 0 && colourTable(byte(at + 8)) && !covers) return PictureFault::Unsupported;
      const qint64 pixels = width * height;
      at += 9 + colourTable(byte(at + 8));
      if (at >= d.size()) return PictureFault::Truncated;
      const int minCodeSize = byte(at++);
      // Qt leaves what a short stream does not reach as its own clear
      // colour: the image must give every one of its pixels.
      QByteArray codes;
      if (!skipBlocks(at, &codes)) return PictureFault::Truncated;
      if (lzwPixels(codes, minCodeSize, pixels) < pixels) return PictureFault::BadPixels;
      ++frames;
      continue;
    } else {
      return PictureFault::NotPicture;
    }
    if (!skipBlocks(at)) return PictureFault::Truncated;
  }
}

// libjpeg reports by longjmp, so the decoding below holds no C++ object that
// a jump would skip past.
struct JpegErrors {
  jpeg_error_mgr manager;
  jpeg_progress_mgr progress;
  std::jmp_buf jump;
  PictureFault fault = PictureFault::NotPicture;
  unsigned scanned = 0;  // a bit for each component that has had a scan
  int lastScan = 0;
  qint64 work = 0;  // coefficients of all scans so far, one for each block
};

JpegErrors* jpegErrors(j_common_ptr info) { return reinterpret_cast<JpegErrors*>(info->err); }

[[noreturn]] void jpegRefuses(j_common_ptr info, PictureFault fault) {
  jpegErrors(info)->fault = fault;
  std::longjmp(jpegErrors(info)->jump, 1);
}

[[noreturn]] void jpegFails(j_common_ptr info) {
  switch (info->err->msg_code) {
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE: jpegRefuses(info, PictureFault::TooLarge);
    case JERR_BAD_PRECISION:  // 12 bits a sample
    case JERR_SOF_UNSUPPORTED: jpegRefuses(info, PictureFault::Unsupported);
    default: jpegRefuses(info, PictureFault::NotPicture);
  }
}

// libjpeg only warns of missing or corrupt data and fills in grey: every
// warning about the pixels is a refusal. Those about metadata are not.
void jpegWarns(j_common_ptr info, int level) {
  if (level >= 0) return;  // a trace message
  switch (info->err->msg_code) {
    case JWRN_JFIF_MAJOR:
    case JWRN_BOGUS_ICC: return;
    case JWRN_JPEG_EOF: jpegRefuses(info, PictureFault::Truncated);
    default: jpegRefuses(info, PictureFault::BadPixels);
  }
}

// Each scan is a pass over its components' blocks, and libjpeg bounds
// neither the number of scans nor their work: at most 100 scans (cjpeg
// writes no more), and at most 16 coefficients a pixel of the cap in all,
// visited band by band (libjpeg's own progressive CMYK takes 12, a
// sequential file one a component).
constexpr int kMaxJpegScans = 100;
constexpr qint64 kMaxJpegWork = kMaxPicturePixels * 16;

void noteScan(jpeg_decompress_struct* info) {
  JpegErrors* errors = jpegErrors(reinterpret_cast<j_common_ptr>(info));
  if (info->input_scan_number == errors->lastScan) return;
  errors->lastScan = info->input_scan_number;
  for (int i = 0; i < info->comps_in_scan; ++i) {
    const jpeg_component_info* c = info->cur_comp_info[i];
    errors->scanned |= 1u << c->component_index;
    errors->work += qint64{c->width_in_blocks} * c->height_in_blocks * (info->Se - info->Ss + 1);
  }
  if (info->input_scan_number > kMaxJpegScans || errors->work > kMaxJpegWork)
    jpegRefuses(reinterpret_cast<j_common_ptr>(info), PictureFault::TooManyScans);
}

// Called at least once in every scan, before its data are decoded.
void jpegProgress(j_common_ptr info) { noteScan(reinterpret_cast<jpeg_decompress_struct*>(info)); }

// libjpeg does not warn when the end mark comes before the remaining scans:
// every component must have had its scan and, when progressive, every
// coefficient its last refinement.
bool jpegComplete(const jpeg_decompress_struct* info, unsigned scanned) {
  if (scanned != (1u << info->num_components) - 1) return false;
  if (!info->progressive_mode) return true;
  for (int c = 0; c < info->num_components; ++c)
    for (int k = 0; k < DCTSIZE2; ++k)
      if (info->coef_bits[c][k] != 0) return false;
  return true;
}

// QRgb in memory order, so that libjpeg writes RGB32 scan lines itself.
constexpr J_COLOR_SPACE kQRgbSpace = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;

PictureFault decodeJpeg(const QByteArray& data, jpeg_decompress_struct* info,
                        JpegErrors* errors, QImage* image) {
  if (setjmp(errors->jump)) return errors->fault;
  jpeg_create_decompress(info);
  info->progress = &errors->progress;
  errors->progress.progress_monitor = jpegProgress;
  jpeg_mem_src(info, reinterpret_cast<const unsigned char*>(data.constData()),
               static_cast<unsigned long>(data.size()));
  jpeg_read_header(info, TRUE);
  if (pictureTooLarge(info->image_width, info->image_height)) return PictureFault::TooLarge;
  noteScan(info);
  const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
  info->out_color_space = cmyk ? JCS_CMYK : kQRgbSpace;
  // A second wall: what a picture at the cap needs, 16 bits for each
  // coefficient of each component (a progressive file keeps them all), and
  // room for libjpeg's rows.
  info->mem->max_memory_to_use = kMaxPicturePixels * 2 * info->num_components + (qint64{32} << 20);
  jpeg_start_decompress(info);  // reads every scan of a multi-scan file
  if (!jpegComplete(info, errors->scanned)) return PictureFault::Truncated;
  *image = QImage(static_cast<int>(info->output_width), static_cast<int>(info->output_height),
                  QImage::Format_RGB32);
  if (image->isNull()) return PictureFault::TooLarge;
  while (info->output_scanline < info->output_height) {
    auto* line = image->scanLine(static_cast<int>(info->output_scanline));
    jpeg_read_scanlines(info, &line, 1);
    if (!cmyk) continue;
    // Inverted CMYK, as Adobe writes it and Qt reads it.
    auto* out = reinterpret_cast<QRgb*>(line);
    for (JDIMENSION x = 0; x < info->output_width; ++x, line += 4)
      out[x] = qRgb(line[3] * line[0] / 255, line[3] * line[1] / 255, line[3] * line[2] / 255);
  }
  jpeg_finish_decompress(info);
  return PictureFault::None;
}

PictureFault readJpeg(const QByteArray& data, QImage* image) {
  jpeg_decompress_struct info{};
  JpegErrors errors{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = jpegFails;
  errors.manager.emit_message = jpegWarns;
  QImage decoded;
  const PictureFault fault = decodeJpeg(data, &info, &errors, &decoded);
  jpeg_destroy_decompress(&info);
  if (fault == PictureFault::None) *image = decoded;
  return fault;
}

// Every byte that a picture's pixels take, row padding left out, with its
// size, format and colours. Bits past the end of a 1-bit row are kept as they
// were by libpng, so such rows are widened first.
QByteArray pixelDigest(const QImage& picture) {
  const QImage image = picture.depth() < 8 ? picture.convertToFormat(QImage::Format_Indexed8) : picture;
  QCryptographicHash hash(QCryptographicHash::Sha1);
  hash.addData(QByteArray::number(image.width()) + 'x' + QByteArray::number(image.height()) + '/' +
               QByteArray::number(image.format()));
  const QList<QRgb> colours = image.colorTable();
  hash.addData(QByteArrayView(reinterpret_cast<const char*>(colours.constData()), colours.size() * 4));
  const qsizetype used = qsizetype{image.width()} * image.depth() / 8;
  for (int y = 0; y < image.height(); ++y)
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(image.constScanLine(y)), used));
  return hash.result();
}

// Lets Qt decode twice, into pictures filled with two different values
// beforehand: a pixel Qt did not decode keeps the fill and shows as a
// difference, so such a file is refused rather than read as chance values.
// Only a digest of the first reading is kept, so that a picture at the cap
// is held once, not twice.
PictureFault readWithQt(const QByteArray& data, const char* format, QImage* image) {
  // A second wall: Qt's readers refuse to allocate beyond it themselves.
  QImageReader::setAllocationLimit(static_cast<int>(kMaxPictureBytes >> 20));
  QByteArray first;
  for (const uint fill : {0x00000000u, 0xFFFFFFFFu}) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    // The header's size, before any pixel memory is taken.
    const QSize size = reader.size();
    if (size.isEmpty()) return PictureFault::NotPicture;
    const int depth = QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel();
    if (pictureTooLarge(size.width(), size.height(), depth)) return PictureFault::TooLarge;
    QImage decoded(size, reader.imageFormat());
    if (!decoded.isNull()) decoded.fill(fill);
    if (!reader.read(&decoded) || decoded.isNull()) return PictureFault::NotPicture;
    const QByteArray digest = pixelDigest(decoded);
    if (first.isEmpty()) {
      first = digest;
    } else if (digest != first) {
      // Qt's readers fail whole on damaged data; where they leave pixels
      // unwritten (16-bit RGB PNG with tRNS in Qt 6.4) the kind is one
      // they do not read.
      return PictureFault::Unsupported;
    } else {
      *image = decoded;
    }
  }
  return PictureFault::None;
}

PictureFault readPicture(const QByteArray& data, QImage* image) {
  if (data.startsWith("BM")) return decodeBmp(data, image);
  struct Format {
    const char* signature;
    const char* name;
    PictureFault (*whole)(const QByteArray&);
  };
  static const Format kFormats[] = {
      {"\x89PNG\r\n\x1A\n", "png", pngWhole},
      {"GIF87a", "gif", gifWhole},
      {"GIF89a", "gif", gifWhole},
      {"\xFF\xD8\xFF", nullptr, nullptr},
  };
  for (const Format& f : kFormats) {
    if (!data.startsWith(f.signature)) continue;
    if (const auto fault = f.whole ? f.whole(data) : PictureFault::None; fault != PictureFault::None)
      return fault;
    return f.name ? readWithQt(data, f.name, image) : readJpeg(data, image);
  }
  return PictureFault::NotPicture;
}

}  // namespace

bool pictureTooLarge(qint64 width, qint64 height, int bitsPerPixel) {
  return width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels ||
         width * height * std::max(bitsPerPixel, 32) / 8 > kMaxPictureBytes;
}

QString localPath(const QString& path) {
  const bool designDrive = path.size() >= 3 && path[0].toLower() == u'c' &&
                           path[1] == u':' && (path[2] == u'\\' || path[2] == u'/');
  // Any other name is one of this machine's already; a backslash is a
  // character like any other in it.
  if (!designDrive) return path;
  QString rest = path.mid(3);
  rest.replace(u'\\', u'/');
  return QDir::homePath() + u'/' + rest;
}

bool readImageFile(const QString& path, QImage* image, QString* error) {
  QFile file(path);
  const QFileInfo info(path);
  PictureFault fault = PictureFault::Missing;
  if (info.isFile() && info.size() > kMaxFileSize) {
    fault = PictureFault::TooLarge;
  } else if (info.isFile() && file.open(QIODevice::ReadOnly)) {
    fault = readPicture(file.readAll(), image);
  }
  if (fault == PictureFault::None) return true;
  *error = faultMessage(fault, path);
  return false;
}

}  // namespace kivo
