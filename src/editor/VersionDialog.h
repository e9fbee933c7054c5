#pragma once

#include "editor/FixedWindow.h"

namespace kivo {

class Host;

// Form11, the version dialog: the logo, the product line and a notice. It
// beeps each time it is loaded; OK unloads it.
class VersionDialog : public FixedWindow {
  Q_OBJECT
 public:
  explicit VersionDialog(Host& host);
};

}  // namespace kivo
