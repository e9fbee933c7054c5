#include "DialogFixture.h"

#include "platform_ui/WindowFrame.h"

#include "platform_ui/WindowGeometry.h"
#include "settings/CharSettingDialog.h"
#include "settings/PlacementDiagram.h"
#include "settings/PlacementDialog.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <set>

namespace kivo::test {
namespace {

enum class Form { Placement, CharSetting };

QWidget* make(Form form, Store& store) {
  if (form == Form::Placement) return new PlacementDialog(store);
  return new CharSettingDialog(store, 1);
}

struct Place {
  Form form;
  const char* control;  // "" is the window's client area
  int left, top, width, height;
};

// Twips, each relative to its container.
const Place kPlaces[] = {
    {Form::Placement, "", 0, 0, 6780, 6300},
    {Form::Placement, "Combo1", 240, 0, 1455, 300},
    {Form::Placement, "Combo2", 240, 240, 1455, 300},
    {Form::Placement, "Combo10", 240, 2160, 1455, 300},
    {Form::Placement, "Combo11", 1920, 0, 1455, 300},
    {Form::Placement, "Combo20", 1920, 2160, 1455, 300},
    {Form::Placement, "Label1", 0, 0, 255, 255},
    {Form::Placement, "Label10", 0, 2160, 255, 255},
    {Form::Placement, "Label11", 1680, 0, 255, 255},
    {Form::Placement, "Label20", 1680, 2160, 255, 255},
    {Form::Placement, "Frame1", 3480, 0, 3255, 1935},
    {Form::Placement, "Label21", 120, 240, 2895, 1575},
    {Form::Placement, "Command1", 3480, 2040, 3255, 375},
    {Form::Placement, "Image1", 0, 2520, 6585, 3735},
    {Form::CharSetting, "", 0, 0, 5865, 3795},
    {Form::CharSetting, "Command1", 480, 240, 375, 375},
    {Form::CharSetting, "Command10", 3720, 240, 375, 375},
    {Form::CharSetting, "Command11", 960, 1440, 375, 375},
    {Form::CharSetting, "Command20", 4200, 1440, 375, 375},
    {Form::CharSetting, "Command21", 960, 1920, 375, 375},
    {Form::CharSetting, "Command36", 2760, 2400, 375, 375},
    {Form::CharSetting, "Command40", 4200, 2400, 375, 375},
    {Form::CharSetting, "Command41", 1920, 3120, 2175, 375},
    {Form::CharSetting, "Label1", 360, 840, 5295, 375},
    {Form::CharSetting, "Shape1", 120, 0, 5655, 1335},
    {Form::CharSetting, "Shape2", 360, 120, 3855, 615},
};

void PrintTo(const Place& p, std::ostream* os) { *os << p.control; }

class Placed : public DialogTest, public ::testing::WithParamInterface<Place> {};

TEST_P(Placed, WhereTheDesignPutsIt) {
  const Place& p = GetParam();
  std::unique_ptr<QWidget> dialog(make(p.form, store_));
  const QRect want = twipsRect(p.left, p.top, p.width, p.height);
  if (*p.control == '\0') {
    EXPECT_EQ(dialog->size(), want.size());
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "not resizable";
  } else {
    EXPECT_EQ(child(dialog.get(), QString::fromLatin1(p.control))->geometry(), want);
  }
}

INSTANTIATE_TEST_SUITE_P(Controls, Placed, ::testing::ValuesIn(kPlaces), [](const auto& info) {
  const Place& p = info.param;
  return std::string(p.form == Form::Placement ? "Form4_" : "Form6_") +
         (*p.control ? p.control : "client");
});

class BothDialogs : public DialogTest, public ::testing::WithParamInterface<Form> {};

TEST_P(BothDialogs, SmallCentredToolWindowsWithACloseBoxOnly) {
  std::unique_ptr<QWidget> dialog(make(GetParam(), store_));
  const Qt::WindowFlags flags = dialog->windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);  // no owner
  EXPECT_FALSE(inTaskbar(*dialog));
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(dialog->parentWidget(), nullptr);
  EXPECT_EQ(dialog->windowModality(), Qt::NonModal);
  EXPECT_TRUE(dialog->windowIcon().isNull());
  dialog->show();
  // Up to the frame, which the platform knows only once the window shows.
  const QSize frame = dialog->frameGeometry().size() - dialog->size();
  const QPoint off = dialog->geometry().center() - dialog->screen()->availableGeometry().center();
  EXPECT_LE(off.manhattanLength(), 2 + frame.width() + frame.height()) << "centred";
}

// Tab goes round the editable controls in this order and nowhere else.
TEST_P(BothDialogs, FocusOrder) {
  std::unique_ptr<QWidget> dialog(make(GetParam(), store_));
  QStringList want;
  if (GetParam() == Form::Placement) {
    for (int k = 1; k <= 20; ++k) want << QStringLiteral("Combo%1").arg(k);
    want << QStringLiteral("Command1");
  } else {
    for (int k = 1; k <= 41; ++k) want << QStringLiteral("Command%1").arg(k);
  }
  dialog->show();
  QApplication::setActiveWindow(dialog.get());
  child(dialog.get(), want.front())->setFocus();
  QStringList got;
  for (int i = 0; i <= want.size(); ++i) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    // An editable combo box keeps its focus in its line edit.
    if (qobject_cast<QComboBox*>(focus->parentWidget())) focus = focus->parentWidget();
    got << focus->objectName();
    QTest::keyClick(focus, Qt::Key_Tab);
  }
  EXPECT_EQ(got, want + QStringList{want.front()});
}

