#pragma once

#include <QWidget>

namespace kivo {

// Form6..Form10, one for each character setting 1..5; empty until its
// controls arrive.
class CharSettingDialog : public QWidget {
  Q_OBJECT
 public:
  explicit CharSettingDialog(int setting);
  int setting() const { return setting_; }

 private:
  int setting_;
};

}  // namespace kivo
