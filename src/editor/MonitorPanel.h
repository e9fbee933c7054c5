#pragma once

#include <QGroupBox>

class QComboBox;
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
  QPushButton* nameButton() const { return name_; }

  // 表示: a text that names no command (another number, letters, nothing)
  // leaves the caption as it was.
  void nameCode();

 private:
  QComboBox* codes_ = nullptr;
  QPushButton* name_ = nullptr;
  QLabel* handle_ = nullptr;  // Label21, clipped away by the frame
};

}  // namespace kivo
