#pragma once

#include "store/Store.h"

#include <QWidget>

#include <array>

class QPushButton;

namespace kivo {

// Form6..Form10: composes character setting 1..5 from ten cells. Press a
// cell, then a character; OK writes the ten codes into the setting's store
// fields. It always opens blank and never reads the store.
class CharSettingDialog : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kCellCount = Store::kCharsPerSetting;

  CharSettingDialog(Store& store, int setting);

  // The cell that the next character fills, 1..10, and each cell's code.
  int selectedCell() const { return selectedCell_; }
  int cellCode(int cell) const { return cellCodes_.at(cell - 1); }

  void selectCell(int cell);
  // Puts character `index` of the character table into the selected cell;
  // the selection stays where it is.
  void putChar(int index);

 private:
  // OK: the ten codes into the store, then the dialog goes.
  void storeAndClose();
  void createCells();
  void createCharButtons();
  void createFrames();

  Store& store_;
  const int setting_;
  int selectedCell_ = 1;
  std::array<int, kCellCount> cellCodes_{};
  std::array<QPushButton*, kCellCount> cells_{};
};

}  // namespace kivo
