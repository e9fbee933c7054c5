#pragma once

#include <QWidget>

namespace kivo {

// Form12, the short help; empty until its own contents arrive.
class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  HelpWindow();
};

}  // namespace kivo
