#include "EditorFixture.h"

#include "runner_ui/RunLauncher.h"
#include "runner_ui/RunWindow.h"
#include "settings/CharSettingDialog.h"
#include "settings/PlacementDialog.h"
#include "support/StoreFields.h"
#include "support/Windows.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <functional>

namespace kivo::test {
namespace {

QComboBox* combo(QWidget* dialog, int k) {
  return dialog->findChild<QComboBox*>(QStringLiteral("Combo%1").arg(k));
}
void press(QWidget* dialog, int button) {
  QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command%1").arg(button)),
                    Qt::LeftButton);
}

// ---- Through the editor's menu items ------------------------------------------

struct DialogRow {
  const char* item;
  const char* form;
  int firstField, fieldCount;  // what its OK writes
  bool readsStore;             // opens with the store's values, or blank
  int ok;                      // its OK button's number
  std::function<void(QWidget*)> edit;
  std::function<QStringList(QWidget*)> entries;
};

QStringList placeTexts(QWidget* d) {
  QStringList texts;
  for (int k = 1; k <= 20; ++k) texts << combo(d, k)->currentText();
  return texts;
}
QStringList cellCaptions(QWidget* d) {
  QStringList captions;
  for (int k = 1; k <= 10; ++k)
    captions << d->findChild<QPushButton*>(QStringLiteral("Command%1").arg(k))->text();
  return captions;
}
void editPlaces(QWidget* d) { combo(d, 7)->setEditText(QStringLiteral("abc")); }
void editCells(QWidget* d) {
  press(d, 5);
  press(d, 18);  // h
}

DialogRow charRow(const char* item, const char* form, int setting) {
  return {item, form, Store::charSettingField(setting, 1), 10, false, 41, editCells, cellCaptions};
}

const DialogRow kDialogs[] = {
    {"mnuaiti", "Form4", Store::buttonPlaceField(1), 20, true, 1, editPlaces, placeTexts},
    charRow("mnumazisettei1", "Form6", 1),
    charRow("mnumoziseyyei2", "Form7", 2),
    charRow("mnumozisettei3", "Form8", 3),
    charRow("mnumozisettei4", "Form9", 4),
    charRow("mnumozisttei5", "Form10", 5),
};

void PrintTo(const DialogRow& row, std::ostream* os) { *os << row.form; }

class DialogLife : public EditorTest, public ::testing::WithParamInterface<DialogRow> {
 protected:
  QStringList fields() const { return storeFields(store); }
  QStringList ownFields() const { return fields().mid(GetParam().firstField - 1, GetParam().fieldCount); }
  QStringList opening() const {
    return GetParam().readsStore ? ownFields() : QStringList(GetParam().fieldCount, QString());
  }
  QWidget* choose() {
    trigger(GetParam().item);
    return shown(QString::fromLatin1(GetParam().form));
  }
};

TEST_P(DialogLife, ShownAgainUnchangedClosedWithoutStoringOkStoresOwnFields) {
  const DialogRow& row = GetParam();
  for (int k = 1; k <= Store::kFieldCount; ++k) store.setField(k, QStringLiteral("f%1").arg(k));

  QPointer<QWidget> form = choose();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(row.entries(form), opening());
  row.edit(form);
  const QStringList edited = row.entries(form);
  EXPECT_NE(edited, opening());

  // As an open would, while the dialog stands.
  for (int k = 0; k < row.fieldCount; ++k) store.setField(row.firstField + k, QStringLiteral("g%1").arg(k));
  const QStringList changed = fields();
  EXPECT_EQ(choose(), form.data()) << "the same window comes forward";
  EXPECT_EQ(row.entries(form), edited) << "with its entries as they were";

  form->close();
  flushDeletes();
  EXPECT_TRUE(form.isNull()) << "the close box unloads";
  EXPECT_EQ(fields(), changed) << "and stores nothing";

  form = choose();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(row.entries(form), opening()) << "loaded afresh";
  row.edit(form);
  press(form, row.ok);
  flushDeletes();
  EXPECT_TRUE(form.isNull()) << "OK unloads";
  EXPECT_EQ(shown(QString::fromLatin1(row.form)), nullptr);
  const QStringList after = fields();
  EXPECT_NE(after.mid(row.firstField - 1, row.fieldCount), changed.mid(row.firstField - 1, row.fieldCount));
  for (int k = 1; k <= Store::kFieldCount; ++k)
    if (k < row.firstField || k >= row.firstField + row.fieldCount) {
      EXPECT_EQ(after[k - 1], changed[k - 1]) << "field " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Items, DialogLife, ::testing::ValuesIn(kDialogs),
                         [](const auto& info) { return std::string(info.param.form); });

TEST_F(EditorTest, AllSixOpenBesideARun) {
  for (const DialogRow& row : kDialogs) trigger(row.item);
  typeLines({QStringLiteral("16")});
  trigger("mnuzikkouw");
  ASSERT_TRUE(clock.advanceUntil([] { return shown(QStringLiteral("Form3")) != nullptr; }, 1000));
  for (const DialogRow& row : kDialogs) {
    QWidget* form = shown(QString::fromLatin1(row.form));
    ASSERT_NE(form, nullptr) << row.form;
    EXPECT_FALSE(form->isModal()) << row.form;
  }
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(window()->isEnabled());
}

// What the dialogs set goes into a program file and comes back with it.
TEST_F(EditorTest, SettingsAreSavedAndOpenedWithTheProgram) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("settings.bmp"));

