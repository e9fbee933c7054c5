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

}  // namespace kivo
