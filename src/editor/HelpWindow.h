#pragma once

#include "editor/FixedWindow.h"

namespace kivo {

// Form12, the short help: every command code with a short name, in two
// columns of fixed text.
class HelpWindow : public FixedWindow {
  Q_OBJECT
 public:
  HelpWindow();
};

}  // namespace kivo
