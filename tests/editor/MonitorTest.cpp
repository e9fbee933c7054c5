#include "CommandNames.h"
#include "EditorFixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QStyleOptionGroupBox>

namespace kivo::test {
namespace {

class Monitor : public EditorTest {
 protected:
  QGroupBox* frame() const { return control<QGroupBox>(QStringLiteral("Frame2")); }
  QComboBox* codes() const { return control<QComboBox>(QStringLiteral("Combo1")); }
  QString caption() const { return frame()->title(); }

  // Types the text into the code box, key by key, and clicks 表示.
  void name(const QString& text) {
    codes()->setFocus();
    codes()->lineEdit()->selectAll();
    QTest::keyClick(codes(), Qt::Key_Delete);
    QTest::keyClicks(codes(), text);
    QTest::mouseClick(control(QStringLiteral("Command10")), Qt::LeftButton);
  }
};

TEST_F(Monitor, PanelLoadsWithTheCodesInTableOrderAndAnEmptyCaption) {
  QComboBox* box = codes();
  EXPECT_TRUE(box->isEditable());
  EXPECT_EQ(box->currentText(), "0");
  ASSERT_EQ(box->count(), static_cast<int>(std::size(kCodeNames)));
  for (int i = 0; i < box->count(); ++i) {
    EXPECT_EQ(box->itemText(i), QString::number(kCodeNames[i].code)) << i;
    EXPECT_EQ(box->itemData(i).toInt(), 0) << i;
  }
  EXPECT_EQ(caption(), "");
  EXPECT_EQ(control<QPushButton>(QStringLiteral("Command10"))->text(), "表示");

  const std::pair<const char*, QRect> places[] = {
      {"Combo1", {24, 24, 121, 20}}, {"Command10", {24, 64, 121, 33}},
      {"Label21", {24, 128, 121, 89}}};
  for (const auto& [name, rect] : places) {
    QWidget* c = control(QString::fromLatin1(name));
    EXPECT_EQ(c->parentWidget(), frame()) << name;
    EXPECT_EQ(c->geometry(), rect) << name;
  }
  EXPECT_FALSE(frame()->rect().intersects(control(QStringLiteral("Label21"))->geometry()))
      << "Label21 is clipped away";

  line(20)->setFocus();
  QTest::keyClick(line(20), Qt::Key_Tab);
  EXPECT_TRUE(box->hasFocus()) << "from line 20 to the code box, not "
                              << QApplication::focusWidget()->objectName().toStdString();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), control(QStringLiteral("Command10")));
}

class NamesCode : public Monitor, public ::testing::WithParamInterface<CodeName> {};

TEST_P(NamesCode, AsTheMonitorListsIt) {
  const QFont controls = codes()->font();
  name(QString::number(GetParam().code));
  EXPECT_EQ(caption(), QString::fromUtf16(GetParam().name));

  QStyleOptionGroupBox title;
  title.initFrom(frame());
  title.text = caption();
  title.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;  // no check box
  EXPECT_TRUE(frame()->rect().contains(frame()->style()->subControlRect(
      QStyle::CC_GroupBox, &title, QStyle::SC_GroupBoxLabel, frame())));
  EXPECT_EQ(codes()->font(), controls) << "only the caption may shrink";
}

INSTANTIATE_TEST_SUITE_P(EveryCode, NamesCode, ::testing::ValuesIn(kCodeNames),
                         [](const auto& info) { return std::to_string(info.param.code); });

struct Typed {
  const char* tag;
  const char16_t* text;
  const char16_t* caption;  // none: the caption stays as it was
};

const Typed kTyped[] = {
    {"Plain", u"49", u"1.bmpピクチャー表示"},
    {"LeadingBlank", u" 49", u"1.bmpピクチャー表示"},
    {"Exception8508", u"8508", u"ボタン17消す"},
    {"Zero", u"0", nullptr},
    {"NoCode9", u"9", nullptr},  // not completed to 90
    {"NoCode1", u"1", nullptr},
    {"NoCode8505", u"8505", nullptr},
    {"Letters", u"abc", nullptr},
    {"Empty", u"", nullptr},
};

class TypedCode : public Monitor, public ::testing::WithParamInterface<Typed> {};

// The monitor only reads: a text that names nothing keeps the last name and
// asks nothing, and no line, field or code box text changes either way.
TEST_P(TypedCode, NamesItsCommandOrChangesNothing) {
  const Typed& t = GetParam();
  name(QStringLiteral("16"));
  const QString before = caption();
  ASSERT_EQ(before, "プログラムを0.1秒停止");

  const QString text = QString::fromUtf16(t.text);
  name(text);
  EXPECT_EQ(caption(), t.caption ? QString::fromUtf16(t.caption) : before);
  EXPECT_EQ(codes()->currentText(), text);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(lineTexts(), QStringList(20, QStringLiteral("0")));
  for (int k = 1; k <= Store::kFieldCount; ++k) EXPECT_EQ(store.field(k), Store::defaultText(k)) << k;
}

INSTANTIATE_TEST_SUITE_P(Texts, TypedCode, ::testing::ValuesIn(kTyped),
                         [](const auto& info) { return std::string(info.param.tag); });

TEST_F(Monitor, TheBoxHasNoLengthLimit) {
  codes()->setEditText(QString(32767, u'0') + QStringLiteral("49"));
  QTest::mouseClick(control(QStringLiteral("Command10")), Qt::LeftButton);
  EXPECT_EQ(caption(), "1.bmpピクチャー表示");
}

TEST_F(Monitor, CaptionOutlivesHideAndShowButNotNew) {
  codes()->setCurrentIndex(codes()->findText(QStringLiteral("231")));
  EXPECT_EQ(caption(), "") << "picking alone names nothing";
  name(QStringLiteral("231"));
  ASSERT_EQ(caption(), "終了");

  trigger("mnunongengo");
  click("Image6");
  EXPECT_EQ(caption(), "終了");
  EXPECT_EQ(codes()->currentText(), "231");

  click("Image1");
  activate();
  EXPECT_EQ(caption(), "");
  EXPECT_EQ(codes()->currentText(), "0");
}

}  // namespace
}  // namespace kivo::test