  trigger("mnuaiti");
  QWidget* placement = shown(QStringLiteral("Form4"));
  combo(placement, 1)->setEditText(QStringLiteral("165"));
  combo(placement, 20)->setEditText(QStringLiteral("8"));
  press(placement, 1);
  flushDeletes();
  trigger("mnumazisettei1");
  QWidget* chars = shown(QStringLiteral("Form6"));
  for (int button : {1, 18, 3, 19}) press(chars, button);  // h, blank, i
  press(chars, 41);
  host.saveAnswers.push_back(file);
  trigger("mnunamae");
  ASSERT_TRUE(host.messages.empty()) << host.messages.front().toStdString();

  for (int k = 1; k <= Store::kFieldCount; ++k) store.setField(k, Store::defaultText(k));
  flushDeletes();
  trigger("mnuaiti");
  QPointer<QWidget> stale = shown(QStringLiteral("Form4"));
  host.openAnswers.push_back(file);
  trigger("mnuhiraku");
  ASSERT_TRUE(host.messages.empty()) << host.messages.front().toStdString();
  EXPECT_EQ(combo(stale, 1)->currentText(), "8") << "an open dialog keeps its texts";
  stale->close();
  flushDeletes();

  trigger("mnuaiti");
  QWidget* reopened = shown(QStringLiteral("Form4"));
  EXPECT_EQ(combo(reopened, 1)->currentText(), "165");
  EXPECT_EQ(combo(reopened, 2)->currentText(), "16");
  EXPECT_EQ(combo(reopened, 20)->currentText(), "8");
  QStringList setting1;
  for (int c = 1; c <= 10; ++c) setting1 << store.charSetting(1, c);
  EXPECT_EQ(setting1, QStringList({"74", "8", "82", "8", "8", "8", "8", "8", "8", "8"}));
}

// ---- A run after the dialogs --------------------------------------------------

class RunAfterDialogs : public EditorTest {
 protected:
  void place(std::initializer_list<std::pair<int, const char*>> places) {
    auto* dialog = new PlacementDialog(store);
    for (const auto& [k, text] : places) combo(dialog, k)->setEditText(QString::fromUtf8(text));
    press(dialog, 1);
  }
  void compose(int setting, std::initializer_list<int> buttons) {
    auto* dialog = new CharSettingDialog(store, setting);
    for (int b : buttons) press(dialog, b);
    press(dialog, 41);
  }
};

TEST_F(RunAfterDialogs, PlacesTheButtonsAndPrintsTheComposedTexts) {
  // Button 3 shares button 2's cell; button 4's text is no number, so it
  // stands where button 3 went.
  place({{1, "165"}, {2, "41"}, {3, "41"}, {4, "abc"}, {5, "8"}});
  compose(1, {1, 18, 3, 19});       // h, blank, i
  compose(2, {11, 2, 36, 3, 37});   // a, z, ","
  typeLines({"140", "148", "239", "2056", "8"});
  trigger("mnuzikkouw");
  const auto runWindow = [&] { return editor.launcher().window(); };
  ASSERT_TRUE(clock.advanceUntil([&] { return runWindow() && runWindow()->isVisible(); }, 1000));
  clock.advance(10);

  RunWindow& w = *runWindow();
  const QPoint corner(4800 / 15, 0);
  EXPECT_EQ(w.button(1)->pos(), QPoint(4800 / 15, 4500 / 15));
  EXPECT_EQ(w.button(2)->pos(), corner);
  EXPECT_EQ(w.button(3)->pos(), corner);
  EXPECT_EQ(w.button(4)->pos(), corner);
  EXPECT_EQ(w.button(5)->pos(), QPoint(0, 0));
  EXPECT_EQ(w.printedTexts(), QStringList({"HI", "AZ,"}));
  EXPECT_TRUE(w.button(1)->isVisible());
  EXPECT_TRUE(w.button(4)->isVisible());
  EXPECT_EQ(w.machine().charText(3), "") << "settings not composed stay empty";
}

}  // namespace
}  // namespace kivo::test
