#include "editor/MainWindow.h"

#include "editor/Editor.h"
#include "editor/MonitorPanel.h"
#include "platform_ui/Icons.h"
#include "platform_ui/WindowFrame.h"
#include "platform_ui/WindowGeometry.h"
#include "platform/Host.h"
#include "platform/Number.h"
#include "runner_ui/RunLauncher.h"
#include "store/Codes.h"
#include "store/ProgramBitmap.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>

#include <algorithm>
#include <functional>
#include <iterator>
#include <limits>
#include <span>
#include <utility>
#include <vector>

namespace kivo {
namespace {

constexpr Qt::WindowFlags kWindowFlags =
    Qt::Window | kTitleBarFlags;

// Geometry of the window and its strip, in twips.
constexpr int kClientWidth = 7365;
constexpr int kClientHeight = 4755;
constexpr int kLineWidth = 1455;
constexpr int kLineHeight = 270;
constexpr int kNumberSize = 255;
constexpr int kFirstLineTop = 1080;
constexpr int kLinePitch = 360;
constexpr int kLinesPerColumn = 10;

struct Column {
  int numberLeft;
  int lineLeft;
};
constexpr Column kColumns[] = {{120, 360}, {2400, 2640}};

struct ImageEntry {
  const char* name;
  int left, top, width, height;  // twips, in the strip
  const char16_t* tip;
  const char* icon;
  const char* item;  // the menu item whose action it runs; none for the clipboard pair
};

const ImageEntry kImages[] = {
    {"Image1", 240, 120, 360, 345, u"新規作成", "new", "mnusinnka"},
    {"Image2", 600, 120, 360, 360, u"開く", "open", "mnuhiraku"},
    {"Image3", 960, 120, 345, 360, u"上書き保存", "save", "mnunamae"},
    {"Image4", 1440, 120, 345, 360, u"コピー", "copy", nullptr},
    {"Image5", 1800, 120, 360, 360, u"貼り付け", "paste", nullptr},
    {"Image6", 2280, 120, 360, 360, u"言語補助モニター", "monitor", "mungengohhozto"},
    {"Image7", 2760, 120, 360, 360, u"実行", "run", "mnuzikkouw"},
    {"Image8", 3120, 120, 345, 360, u"停止", "stop", "mnutesi"},
    {"Image9", 3600, 120, 360, 360, u"ヘルプ", "help", "mnubazyon"},
};

using Handler = std::function<void(MainWindow&)>;

struct MenuEntry {
  int depth;
  const char* name;
  const char16_t* caption;
  const char* shortcut = nullptr;
  Handler handler = nullptr;  // none: the item does nothing
};

// Builds the menu bar from its rows: a row followed by deeper ones is a menu,
// "-" a separator line, any other row an item with its own action.
void addMenus(MainWindow& window, std::span<const MenuEntry> entries) {
  std::vector<QMenu*> parents;  // the open menu at each depth
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    const MenuEntry& entry = *it;
    const QString caption = QString::fromUtf16(entry.caption);
    const QString name = QString::fromLatin1(entry.name);
    parents.resize(entry.depth);
    const auto next = std::next(it);
    if (next != entries.end() && next->depth > entry.depth) {
      QMenu* menu = entry.depth == 0 ? window.menuBar()->addMenu(caption)
                                     : parents.back()->addMenu(caption);
      menu->setObjectName(name);
      parents.push_back(menu);
      continue;
    }
    QAction* action = caption == u"-" ? parents.back()->addSeparator()
                                      : parents.back()->addAction(caption);
    action->setObjectName(name);
    if (entry.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
    if (entry.handler)
      QObject::connect(action, &QAction::triggered, &window,
                       [&window, &entry] { entry.handler(window); });
  }
}

// A toolbar picture: stretched to its box, acts on one click, never takes
// the focus. The second press of a double click is no second click.
class ToolImage final : public QLabel {
 public:
  ToolImage(const QIcon& icon, QAction* command, QWidget* parent)
      : QLabel(parent), command_(command) {
    setPixmap(icon.pixmap(QSize(32, 32)));
    setScaledContents(true);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) secondPress_ = true;
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    if (std::exchange(secondPress_, false)) return;
    if (rect().contains(event->position().toPoint()) && command_) command_->trigger();
  }

