#pragma once

#include "platform/Picture.h"

#include <QByteArrayView>
#include <QImage>

namespace kivo {

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
