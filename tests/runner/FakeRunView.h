#pragma once

#include "runner/RunView.h"

#include <QPoint>
#include <QSet>
#include <QSize>
#include <QStringList>

#include <array>
#include <optional>

namespace kivo::test {

// Records what the machine asks of its window.
class FakeRunView final : public RunView {
 public:
  std::optional<BorderStyle> border;
  bool maximised = false;
  std::optional<QSize> sizeTwips;
  std::array<QPoint, 20> buttonAt{};
  std::array<int, 20> buttonMoves{};
  std::array<bool, 20> buttonShown{};
  bool shown = false;
  int timesShown = 0;
  bool pictureShown = false;
  QStringList picturesLoaded;
  QSet<QString> missingPictures;  // paths that fail to load
  QStringList printed;            // on the surface now, top to bottom by row
  QList<int> printedRows;
  int printRow = 0;
  QRgb back = 0;
  int beeps = 0;
  QStringList boxes;   // message-box texts in order
  QStringList halts;
  bool unloaded = false;
  int calls = 0;  // every call of any kind, to see that none follows an unload

  void applyBorder(BorderStyle b) override {
    ++calls;
    border = b;
  }
  void applyMaximised() override {
    ++calls;
    maximised = true;
  }
  void applyNormalSize(int w, int h) override {
    ++calls;
    maximised = false;
    sizeTwips = QSize(w, h);
  }
  void moveButton(int k, int left, int top) override {
    ++calls;
    buttonAt[k - 1] = QPoint(left, top);
    ++buttonMoves[k - 1];
  }
  void setButtonVisible(int k, bool v) override {
    ++calls;
    buttonShown[k - 1] = v;
  }
  void showForRun() override {
    ++calls;
    shown = true;
    ++timesShown;
  }
  void setPictureVisible(bool v) override {
    ++calls;
    pictureShown = v;
  }
  bool loadPicture(const QString& path, QString* error) override {
    ++calls;
    if (missingPictures.contains(path)) {
      *error = QStringLiteral("ファイルを開けません: %1").arg(path);
      return false;
    }
    picturesLoaded << path;
    return true;
  }
  void printText(const QString& t) override {
    ++calls;
    printed << t;
    printedRows << printRow++;
  }
  void clearText() override {
    ++calls;
    printed.clear();
    printedRows.clear();
    printRow = 0;
  }
  void setBackColour(QRgb c) override {
    ++calls;
    back = c;
    printed.clear();
    printedRows.clear();
  }
  void beep() override {
    ++calls;
    ++beeps;
  }
  void showMessage(const QString& t) override {
    ++calls;
    boxes << t;
  }
  void reportHalt(const QString& m) override {
    ++calls;
    halts << m;
  }
  void unload() override {
    ++calls;
    unloaded = true;
  }
};

}  // namespace kivo::test
