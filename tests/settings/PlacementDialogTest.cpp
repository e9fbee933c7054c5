#include "DialogFixture.h"

#include "settings/PlacementDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QWheelEvent>

#include <map>
#include <vector>

namespace kivo::test {
namespace {

enum class How { Pick, Type, TypeJapanese, Down, DropDown, Wheel, WheelUnfocused };

struct Edit {
  int button;
  How how;
  const char16_t* text;  // what the combo box holds afterwards
};

struct PlacementCase {
  const char* name;
  std::map<int, const char16_t*> stored;  // button: place in the store at opening
  std::vector<Edit> edits;
};

const PlacementCase kCases[] = {
    {"UnchangedKeepsEveryField", {}, {}},
    {"TextsNotInTheListShowAndStay", {{3, u"abc"}, {7, u""}, {9, u"８"}, {12, u" 49"}, {20, u"7"}}, {}},
    {"PickedFromTheList", {}, {{1, How::Pick, u"165"}, {20, How::Pick, u"8"}}},
    {"TypedNoNumber", {}, {{5, How::Type, u"abc"}, {6, How::TypeJapanese, u"ひだり"}}},
    // A typed prefix of list items is not completed to one of them.
    {"TypedPrefixStaysAsTyped", {}, {{4, How::Type, u"1"}, {13, How::Type, u""}}},
    {"TwoButtonsOnOneCell", {{2, u"abc"}}, {{1, How::Pick, u"41"}, {2, How::Type, u"41"}}},
    // Steps and the list go from the shown place; from a text that is no place
    // to the first.
    {"StepsFromTheShownPlace", {{3, u"abc"}, {4, u"140"}},
     {{20, How::Down, u"165"}, {5, How::Down, u"49"}, {3, How::Down, u"8"}, {4, How::Wheel, u"148"},
      {6, How::WheelUnfocused, u"49"}, {7, How::Type, u"abc"}, {7, How::Down, u"8"},
      {9, How::Type, u"abc"}, {9, How::DropDown, u"8"}}},
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }

class PlacementOk : public DialogTest, public ::testing::WithParamInterface<PlacementCase> {
 protected:
  static QComboBox* combo(QWidget* dialog, int k) {
    return child<QComboBox>(dialog, QStringLiteral("Combo%1").arg(k));
  }

  // As a user does it: the whole text replaced, then Return.
  static void edit(QWidget* dialog, const Edit& e) {
    QComboBox* box = combo(dialog, e.button);
    const QString text = QString::fromUtf16(e.text);
    switch (e.how) {
      case How::Pick:
        box->setCurrentIndex(box->findText(text));
        ASSERT_GE(box->currentIndex(), 0) << text.toStdString();
        return;
      case How::Type:
        QApplication::setActiveWindow(dialog);
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClick(box->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(box->lineEdit(), text);
        break;
      case How::TypeJapanese: {
        box->lineEdit()->selectAll();
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(box->lineEdit(), &commit);
        break;
      }
      case How::Down:
        QTest::keyClick(box, Qt::Key_Down);
        return;
      case How::DropDown:  // the list opens at the shown item; Down, Return
        box->showPopup();
        QTest::keyClick(box->view(), Qt::Key_Down);
        QTest::keyClick(box->view(), Qt::Key_Return);
        return;
      case How::Wheel:
      case How::WheelUnfocused: {
        QApplication::setActiveWindow(dialog);
        (e.how == How::Wheel ? box : child(dialog, QStringLiteral("Command1")))->setFocus();
        QWheelEvent down({5, 5}, box->mapToGlobal(QPointF(5, 5)), {}, {0, -120}, Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &down);
        // Offscreen no wheel is spontaneous, so Qt's focus-on-wheel is not seen.
        EXPECT_NE(box->focusPolicy(), Qt::WheelFocus);
        return;
      }
    }
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  }
};

TEST_P(PlacementOk, ShowsTheStoreAndWritesBackTheTextsAsTheyStand) {
  const PlacementCase& c = GetParam();
  markStore();
  for (int k = 1; k <= 20; ++k) store_.setButtonPlace(k, Store::defaultText(Store::buttonPlaceField(k)));
  for (const auto& [k, text] : c.stored) store_.setButtonPlace(k, QString::fromUtf16(text));
  const QStringList before = fields();
  QStringList want = before;

  QPointer<PlacementDialog> dialog = open<PlacementDialog>();
  for (int k = 1; k <= 20; ++k)
    EXPECT_EQ(combo(dialog, k)->currentText(), store_.buttonPlace(k)) << "combo " << k;
  for (const Edit& e : c.edits) {
    edit(dialog, e);
    want[Store::buttonPlaceField(e.button) - 1] = QString::fromUtf16(e.text);
  }
  for (int k = 1; k <= 20; ++k) EXPECT_EQ(combo(dialog, k)->count(), 20) << "list of combo " << k;
  EXPECT_EQ(fields(), before) << "nothing is stored before OK";

  click(dialog, QStringLiteral("Command1"));
  EXPECT_EQ(fields(), want);
  flushDeletes();
  EXPECT_TRUE(dialog.isNull()) << "unloaded";
}

INSTANTIATE_TEST_SUITE_P(Cases, PlacementOk, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kivo::test
