#include "editor/MonitorPanel.h"

#include "platform_ui/WindowGeometry.h"
#include "store/Codes.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace kivo {
namespace {

constexpr int kSmallestTitlePixels = 6;

}  // namespace

MonitorPanel::MonitorPanel(QWidget* parent) : QGroupBox(parent) {
  setObjectName(QStringLiteral("Frame2"));
  setGeometry(twipsRect(4440, 1920, 2535, 1695));

  codes_ = new CodeComboBox(this);
  codes_->setObjectName(QStringLiteral("Combo1"));
  for (const Command& command : commandTable()) codes_->addItem(QString::number(command.code), 0);
  codes_->showText(QStringLiteral("0"));
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

  // The caption's font may shrink; the controls keep theirs.
  titlePixels_ = QFontInfo(font()).pixelSize();
  for (QWidget* control : std::initializer_list<QWidget*>{codes_, name_, handle_}) {
    QFont own = control->font();
    own.setPixelSize(QFontInfo(own).pixelSize());
    control->setFont(own);
  }
}

void MonitorPanel::nameCode() {
  if (const Command* command = findCommand(codes_->currentText())) showName(command->nameText());
}

// A name wider than the frame is written smaller rather than cut off.
void MonitorPanel::showName(const QString& name) {
  QFont title = font();
  title.setPixelSize(titlePixels_);
  setFont(title);
  setTitle(name);
  while (!titleFits() && title.pixelSize() > kSmallestTitlePixels) {
    title.setPixelSize(title.pixelSize() - 1);
    setFont(title);
  }
}

bool MonitorPanel::titleFits() const {
  QStyleOptionGroupBox option;
  initStyleOption(&option);
  return rect().contains(
      style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this));
}

}  // namespace kivo
