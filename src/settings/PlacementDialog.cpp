#include "settings/PlacementDialog.h"

#include "platform_ui/WindowGeometry.h"
#include "settings/CodeComboBox.h"
#include "settings/PlacementDiagram.h"
#include "settings/ToolWindow.h"
#include "store/Codes.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <limits>

namespace kivo {
namespace {

constexpr QSize kClient(6780, 6300);
constexpr int kRowsPerColumn = 10;
constexpr int kRowPitch = 240;
struct Column {
  int labelLeft;
  int comboLeft;
};
constexpr Column kColumns[] = {{0, 240}, {1680, 1920}};
constexpr QSize kLabelSize(255, 255);
constexpr QSize kComboSize(1455, 300);

// The standard scheme's title-bar text colour, the back of the whole dialog.
const QColor kBack = Qt::white;

const char16_t kExplanation[] =
    u"このフォームでは、表示するボタンの配置の位置を設定します。ボタンの配置は、下の番号の場所です。"
    u"注意：この配置は、フォームの大きさが中だった場合です。";

// The font the explanation was written for, or else the narrowest Japanese
// font installed (the named one is proportional), so that the text fits its
// box and no character shows as a box.
QFont explanationFont(const QString& text) {
  QFont font;
  font.setPointSize(12);
  font.setWeight(QFont::Normal);
  const QString named = QStringLiteral("ＭＳ Ｐゴシック");
  if (QFontDatabase::hasFamily(named)) {
    font.setFamily(named);
    return font;
  }
  int narrowest = std::numeric_limits<int>::max();
  for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese)) {
    QFont candidate = font;
    candidate.setFamily(family);
    const int width = QFontMetrics(candidate).horizontalAdvance(text);
    if (width < narrowest) {
      narrowest = width;
      font = candidate;
    }
  }
  return font;
}

}  // namespace

PlacementDialog::PlacementDialog(Store& store) : QWidget(nullptr), store_(store) {
  setUpToolWindow(*this, QStringLiteral("Form4"), QStringLiteral("ボタンの配置"), kClient);
  setBackColour(*this, kBack);

  createRows();
  createExplanation();

  QPushButton* ok = addOkButton(*this, QStringLiteral("Command1"), {3480, 2040, 3255, 375});
  connect(ok, &QPushButton::clicked, this, &PlacementDialog::storeAndClose);
  setTabOrder(combos_.back(), ok);

  auto* diagram = new QLabel(this);
  diagram->setObjectName(QStringLiteral("Image1"));
  diagram->setGeometry(twipsRect(0, 2520, 6585, 3735));
  diagram->setPixmap(QPixmap::fromImage(placementDiagram()));
  diagram->setScaledContents(true);
}

void PlacementDialog::createRows() {
  QStringList places;
  for (int place = 1; place <= kPlaceCount; ++place) places << QString::number(placeCode(place));

  for (int k = 1; k <= Store::kButtonCount; ++k) {
    const Column& column = kColumns[(k - 1) / kRowsPerColumn];
    const int top = kRowPitch * ((k - 1) % kRowsPerColumn);

    auto* number = new QLabel(QString::number(k), this);
    number->setObjectName(QStringLiteral("Label%1").arg(k));
    number->setGeometry(twipsRect(column.labelLeft, top, kLabelSize.width(), kLabelSize.height()));
    number->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    number->lower();  // under the combo boxes it overlaps, as labels lie

    auto* combo = new CodeComboBox(this);
    combo->setObjectName(QStringLiteral("Combo%1").arg(k));
    combo->setGeometry(twipsRect(column.comboLeft, top, kComboSize.width(), kComboSize.height()));
    combo->addItems(places);
    combo->showText(store_.buttonPlace(k));
    if (k > 1) setTabOrder(combos_[k - 2], combo);
    combos_[k - 1] = combo;
  }
}

void PlacementDialog::createExplanation() {
  auto* frame = new QGroupBox(QStringLiteral("説明"), this);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setGeometry(twipsRect(3480, 0, 3255, 1935));

  auto* text = new QLabel(QString::fromUtf16(kExplanation), frame);
  text->setObjectName(QStringLiteral("Label21"));
  text->setGeometry(twipsRect(120, 240, 2895, 1575));
  text->setFont(explanationFont(text->text()));
  text->setWordWrap(true);
  text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PlacementDialog::storeAndClose() {
  for (int k = 1; k <= Store::kButtonCount; ++k)
    store_.setButtonPlace(k, combos_[k - 1]->currentText());
  close();
}

}  // namespace kivo
