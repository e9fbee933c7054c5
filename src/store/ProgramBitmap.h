#pragma once

#include <QImage>
#include <QString>

namespace kivo {

class Store;

// A program file is a picture: pixel (K, 1) holds store field K as the colour
// R + 256 G + 65536 B, K = 1..93; every other pixel carries no data.
inline constexpr int kProgramMinWidth = 94;
inline constexpr int kProgramMinHeight = 2;
inline constexpr int kLargestFieldValue = 16777215;

// Draws the 93 fields on the canvas. A field that is no whole number in
// 0..16777215 is refused with a message naming it, before anything is drawn.
bool writeProgramBitmap(const Store& store, QImage& canvas, QString* error);

// Writes the 93 pixel values into the store as plain digits. A picture
// smaller than 94 x 2 is refused and the store left as it was.
bool readProgramBitmap(const QImage& image, Store& store, QString* error);

// Reads a program file from disk, refusing what is no picture, is cut short
// or is too small to hold a program; messages name the file.
bool loadProgramImage(const QString& path, QImage* image, QString* error);

// Opens a program file into the store, the way the editor's open and the
// player's loader both do: the 93 fields, and the picture onto the canvas.
// A refused file leaves store and canvas as they were.
bool openProgramFile(const QString& path, Store& store, QString* error);

// Writes the canvas as a 24-bit bitmap file. The file is replaced only once
// the whole picture is written, so a failure leaves an old file whole.
bool saveProgramImage(const QImage& canvas, const QString& path, QString* error);

// Puts a loaded picture on the canvas as the original's picture box did:
// the canvas keeps its size and shows the picture from its top left corner.
void assignPicture(QImage& canvas, const QImage& picture);

// The value a pixel stands for, and the colour that stands for a value.
int pixelValue(QRgb colour);
QRgb valueColour(int value);

}  // namespace kivo
