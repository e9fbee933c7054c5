#pragma once

#include <QWidget>

namespace kivo {

// Form4, where the 20 run buttons are placed; empty until its controls arrive.
class PlacementDialog : public QWidget {
  Q_OBJECT
 public:
  PlacementDialog();
};

}  // namespace kivo