INSTANTIATE_TEST_SUITE_P(Forms, BothDialogs,
                         ::testing::Values(Form::Placement, Form::CharSetting),
                         [](const auto& info) {
                           return std::string(info.param == Form::Placement ? "Form4" : "Form6");
                         });

TEST_F(DialogTest, PlacementTextsListsAndColours) {
  PlacementDialog dialog(store_);
  const QStringList places{"8",  "16", "24",  "33",  "41",  "49",  "57",  "66",  "74",  "82",
                           "90", "99", "107", "115", "123", "132", "140", "148", "156", "165"};
  for (int k = 1; k <= 20; ++k) {
    auto* combo = child<QComboBox>(&dialog, QStringLiteral("Combo%1").arg(k));
    EXPECT_TRUE(combo->isEditable());
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    EXPECT_EQ(items, places) << k;
    EXPECT_EQ(child<QLabel>(&dialog, QStringLiteral("Label%1").arg(k))->text(), QString::number(k));
  }
  EXPECT_EQ(child<QGroupBox>(&dialog, "Frame1")->title(), "説明");
  EXPECT_EQ(child<QPushButton>(&dialog, "Command1")->text(), "OK");
  auto* explanation = child<QLabel>(&dialog, "Label21");
  EXPECT_EQ(explanation->text(),
            "このフォームでは、表示するボタンの配置の位置を設定します。ボタンの配置は、下の番号の場所です。"
            "注意：この配置は、フォームの大きさが中だった場合です。");
  EXPECT_EQ(explanation->parentWidget()->objectName(), "Frame1");
  const QFontInfo font(explanation->font());
  EXPECT_EQ(font.pointSize(), 12);
  EXPECT_FALSE(font.bold());
  EXPECT_TRUE(QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::Japanese))
      << font.family().toStdString() << " would draw boxes";

  for (QWidget* w : {static_cast<QWidget*>(&dialog), child(&dialog, "Frame1"),
                     child(&dialog, "Label1"), child(&dialog, "Label20"), child(&dialog, "Label21")})
    EXPECT_EQ(w->palette().color(w->backgroundRole()), QColor(Qt::white)) << w->objectName().toStdString();
  EXPECT_TRUE(dialog.autoFillBackground());
}

TEST(PlacementDiagram, FourColoursAtItsOwnSize) {
  const QImage diagram = placementDiagram();
  EXPECT_EQ(diagram.size(), QSize(359, 274));
  std::set<QRgb> colours;
  for (int y = 0; y < diagram.height(); ++y)
    for (int x = 0; x < diagram.width(); ++x) colours.insert(diagram.pixel(x, y));
  EXPECT_EQ(colours, (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(192, 192, 192),
                                     qRgb(0, 0, 255)}));
  EXPECT_EQ(diagram.pixel(0, 0), qRgb(0, 0, 0)) << "outline";
  EXPECT_EQ(diagram.pixel(100, 8), qRgb(0, 0, 255)) << "title bar";
}

// ---- Pictures for a person to look at ----------------------------------------

TEST_F(DialogTest, Screenshots) {
  QWidget* placement = open<PlacementDialog>();
  child<QComboBox>(placement, QStringLiteral("Combo3"))->setEditText(QStringLiteral("abc"));
  CharSettingDialog* chars = open<CharSettingDialog>(1);
  for (int b : {1, 18, 3, 19, 10, 39}) click(chars, QStringLiteral("Command%1").arg(b));  // h, blank, i ... !
  saveShot(placement, QStringLiteral("placement_dialog.png"));
  saveShot(chars, QStringLiteral("char_setting_dialog.png"));
}

}  // namespace
}  // namespace kivo::test
