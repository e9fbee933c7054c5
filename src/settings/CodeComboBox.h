#pragma once

#include <QComboBox>

namespace kivo {

// An editable box of codes whose text is what the user typed or picked: the
// list completes nothing and Return adds nothing to it; the arrow keys, the
// wheel and the drop-down start from the item the text shows (from before the
// first one for a text that is no item); and a wheel turned over it while
// another control has the focus leaves it alone.
class CodeComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit CodeComboBox(QWidget* parent);

  // The text as it stands, with the list position of the item it names.
  void showText(const QString& text);

  void showPopup() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void followText() { showText(currentText()); }
};

}  // namespace kivo
