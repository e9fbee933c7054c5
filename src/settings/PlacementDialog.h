#pragma once

#include "store/Store.h"

#include <QWidget>

#include <array>

class QComboBox;

namespace kivo {

// Form4: on which cell of the run window's grid each of the 20 run buttons
// stands. It shows the store's places as it loads and writes back, on OK,
// whatever its combo boxes hold; the close box keeps the store as it was.
class PlacementDialog : public QWidget {
  Q_OBJECT
 public:
  explicit PlacementDialog(Store& store);

 private:
  // OK: the 20 places into the store, then the dialog goes.
  void storeAndClose();
  void createRows();
  void createExplanation();

  Store& store_;
  std::array<QComboBox*, Store::kButtonCount> combos_{};
};

}  // namespace kivo
