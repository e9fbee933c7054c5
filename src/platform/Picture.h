#pragma once

#include <QImage>
#include <QString>

namespace kivo {

// Why a picture file was refused, by any of the readers; each has its own
// message (Picture.cpp).
enum class PictureFault {
  None,
  Missing,      // no such file, or not readable
  NotPicture,   // no picture format we read, or the decoder gave up
  Truncated,    // ends before its own structure does
  BadHeader,    // a header field no valid file has
  BadPixels,    // pixel data that leave the picture or name no colour
  Unsupported,  // a real variant of its format that we do not read
  TooLarge,
  TooManyScans,  // a JPEG whose scans would keep the program busy for long
};

// The largest picture any reader takes, whatever its format: 32768 pixels a
// side, 2^25 pixels, and 128 MiB of pixel memory (2^25 pixels of 32 bits).
inline constexpr qint64 kMaxPictureSide = 32768;
inline constexpr qint64 kMaxPicturePixels = qint64{1} << 25;
inline constexpr qint64 kMaxPictureBytes = kMaxPicturePixels * 4;
bool pictureTooLarge(qint64 width, qint64 height, int bitsPerPixel = 32);

// Turns a picture path written for the original desktop ("c:\kivo\1.bmp")
// into one of this machine: "c:\" is the user's home folder and "\" separates
// folders. Every other path is returned as it stands.
QString localPath(const QString& path);

// The one reader of picture files, for program files and the run window's
// pictures alike. Bitmaps and JPEGs are decoded by our own strict decoders,
// PNG and GIF by Qt, only when the file is whole and every pixel comes out
// the same whatever the memory held before; none larger than the cap above.
// Anything else is refused. On failure
// returns false, leaves `image` as it was and gives a message naming the
// file and what is wrong.
bool readImageFile(const QString& path, QImage* image, QString* error);

}  // namespace kivo
