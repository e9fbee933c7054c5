#include "editor/MonitorPanel.h"

#include "platform/WindowGeometry.h"
#include "store/Codes.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace kivo {

MonitorPanel::MonitorPanel(QWidget* parent) : QGroupBox(parent) {
  setObjectName(QStringLiteral("Frame2"));
  setGeometry(twipsRect(4440, 1920, 2535, 1695));

  codes_ = new QComboBox(this);
  codes_->setObjectName(QStringLiteral("Combo1"));
  codes_->setEditable(true);
  codes_->setInsertPolicy(QComboBox::NoInsert);
  for (const Command& command : commandTable()) codes_->addItem(QString::number(command.code), 0);
  codes_->setEditText(QStringLiteral("0"));
  codes_->setGeometry(twipsRect(360, 360, 1815, 300));

  name_ = new QPushButton(QStringLiteral("表示"), this);
  name_->setObjectName(QStringLiteral("Command10"));
  name_->setGeometry(twipsRect(360, 960, 1815, 495));
  connect(name_, &QPushButton::clicked, this, &MonitorPanel::nameCode);

  // Its top lies below the frame's bottom edge.
  handle_ = new QLabel(this);
  handle_->setObjectName(QStringLiteral("Label21"));
  handle_->setGeometry(twipsRect(360, 1920, 1815, 1335));

  setTabOrder(codes_, name_);
}

void MonitorPanel::nameCode() {
  if (const Command* command = findCommand(codes_->currentText())) setTitle(command->nameText());
}

}  // namespace kivo
