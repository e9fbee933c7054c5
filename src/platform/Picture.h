#pragma once

#include <QImage>
#include <QString>

namespace kivo {

// Turns a picture path written for the original desktop ("c:\kivo\1.bmp")
// into one of this machine: "c:\" is the user's home folder and "\" separates
// folders. Every other path is returned as it stands.
QString localPath(const QString& path);

// Reads a picture file from a path of this machine. Bitmaps are checked against their own header before
// their pixels are trusted, and 16-bit bitmaps are expanded exactly (5-bit
// 31 reads as 255). On failure returns false and a message naming the file.
bool readImageFile(const QString& path, QImage* image, QString* error);

}  // namespace kivo
