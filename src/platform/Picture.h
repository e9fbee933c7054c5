#pragma once

#include <QImage>
#include <QString>

namespace kivo {

// Turns a picture path written for the original desktop ("c:\kivo\1.bmp")
// into one of this machine: "c:\" is the user's home folder and "\" separates
// folders. Every other path is returned as it stands.
QString localPath(const QString& path);

// The one reader of picture files, for program files and the run window's
// pictures alike. Bitmaps are decoded by our own strict decoder; PNG, GIF
// and JPEG by Qt, only when the file is whole and every pixel comes out the
// same whatever the memory held before. Anything else is refused. On failure
// returns false, leaves `image` as it was and gives a message naming the
// file and what is wrong.
bool readImageFile(const QString& path, QImage* image, QString* error);

}  // namespace kivo
