#pragma once

#include "store/Codes.h"

#include <QRgb>
#include <QString>

namespace kivo {

// What the run machine asks of the window it runs in. Sizes and places are
// in twips.
class RunView {
 public:
  virtual ~RunView() = default;

  virtual void applyBorder(BorderStyle border) = 0;
  virtual void applyMaximised() = 0;
  virtual void applyNormalSize(int widthTwips, int heightTwips) = 0;
  virtual void moveButton(int button, int leftTwips, int topTwips) = 0;
  virtual void setButtonVisible(int button, bool visible) = 0;
  // The set-up is done: the window shows itself and the run begins.
  virtual void showForRun() = 0;

  virtual void setPictureVisible(bool visible) = 0;
  // Loads a picture from a path as the program holds it ("c:\kivo\1.bmp");
  // false and a message naming the file when it cannot be loaded.
  virtual bool loadPicture(const QString& path, QString* error) = 0;
  virtual void printText(const QString& text) = 0;
  virtual void clearText() = 0;
  virtual void setBackColour(QRgb colour) = 0;
  virtual void beep() = 0;

  // A box modal to the run window; returns at once. The machine waits until
  // it is told the box was closed.
  virtual void showMessage(const QString& text) = 0;
  // A run that cannot go on (a line that is no number, a missing picture).
  virtual void reportHalt(const QString& message) = 0;
  // 終了: the window is to be unloaded; nothing of the run follows.
  virtual void unload() = 0;
};

}  // namespace kivo
