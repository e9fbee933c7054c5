#include "settings/CodeComboBox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

#include <limits>

namespace kivo {

CodeComboBox::CodeComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setCompleter(nullptr);  // after setEditable, which makes one
  setInsertPolicy(QComboBox::NoInsert);
  setFocusPolicy(Qt::StrongFocus);  // a wheel gives it no focus
  lineEdit()->setMaxLength(std::numeric_limits<int>::max());  // Qt's default cuts at 32767
}

void CodeComboBox::showText(const QString& text) {
  const int index = findText(text);
  if (index != currentIndex()) setCurrentIndex(index);  // -1 clears the text
  if (currentText() != text) setEditText(text);
}

void CodeComboBox::showPopup() {
  followText();
  QComboBox::showPopup();
}

void CodeComboBox::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      followText();
      break;
    default:
      break;
  }
  QComboBox::keyPressEvent(event);
}

void CodeComboBox::wheelEvent(QWheelEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  followText();
  QComboBox::wheelEvent(event);
}

}  // namespace kivo
