#include "EditorFixture.h"

#include "platform_ui/WindowFrame.h"

#include <QMouseEvent>

#include "editor/StoreWindow.h"
#include "runner_ui/RunLauncher.h"

#include <QClipboard>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>

#include <map>

namespace kivo::test {
namespace {

// ---- The window as it loads ------------------------------------------------

TEST_F(EditorTest, WindowLoadsWithItsDesignValues) {
  MainWindow* w = window();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->objectName(), "Form1");
  EXPECT_EQ(w->windowTitle(), "KORVANEST   KIVO3.0");
  EXPECT_EQ(w->centralWidget()->size(), QSize(491, 317));
  EXPECT_EQ(w->minimumSize(), w->maximumSize()) << "not resizable";
  EXPECT_FALSE(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(w->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(w->windowIcon().pixmap(32).isNull());
  EXPECT_EQ(w->windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
  EXPECT_FALSE(inTaskbar(*w));
  EXPECT_EQ(w->centralWidget()->grab().toImage().pixelColor(489, 315), QColor(Qt::white))
      << "the window colour, on which the white number labels vanish";

  const QRect screen = w->screen()->availableGeometry();
  EXPECT_LE((w->frameGeometry().center() - screen.center()).manhattanLength(), 8) << "centred";

  EXPECT_EQ(lineTexts(), QStringList(20, QStringLiteral("0")));
  EXPECT_EQ(status(), "");
  EXPECT_TRUE(control(QStringLiteral("Frame2"))->isVisible());
  EXPECT_EQ(w->focusWidget(), line(1));
}

struct Place {
  const char* name;
  QRect rect;  // pixels in the client area
};

// Twips at 15 to the pixel; the strip starts 8 pixels left of the client.
const Place kPlaces[] = {
    {"Text1", {24, 72, 97, 18}},   {"Text10", {24, 288, 97, 18}},
    {"Text11", {176, 72, 97, 18}}, {"Text20", {176, 288, 97, 18}},
    {"Label1", {8, 72, 17, 17}},   {"Label10", {8, 288, 17, 17}},
    {"Label11", {160, 72, 17, 17}}, {"Label20", {160, 288, 17, 17}},
    {"Frame1", {-8, 0, 537, 33}},  {"Frame2", {296, 128, 169, 113}},
    {"Image1", {8, 8, 24, 23}},    {"Image2", {32, 8, 24, 24}},
    {"Image3", {56, 8, 23, 24}},   {"Image4", {88, 8, 23, 24}},
    {"Image5", {112, 8, 24, 24}},  {"Image6", {144, 8, 24, 24}},
    {"Image7", {176, 8, 24, 24}},  {"Image8", {200, 8, 23, 24}},
    {"Image9", {232, 8, 24, 24}},  {"Label22", {296, 8, 137, 17}},
};

TEST_F(EditorTest, ControlsStandWhereTheLayoutPutsThem) {
  QWidget* client = window()->centralWidget();
  for (const Place& p : kPlaces) {
    QWidget* c = control(QString::fromLatin1(p.name));
    ASSERT_NE(c, nullptr);
    const QRect at(c->mapTo(client, QPoint(0, 0)), c->size());
    EXPECT_EQ(at, p.rect) << p.name;
    EXPECT_TRUE(c->isVisible()) << p.name;
  }
}

TEST_F(EditorTest, LinesHaveNumbersOnWhiteAndTabInLineOrder) {
  for (int k = 1; k <= 20; ++k) {
    auto* number = control<QLabel>(QStringLiteral("Label%1").arg(k));
    EXPECT_EQ(number->text(), QString::number(k));
    EXPECT_EQ(number->palette().color(number->backgroundRole()), QColor(Qt::white)) << k;
  }
  for (int k = 1; k < 20; ++k) {
    line(k)->setFocus();
    QTest::keyClick(line(k), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), line(k + 1)) << "Tab from line " << k;
  }
}

struct ImageCase {
  const char* name;
  const char16_t* tip;
};

const ImageCase kImageTips[] = {
    {"Image1", u"新規作成"}, {"Image2", u"開く"},     {"Image3", u"上書き保存"},
    {"Image4", u"コピー"},   {"Image5", u"貼り付け"}, {"Image6", u"言語補助モニター"},
    {"Image7", u"実行"},     {"Image8", u"停止"},     {"Image9", u"ヘルプ"},
};

TEST_F(EditorTest, ToolbarImagesShowTheirTipAndNeverTakeTheFocus) {
  for (const ImageCase& c : kImageTips) {
    auto* image = control<QLabel>(QString::fromLatin1(c.name));
    EXPECT_EQ(image->toolTip(), QString::fromUtf16(c.tip)) << c.name;
    EXPECT_EQ(image->focusPolicy(), Qt::NoFocus) << c.name;
    EXPECT_FALSE(image->pixmap().isNull()) << c.name;
  }
  line(5)->setFocus();
  click("Image6");
  EXPECT_EQ(QApplication::focusWidget(), line(5));
}

// A double click reaches the image as press, release, double click, release.
TEST_F(EditorTest, DoubleClickOnAToolbarImageActsOnce) {
  QWidget* image = control(QStringLiteral("Image3"));
  const QPointF at(5, 5);
  auto send = [&](QEvent::Type type) {
    QMouseEvent event(type, at, image->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(image, &event);
  };
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                            QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
    send(type);
  EXPECT_EQ(host.saveOffered.size(), 1u) << "one save dialog";
  click("Image3");
  EXPECT_EQ(host.saveOffered.size(), 2u) << "a later single click acts again";
}

// ---- The menu bar ---------------------------------------------------------

struct MenuCase {
  const char* parent;  // "" for the menu bar
  const char* name;
  const char16_t* caption;
  const char* shortcut;
};

// In menu order; a row is a menu when later rows name it as their parent.
const MenuCase kMenuRows[] = {
    {"", "mnufail", u"ファイル", ""},
    {"mnufail", "mnusinnka", u"新規作成", "Ctrl+N"},
    {"mnufail", "mnuhiraku", u"開く", ""},
    {"mnufail", "mnuraine", u"", ""},
    {"mnufail", "mnunamae", u"名前を付けて保存", "Ctrl+E"},
    {"mnufail", "mnuraine2", u"", ""},
    {"mnufail", "mnusyuuryu", u"KORVANEST   KIVO3.0の終了", "Ctrl+Q"},
    {"", "mnuhnsyuu", u"編集", ""},
    {"mnuhnsyuu", "mnukopi", u"コピー", "Ctrl+C"},
    {"mnuhnsyuu", "mnuharituke", u"貼り付け", "Ctrl+U"},
    {"", "mnuhyouzi", u"表示", ""},
    {"mnuhyouzi", "mungengohhozto", u"言語補助モニター表示", ""},
    {"mnuhyouzi", "mnunongengo", u"言語補助モニター非表示", ""},
    {"", "mnuzikkou", u"実行", ""},
    {"mnuzikkou", "mnuzikkouw", u"実行", ""},
    {"mnuzikkou", "mnutesi", u"停止", ""},
    {"", "mnuturu", u"ツール", ""},
    {"mnuturu", "mnuformookisa", u"フォーム", ""},
    {"mnuformookisa", "mnuookisa", u"大きさ", ""},
    {"mnuookisa", "mnusaidaika", u"最大化", ""},
    {"mnuookisa", "mnudai", u"大", ""},
    {"mnuookisa", "mnutyuu", u"中", ""},
    {"mnuookisa", "mnusyou", u"小", ""},
    {"mnuturu", "mnubotato", u"ボタン", ""},
    {"mnubotato", "mnuaiti", u"配置", ""},
    {"mnuturu", "mnumozi", u"文字", ""},
    {"mnumozi", "mnumazisettei1", u"文字設定１", ""},
    {"mnumozi", "mnumoziseyyei2", u"文字設定２", ""},
    {"mnumozi", "mnumozisettei3", u"文字設定３", ""},
    {"mnumozi", "mnumozisettei4", u"文字設定４", ""},
    {"mnumozi", "mnumozisttei5", u"文字設定５", ""},
    {"", "mnuhelp", u"ヘルプ", ""},
    {"mnuhelp", "mnuhelpdd", u"簡易ヘルプ", ""},
    {"mnuhelp", "mnubazyon", u"バージョン情報", ""},
};

// The name a menu entry goes by: its submenu's, or its own.
QString entryName(QAction* a) { return a->menu() ? a->menu()->objectName() : a->objectName(); }

TEST_F(EditorTest, MenuBarHoldsEveryItemInOrderWithItsCaptionAndShortcut) {
  std::map<QString, QStringList> expected;
  for (const MenuCase& row : kMenuRows)
    expected[QString::fromLatin1(row.parent)] << QString::fromLatin1(row.name);

  for (const auto& [parent, names] : expected) {
    const QList<QAction*> actions =
        parent.isEmpty() ? window()->menuBar()->actions() : control<QMenu>(parent)->actions();
    QStringList got;
    for (QAction* a : actions) got << entryName(a);
    EXPECT_EQ(got, names) << "in " << parent.toStdString();
  }

  for (const MenuCase& row : kMenuRows) {
    const QString name = QString::fromLatin1(row.name);
    const QString caption = QString::fromUtf16(row.caption);
    if (expected.count(name)) {
      EXPECT_EQ(control<QMenu>(name)->title(), caption) << row.name;
      continue;
    }
    auto* action = control<QAction>(name);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->isSeparator(), caption.isEmpty()) << row.name;
    EXPECT_EQ(action->text(), caption) << row.name;
    EXPECT_EQ(action->shortcut().toString(QKeySequence::PortableText),
              QString::fromLatin1(row.shortcut))
        << row.name;
    EXPECT_FALSE(action->isCheckable()) << row.name;
    EXPECT_TRUE(action->isEnabled()) << row.name;
  }
}

// ---- Keys in a line box ---------------------------------------------------

class KeysTest : public EditorTest {
 protected:
  KeysTest() { line(1)->setFocus(); }
};

TEST_F(KeysTest, CtrlEInAFocusedLineOpensTheSaveDialog) {
  ASSERT_EQ(QApplication::focusWidget(), line(1));
  QTest::keyClick(line(1), Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(host.saveOffered.size(), 1u) << "Ctrl+E saves";
  EXPECT_TRUE(host.messages.empty());

  // On X11 a line box claims Ctrl+E (end of line) in its ShortcutOverride,
  // offscreen it does not: so ask the window's filter, which comes first.
  QObject* filter = window();
  for (Qt::Key key : {Qt::Key_E, Qt::Key_A}) {
    QKeyEvent override(QEvent::ShortcutOverride, key, Qt::ControlModifier);
    EXPECT_EQ(filter->eventFilter(line(1), &override), key == Qt::Key_E) << "Ctrl+A is no menu's";
    EXPECT_FALSE(override.isAccepted()) << "the shortcut map then tries the menu's";
  }
}

TEST_F(KeysTest, ClipboardShortcutsDoNothingToTheLine) {
  line(1)->setText(QStringLiteral("231"));
  line(1)->selectAll();
  QApplication::clipboard()->setText(QStringLiteral("before"));
  QTest::keyClick(line(1), Qt::Key_C, Qt::ControlModifier);
  QTest::keyClick(line(1), Qt::Key_U, Qt::ControlModifier);
  EXPECT_EQ(line(1)->text(), "231");
  EXPECT_EQ(QApplication::clipboard()->text(), "before");
  EXPECT_TRUE(host.saveOffered.empty());
}

TEST_F(KeysTest, CtrlNRebuildsTheWindowAndCtrlQEndsTheEditor) {
  QPointer<MainWindow> first = window();
  line(1)->setText(QStringLiteral("231"));
  QTest::keyClick(line(1), Qt::Key_N, Qt::ControlModifier);
  ASSERT_NE(window(), nullptr);
  EXPECT_NE(window(), first.data());
  EXPECT_EQ(line(1)->text(), "0");

  activate();
  QTest::keyClick(line(1), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(window(), nullptr);
}

// ---- Run and stop ---------------------------------------------------------

TEST_F(EditorTest, RunCopiesTheLinesUnchangedAndSaysItIsPreparing) {
  const QStringList typed = {QStringLiteral(" 49"), QStringLiteral("abc"), QString(),
                             QStringLiteral("８"), QStringLiteral("231")};
  for (const char* how : {"Image7", "mnuzikkouw"}) {
    store.setProgramLine(1, QStringLiteral("stale"));
    typeLines(typed);
    std::string(how) == "Image7" ? click(how) : trigger(how);
    for (int k = 1; k <= 20; ++k)
      EXPECT_EQ(store.programLine(k), k <= typed.size() ? typed[k - 1] : QStringLiteral("0"))
          << how << " line " << k;
    EXPECT_EQ(status(), "実行準備中") << how;
    editor.launcher().stop();
  }
}

// Needs the run window: it shows itself once its buttons are placed.
bool runShows(VirtualClock& clock) {
  return clock.advanceUntil([] { return EditorTest::shown(QStringLiteral("Form3")) != nullptr; },
                            10'000);
}

TEST_F(EditorTest, CaptionSaysRunningWhenTheRunWindowShowsAndStopLeavesIt) {
  click("Image7");
  EXPECT_EQ(status(), "実行準備中");
  ASSERT_TRUE(runShows(clock));
  EXPECT_EQ(status(), "実行");

  click("Image8");
  EXPECT_FALSE(editor.launcher().loaded());
  EXPECT_EQ(shown(QStringLiteral("Form3")), nullptr);
  EXPECT_EQ(status(), "実行");
}

TEST_F(EditorTest, RunDuringARunStartsAfreshAndSaysPreparingAgain) {
  trigger("mnuzikkouw");
  ASSERT_TRUE(runShows(clock));
  trigger("mnuzikkouw");
  EXPECT_EQ(status(), "実行準備中");
  EXPECT_TRUE(editor.launcher().loaded());
  ASSERT_TRUE(runShows(clock));
  EXPECT_EQ(status(), "実行");
  trigger("mnutesi");
  EXPECT_FALSE(editor.launcher().loaded());
}

TEST_F(EditorTest, StopBeforeAnyRunDoesNothing) {
  for (const char* how : {"Image8", "mnutesi"}) {
    std::string(how) == "Image8" ? click(how) : trigger(how);
    EXPECT_FALSE(editor.launcher().loaded());
    EXPECT_EQ(status(), "");
    EXPECT_TRUE(host.messages.empty());
  }
}

TEST_F(EditorTest, NewDuringARunKeepsTheRunAndTheFreshWindowHearsItShow) {
  click("Image7");
  click("Image1");
  EXPECT_EQ(status(), "");
  ASSERT_TRUE(runShows(clock));
  EXPECT_EQ(status(), "実行");
}

// ---- New, exit, monitor, sizes, other windows -------------------------------

TEST_F(EditorTest, NewRestoresTheWindowButKeepsTheStore) {
  for (const char* how : {"Image1", "mnusinnka"}) {
    QPointer<MainWindow> old = window();
    typeLines({QStringLiteral("231"), QStringLiteral("16")});
    trigger("mnunongengo");
    trigger("mnuzikkouw");
    trigger("mnudai");
    std::string(how) == "Image1" ? click(how) : trigger(how);

    ASSERT_NE(window(), nullptr);
    EXPECT_NE(window(), old.data()) << how;
    EXPECT_TRUE(old.isNull() || !old->isVisible()) << how;
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(lineTexts(), QStringList(20, QStringLiteral("0"))) << how;
    EXPECT_TRUE(control(QStringLiteral("Frame2"))->isVisible()) << how;
    EXPECT_EQ(status(), "") << how;
    EXPECT_EQ(store.programLine(1), "231") << how;
    EXPECT_EQ(store.programLine(2), "16") << how;
    EXPECT_EQ(store.formSize(), "16") << how;
    editor.launcher().stop();
  }
}

TEST_F(EditorTest, MonitorShowsAndHidesFromMenuAndToolbar) {
  QWidget* monitor = control(QStringLiteral("Frame2"));
  trigger("mnunongengo");
  trigger("mnunongengo");
  EXPECT_FALSE(monitor->isVisible());
  click("Image6");
  EXPECT_TRUE(monitor->isVisible());
  trigger("mnunongengo");
  trigger("mungengohhozto");
  trigger("mungengohhozto");
  EXPECT_TRUE(monitor->isVisible());
}

TEST_F(EditorTest, SizeItemsWriteTheFormSizeAndNothingElse) {
  const std::pair<const char*, const char*> rows[] = {
      {"mnusaidaika", "8"}, {"mnudai", "16"}, {"mnutyuu", "24"}, {"mnusyou", "33"}};
  for (const auto& [item, size] : rows) {
    trigger(item);
    EXPECT_EQ(store.formSize(), size) << item;
    for (int k = 1; k <= Store::kFieldCount; ++k)
      if (k != Store::kFormSizeField) {
        EXPECT_EQ(store.field(k), Store::defaultText(k)) << k;
      }
  }
  EXPECT_FALSE(control<QAction>(QStringLiteral("mnusyou"))->isChecked());
}

struct WindowCase {
  const char* item;  // menu item or toolbar image
  const char* form;
  const char16_t* caption;
};

const WindowCase kWindows[] = {
    {"Image9", "Form11", u"バージョン情報"},  {"mnubazyon", "Form11", u"バージョン情報"},
    {"mnuhelpdd", "Form12", u"簡易ヘルプ"},   {"mnuaiti", "Form4", u"ボタンの配置"},
    {"mnumazisettei1", "Form6", u"文字設定    1"}, {"mnumoziseyyei2", "Form7", u"文字設定    2"},
    {"mnumozisettei3", "Form8", u"文字設定    3"}, {"mnumozisettei4", "Form9", u"文字設定    4"},
    {"mnumozisttei5", "Form10", u"文字設定    5"},
};

class ShowsWindow : public EditorTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(ShowsWindow, OnceAndOnlyThatOne) {
  const WindowCase& c = GetParam();
  const bool image = QByteArray(c.item).startsWith("Image");
  auto choose = [&] { image ? click(c.item) : trigger(c.item); };
  choose();
  QWidget* form = shown(QString::fromLatin1(c.form));
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->windowTitle(), QString::fromUtf16(c.caption));
  EXPECT_EQ(form->parentWidget(), nullptr) << "no owner";
  form->setWindowState(Qt::WindowMinimized);
  choose();
  EXPECT_EQ(shown(QString::fromLatin1(c.form)), form) << "the same window comes forward";
  EXPECT_FALSE(form->isMinimized());
  for (const WindowCase& other : kWindows)
    if (QByteArray(other.form) != c.form) {
      EXPECT_EQ(shown(QString::fromLatin1(other.form)), nullptr) << other.form;
    }
}

INSTANTIATE_TEST_SUITE_P(Items, ShowsWindow, ::testing::ValuesIn(kWindows),
                         [](const auto& info) { return std::string(info.param.item); });

TEST_F(EditorTest, ClipboardItemsAndImagesDoNothing) {
  typeLines({QStringLiteral("231")});
  line(1)->selectAll();
  QApplication::clipboard()->setText(QStringLiteral("before"));
  const int windows = QApplication::topLevelWidgets().size();
  click("Image4");
  click("Image5");
  trigger("mnukopi");
  trigger("mnuharituke");
  EXPECT_EQ(line(1)->text(), "231");
  EXPECT_EQ(store.programLine(1), "0");
  EXPECT_EQ(QApplication::clipboard()->text(), "before");
  EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(EditorTest, ExitAndTheCloseBoxEndEveryWindow) {
  for (const char* how : {"mnusyuuryu", "closeBox"}) {
    editor.start();
    editor.storeWindow().get()->show();
    trigger("mnuaiti");
    click("Image9");
    trigger("mnuzikkouw");
    std::string(how) == "closeBox" ? void(window()->close()) : trigger(how);
    EXPECT_EQ(window(), nullptr) << how;
    EXPECT_FALSE(editor.launcher().loaded()) << how;
    for (const char* form : {"Form1", "Form2", "Form3", "Form4", "Form5", "Form11"})
      EXPECT_EQ(shown(QString::fromLatin1(form)), nullptr) << how << " " << form;
  }
}

TEST_F(EditorTest, StoreWindowIsASixPixelSquareWithoutBorder) {
  QWidget* form = editor.storeWindow().get();
  form->show();
  EXPECT_EQ(form->objectName(), "Form2");
  EXPECT_EQ(form->size(), QSize(6, 6));
  EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
  const QPoint off = form->geometry().center() - form->screen()->availableGeometry().center();
  EXPECT_LE(off.manhattanLength(), 2) << "centred";
}

}  // namespace
}  // namespace kivo::test
