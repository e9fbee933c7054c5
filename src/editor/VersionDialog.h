#pragma once

#include <QWidget>

namespace kivo {

// Form11, the version dialog; empty until its own contents arrive.
class VersionDialog : public QWidget {
  Q_OBJECT
 public:
  VersionDialog();
};

}  // namespace kivo
