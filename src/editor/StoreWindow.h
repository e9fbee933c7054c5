#pragma once

#include <QWidget>

namespace kivo {

// Form2: the store's window, a 6 x 6 borderless square at the middle of the
// screen that shows nothing. The store itself is a plain object.
class StoreWindow : public QWidget {
  Q_OBJECT
 public:
  StoreWindow();
};

}  // namespace kivo