 private:
  QAction* command_;
  bool secondPress_ = false;
};

// The system's colours: the window colour behind the lines (white in the
// standard scheme, so the white number labels vanish), the face colour of
// the toolbar strip and the monitor's frame.
void paintBackground(QWidget& widget, QPalette::ColorRole role) {
  widget.setBackgroundRole(role);
  widget.setAutoFillBackground(true);
}


}  // namespace

MainWindow::MainWindow(Editor& editor) : QMainWindow(nullptr, kWindowFlags), editor_(editor) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("KORVANEST   KIVO3.0"));
  setWindowIcon(programIcon());
  setInTaskbar(*this, false);

  auto* client = new QWidget(this);
  client->setFixedSize(twipsSizeToPixels(kClientWidth, kClientHeight));
  paintBackground(*client, QPalette::Base);
  setCentralWidget(client);
  createLines(client);
  createMonitorPanel(client);
  createMenus();
  createToolbar(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  centreOnScreen(*this);
  lines_[0]->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::createLines(QWidget* client) {
  for (int k = 1; k <= Store::kLineCount; ++k) {
    const Column& column = kColumns[(k - 1) / kLinesPerColumn];
    const int top = kFirstLineTop + kLinePitch * ((k - 1) % kLinesPerColumn);

    auto* number = new QLabel(QString::number(k), client);
    number->setObjectName(QStringLiteral("Label%1").arg(k));
    number->setGeometry(twipsRect(column.numberLeft, top, kNumberSize, kNumberSize));
    number->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackColour(*number, Qt::white);

    auto* line = new QLineEdit(QStringLiteral("0"), client);
    line->setObjectName(QStringLiteral("Text%1").arg(k));
    line->setGeometry(twipsRect(column.lineLeft, top, kLineWidth, kLineHeight));
    line->setMaxLength(std::numeric_limits<int>::max());  // Qt's default cuts at 32767
    line->installEventFilter(this);
    if (k > 1) setTabOrder(lines_[k - 2], line);
    lines_[k - 1] = line;
  }
}

void MainWindow::createToolbar(QWidget* client) {
  auto* strip = new QGroupBox(client);
  strip->setObjectName(QStringLiteral("Frame1"));
  strip->setGeometry(twipsRect(-120, 0, 8055, 495));
  paintBackground(*strip, QPalette::Window);
  for (const ImageEntry& entry : kImages) {
    QAction* command = entry.item ? findChild<QAction*>(QString::fromLatin1(entry.item)) : nullptr;
    Q_ASSERT(command || !entry.item);
    auto* image = new ToolImage(toolbarIcon(entry.icon), command, strip);
    image->setObjectName(QString::fromLatin1(entry.name));
    image->setGeometry(twipsRect(entry.left, entry.top, entry.width, entry.height));
    image->setToolTip(QString::fromUtf16(entry.tip));
  }
  status_ = new QLabel(strip);
  status_->setObjectName(QStringLiteral("Label22"));
  status_->setGeometry(twipsRect(4560, 120, 2055, 255));
}

void MainWindow::createMonitorPanel(QWidget* client) {
  auto* panel = new MonitorPanel(client);
  paintBackground(*panel, QPalette::Window);  // a frame is of the face colour
  setTabOrder(lines_.back(), panel->codeBox());  // Tab goes on from line 20
  monitor_ = panel;
}

// Every command is one row here, in menu-bar order: the menu item's name,
// caption and shortcut, and what it does; a toolbar image names the item it
// runs.
void MainWindow::createMenus() {
  const auto formSize = [](int code) -> Handler {
    return [code](MainWindow& w) { w.editor_.store().setFormSize(QString::number(code)); };
  };
  const auto charSetting = [](int setting) -> Handler {
    return [setting](MainWindow& w) { w.editor_.showCharSetting(setting); };
  };
  static const MenuEntry kMenus[] = {
      {0, "mnufail", u"ファイル"},
      {1, "mnusinnka", u"新規作成", "Ctrl+N", [](MainWindow& w) { w.editor_.renewMainWindow(); }},
      {1, "mnuhiraku", u"開く", nullptr, &MainWindow::open},
      {1, "mnuraine", u"-"},
      {1, "mnunamae", u"名前を付けて保存", "Ctrl+E", &MainWindow::save},
      {1, "mnuraine2", u"-"},
      {1, "mnusyuuryu", u"KORVANEST   KIVO3.0の終了", "Ctrl+Q",
       [](MainWindow& w) { w.editor_.quit(); }},
      {0, "mnuhnsyuu", u"編集"},
      {1, "mnukopi", u"コピー", "Ctrl+C"},
      {1, "mnuharituke", u"貼り付け", "Ctrl+U"},
      {0, "mnuhyouzi", u"表示"},
      {1, "mungengohhozto", u"言語補助モニター表示", nullptr, [](MainWindow& w) { w.monitor_->show(); }},
      {1, "mnunongengo", u"言語補助モニター非表示", nullptr, [](MainWindow& w) { w.monitor_->hide(); }},
      {0, "mnuzikkou", u"実行"},
      {1, "mnuzikkouw", u"実行", nullptr, &MainWindow::run},
      {1, "mnutesi", u"停止", nullptr, [](MainWindow& w) { w.editor_.launcher().stop(); }},
      {0, "mnuturu", u"ツール"},
      {1, "mnuformookisa", u"フォーム"},
      {2, "mnuookisa", u"大きさ"},
      {3, "mnusaidaika", u"最大化", nullptr, formSize(kFormSizeMaximised)},
      {3, "mnudai", u"大", nullptr, formSize(kFormSizeLarge)},
      {3, "mnutyuu", u"中", nullptr, formSize(kFormSizeMedium)},
      {3, "mnusyou", u"小", nullptr, formSize(kFormSizeSmall)},
      {1, "mnubotato", u"ボタン"},
      {2, "mnuaiti", u"配置", nullptr, [](MainWindow& w) { w.editor_.showPlacement(); }},
      {1, "mnumozi", u"文字"},
      {2, "mnumazisettei1", u"文字設定１", nullptr, charSetting(1)},
      {2, "mnumoziseyyei2", u"文字設定２", nullptr, charSetting(2)},
      {2, "mnumozisettei3", u"文字設定３", nullptr, charSetting(3)},
      {2, "mnumozisettei4", u"文字設定４", nullptr, charSetting(4)},
      {2, "mnumozisttei5", u"文字設定５", nullptr, charSetting(5)},
      {0, "mnuhelp", u"ヘルプ"},
      {1, "mnuhelpdd", u"簡易ヘルプ", nullptr, [](MainWindow& w) { w.editor_.showHelp(); }},
      {1, "mnubazyon", u"バージョン情報", nullptr, [](MainWindow& w) { w.editor_.showVersion(); }},
  };

  addMenus(*this, kMenus);
}

// A line box would keep Ctrl+E, Ctrl+C and Ctrl+U for itself; the menu's
// shortcuts win, as they did in the original.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride &&
      isMenuShortcut(*static_cast<QKeyEvent*>(event))) {
    event->ignore();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::isMenuShortcut(const QKeyEvent& key) const {
  const QKeySequence pressed(key.keyCombination());
  const auto actions = findChildren<QAction*>();
  return std::any_of(actions.begin(), actions.end(), [&](const QAction* action) {
    return !action->shortcut().isEmpty() && action->shortcut() == pressed;
  });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  editor_.quit();
}

void MainWindow::copyLinesToStore() {
  for (int k = 1; k <= Store::kLineCount; ++k)
    editor_.store().setProgramLine(k, lines_[k - 1]->text());
}

void MainWindow::report(const QString& error) { editor_.host().message(error); }

void MainWindow::open() {
  const QString name = editor_.host().openFileName(fileName_);
  if (name.isEmpty()) return;
  fileName_ = name;
  QString error;
  Store& store = editor_.store();
  if (!openProgramFile(name, store, &error)) {
    report(error);
    return;
  }
  for (int k = 1; k <= Store::kLineCount; ++k) lines_[k - 1]->setText(store.programLine(k));
}

void MainWindow::save() {
  copyLinesToStore();
  Store& store = editor_.store();
  QString error;
  if (!writeProgramBitmap(store, store.codePicture(), &error)) {
    report(error);
    return;
  }
  const QString name = editor_.host().saveFileName(fileName_);
  if (name.isEmpty()) return;
  fileName_ = name;
  if (!saveProgramImage(store.codePicture(), name, &error)) report(error);
}

void MainWindow::run() {
  copyLinesToStore();
  status_->setText(QStringLiteral("実行準備中"));
  editor_.launcher().start();
}

void MainWindow::showRunning() { status_->setText(QStringLiteral("実行")); }

}  // namespace kivo
