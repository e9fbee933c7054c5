#include "settings/CharSettingDialog.h"

#include "platform_ui/WindowGeometry.h"
#include "settings/ToolWindow.h"
#include "store/Codes.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace kivo {
namespace {

constexpr QSize kClient(5865, 3795);
constexpr int kSide = 375;  // every cell and character button is square
constexpr int kPitch = 360;
constexpr int kCellsLeft = 480;
constexpr int kCellsTop = 240;
constexpr int kCharsLeft = 960;
constexpr int kCharsTop = 1440;
constexpr int kCharRowPitch = 480;
constexpr int kCharsPerRow = 10;
constexpr int kFirstCharButton = 11;  // Command11 .. Command40

// The character buttons stand in the order of the character table (a..y, z,
// then , . ! ?) and show its characters in lower case.
QString caption(const CharCode& c) { return QString(QChar::fromLatin1(c.shown)).toLower(); }

QPushButton* square(QWidget* parent, int number, int left, int top) {
  auto* button = new QPushButton(parent);
  button->setObjectName(QStringLiteral("Command%1").arg(number));
  button->setGeometry(twipsRect(left, top, kSide, kSide));
  return button;
}

}  // namespace

CharSettingDialog::CharSettingDialog(Store& store, int setting)
    : QWidget(nullptr), store_(store), setting_(setting) {
  setUpToolWindow(*this, QStringLiteral("Form%1").arg(5 + setting),
                  QStringLiteral("文字設定    %1").arg(setting), kClient);
  cellCodes_.fill(kCharBlank);

  createFrames();
  createCells();
  createCharButtons();

  QPushButton* ok = addOkButton(*this, QStringLiteral("Command41"), {1920, 3120, 2175, 375});
  connect(ok, &QPushButton::clicked, this, &CharSettingDialog::storeAndClose);

  // Setting 1 has always said 一マス分, the others 一マス.
  auto* help = new QLabel(
      QStringLiteral("上のボタンを押してから、文字ボタンを押してください。"
                     "上のボタンは、１つのボタンに付き一マス%1です。")
          .arg(setting == 1 ? QStringLiteral("分") : QString()),
      this);
  help->setObjectName(QStringLiteral("Label1"));
  help->setGeometry(twipsRect(360, 840, 5295, 375));
  help->setWordWrap(true);
  help->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void CharSettingDialog::createFrames() {
  struct Outline {
    const char* name;
    QRect twips;
  };
  for (const Outline& o : {Outline{"Shape2", {360, 120, 3855, 615}},
                           Outline{"Shape1", {120, 0, 5655, 1335}}}) {
    auto* frame = new QFrame(this);
    frame->setObjectName(QString::fromLatin1(o.name));
    frame->setGeometry(twipsRect(o.twips));
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
}

void CharSettingDialog::createCells() {
  for (int k = 1; k <= kCellCount; ++k) {
    QPushButton* cell = square(this, k, kCellsLeft + kPitch * (k - 1), kCellsTop);
    connect(cell, &QPushButton::clicked, this, [this, k] { selectCell(k); });
    cells_[k - 1] = cell;
  }
}

void CharSettingDialog::createCharButtons() {
  const auto chars = charTable();
  for (int i = 0; i < kCharCount; ++i) {
    QPushButton* button = square(this, kFirstCharButton + i,
                                 kCharsLeft + kPitch * (i % kCharsPerRow),
                                 kCharsTop + kCharRowPitch * (i / kCharsPerRow));
    button->setText(caption(chars[i]));
    connect(button, &QPushButton::clicked, this, [this, i] { putChar(i); });
  }
}

void CharSettingDialog::selectCell(int cell) {
  if (cell >= 1 && cell <= kCellCount) selectedCell_ = cell;
}

void CharSettingDialog::putChar(int index) {
  if (index < 0 || index >= kCharCount) return;
  const CharCode& c = charTable()[index];
  cells_[selectedCell_ - 1]->setText(caption(c));
  cellCodes_[selectedCell_ - 1] = c.code;
}

void CharSettingDialog::storeAndClose() {
  for (int k = 1; k <= kCellCount; ++k)
    store_.setCharSetting(setting_, k, QString::number(cellCodes_[k - 1]));
  close();
}

}  // namespace kivo
