#pragma once

#include "settings/CodeComboBox.h"

#include <QGroupBox>

class QLabel;
class QPushButton;

namespace kivo {

// Frame2, the language-assist monitor: pick or type a code in Combo1, click
// 表示 (Command10), and the panel's caption names the command. It only reads:
// no line, no store field and not the code box change.
class MonitorPanel : public QGroupBox {
  Q_OBJECT
 public:
  explicit MonitorPanel(QWidget* parent);

  QComboBox* codeBox() const { return codes_; }

  // 表示: a text that names no command (another number, letters, nothing)
  // leaves the caption as it was.
  void nameCode();

 private:
  void showName(const QString& name);
  bool titleFits() const;

  CodeComboBox* codes_ = nullptr;
  QPushButton* name_ = nullptr;
  QLabel* handle_ = nullptr;  // Label21, clipped away by the frame
  int titlePixels_ = 0;       // the caption's full size
};

}  // namespace kivo
