#pragma once

#include <QByteArrayView>
#include <QImage>

namespace kivo {

// Why a picture file was refused; each has its own message (Picture.cpp).
enum class PictureFault {
  None,
  Missing,      // no such file, or not readable
  NotPicture,   // no picture format we read, or the decoder gave up
  Truncated,    // ends before its own structure does
  BadHeader,    // a header field no valid file has
  BadPixels,    // pixel data that leave the picture or name no colour
  Unsupported,  // a real bitmap variant we do not read
  TooLarge,
};

// Decodes a Windows or OS/2 bitmap ("BM" file) completely by itself: every
// length, offset, mask and RLE run is checked before a pixel is trusted, and
// every pixel of the result is written. Gives RGB32, or ARGB32 when the file
// has an alpha mask (colours as stored, not premultiplied). On a fault the
// image is left untouched.
PictureFault decodeBmp(QByteArrayView data, QImage* image);

// Widens an n-bit channel value to 8 bits by repeating its bits (5-bit 31
// reads as 255, as a display reads it back); wider values keep their top 8.
int widenChannel(quint32 value, int bits);

}  // namespace kivo
