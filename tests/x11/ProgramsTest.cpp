#include "X11Session.h"

#include "platform/Twips.h"
#include "store/ProgramBitmap.h"
#include "store/Store.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <set>

// The real programs, `kivo` and `form`, driven through the X server's test
// extension as a user's keyboard and mouse would drive them.
namespace kivo::test {
namespace {

// Waits for another process: each ends as soon as its state is reached.
constexpr int kWaitMs = 8000;

const QString kBoxTitle = QStringLiteral("KORVANEST  KIVO3.0");
const QString kMainTitle = QStringLiteral("KORVANEST   KIVO3.0");

void xdotool(const QStringList& args) { run(QStringLiteral("xdotool"), args); }

void click(QPoint at) {
  xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()),
           QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
}

void keys(const QStringList& names) {
  xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + names);
}

// At a person's pace: Qt's file dialog opens its completion list as a path
// is typed, and keys that come faster can reach the list while it opens
// and are lost.
void typeText(const QString& text) {
  xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text});
}

// Selects what a box holds and types the code over it.
QStringList retype(const QString& code) {
  QStringList names{QStringLiteral("ctrl+a")};
  for (QChar digit : code) names << QString(digit);
  return names;
}

QPoint twips(int left, int top) { return twipsToPixels(left, top); }

using Match = std::function<bool(const ClientWindow&)>;

Match titled(const QString& title) {
  return [title](const ClientWindow& w) { return w.title == title; };
}

// Qt's file dialog, whatever its title: the dialog that is no message box.
bool isFileDialog(const ClientWindow& w) {
  return w.types.contains(QStringLiteral("_NET_WM_WINDOW_TYPE_DIALOG")) && w.title != kBoxTitle;
}

// The player's run window has no caption (Qt shows a blank one).
bool isPlayerRunWindow(const ClientWindow& w) {
  return w.title.trimmed().isEmpty() && w.client.width() > 100;
}

// One of the real programs on the session's display. A program the test
// leaves running is ended by its pid.
class Program {
 public:
  Program(const char* path, const QString& configDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);  // the file dialog's history
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(QString::fromUtf8(path), {});
    EXPECT_TRUE(process_.waitForStarted(5000)) << path;
  }
  ~Program() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
      process_.kill();
      process_.waitForFinished(3000);
    }
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  std::optional<ClientWindow> window(const Match& match) const {
    for (const ClientWindow& w : windowsOf(process_.processId()))
      if (w.viewable && match(w)) return w;
    return std::nullopt;
  }

  std::optional<ClientWindow> waitForWindow(const Match& match) const {
    std::optional<ClientWindow> found;
    settle([&] { return (found = window(match)).has_value(); }, kWaitMs);
    return found;
  }

  // The window manager has made it the active window and given it the
  // keyboard: keys go to it.
  std::optional<ClientWindow> waitForActive(const Match& match) const {
    return waitForWindow([&](const ClientWindow& w) {
      return activeWindow() == w.id && inputFocus() == w.id && match(w);
    });
  }

  bool waitGone(const Match& match) const {
    return settle([&] { return !window(match); }, kWaitMs);
  }

  qint64 pid() const { return process_.processId(); }

  // Ended of itself, with exit code 0.
  bool endedWell() {
    const bool ended = process_.state() == QProcess::NotRunning || process_.waitForFinished(kWaitMs);
    return ended && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
  }

  // What the program left behind, for a failure's message.
  QString report() {
    QString text = QStringLiteral("%1, exit code %2\n")
                       .arg(process_.state() == QProcess::NotRunning ? "ended" : "still running")
                       .arg(process_.exitCode());
    text += QString::fromLocal8Bit(process_.readAll());
    for (const ClientWindow& w : windowsOf(process_.processId()))
      if (w.viewable) text += QStringLiteral("on screen: \"%1\"\n").arg(w.title);
    return text;
  }

 private:
  QProcess process_;
};

void activate(const ClientWindow& w) {
  xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(w.id)});
  EXPECT_TRUE(settle([&] { return activeWindow() == w.id && inputFocus() == w.id; }))
      << "the manager did not activate \"" << qPrintable(w.title) << '"';
}

// ---- What a run window shows -----------------------------------------------

struct RunLook {
  QRgb back;
  std::set<int> buttonCells;  // cells 1..20, row by row from the top left
  QString text;               // printed on the first line
};

// The text as the run window prints it: the default font, at the top left.
QImage printed(const QString& text, QRgb back) {
  const QFont font = QApplication::font();
  const QFontMetrics metrics(font);
  QImage image(metrics.horizontalAdvance(text) + 4, metrics.height(), QImage::Format_RGB32);
  image.fill(back);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(QApplication::palette().color(QPalette::WindowText));
  painter.drawText(0, metrics.ascent(), text);
  return image;
}

bool unlike(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) > 96;
}

// How the client area at `client` on the screen differs from the look;
// empty when it shows it. A cell of 1200 x 1500 twips holds a button of
// 735 x 375 at its top left corner.
QString lookDiffers(const QImage& shot, QPoint client, const RunLook& look) {
  for (int cell = 1; cell <= 20; ++cell) {
    const QPoint corner = client + twips(1200 * ((cell - 1) % 5), 1500 * ((cell - 1) / 5));
    const bool shown = shot.pixel(corner + twips(367, 187)) != look.back;
    if (shown != look.buttonCells.contains(cell))
      return QStringLiteral("cell %1 %2").arg(cell).arg(shown ? "shows a button" : "shows no button");
    const QRgb beside = shot.pixel(corner + twips(960, 187));
    if (beside != look.back)
      return QStringLiteral("cell %1 beside its button: #%2").arg(cell).arg(beside & 0xffffff, 6, 16);
  }
  const QImage want = printed(look.text, look.back);
  int ink = 0;
  int wrong = 0;
  for (int y = 0; y < want.height(); ++y)
    for (int x = 0; x < want.width(); ++x) {
      ink += want.pixel(x, y) != look.back;
      wrong += unlike(want.pixel(x, y), shot.pixel(client + QPoint(x, y)));
    }
  if (wrong > ink / 10)
    return QStringLiteral("the text \"%1\" is unlike the screen in %2 of %3 points")
        .arg(look.text)
        .arg(wrong)
        .arg(ink);
  return {};
}

// Waits until a run window shows the look; the last difference seen, or
// empty text once it does.
QString waitForLook(const Program& program, const Match& isRunWindow, const RunLook& look,
                    const QString& shotName) {
  QString problem = QStringLiteral("no run window on the screen");
  QImage shot;
  QRect seen;
  settle(
      [&] {
        const auto w = program.window(isRunWindow);
        if (!w) return false;
        shot = screen();
        seen = w->client;
        problem = lookDiffers(shot, seen.topLeft(), look);
        return problem.isEmpty();
      },
      kWaitMs);
  if (!shot.isNull()) saveShot(shot.copy(seen.adjusted(-4, -24, 4, 4)), shotName);
  return problem;
}

// ---- Program files ---------------------------------------------------------

struct Entries {
  QStringList lines;
  QStringList places;  // of buttons 1, 2, ...
  QStringList chars;   // of character setting 1
};

Store storeOf(const Entries& p) {
  Store store;
  for (int k = 0; k < p.lines.size(); ++k) store.setProgramLine(k + 1, p.lines[k]);
  for (int k = 0; k < p.places.size(); ++k) store.setButtonPlace(k + 1, p.places[k]);
  for (int k = 0; k < p.chars.size(); ++k) store.setCharSetting(1, k + 1, p.chars[k]);
  return store;
}

void expectFile(const QString& path, const Store& want) {
  QImage image;
  QString error;
  Store got;
  ASSERT_TRUE(loadProgramImage(path, &image, &error) && readProgramBitmap(image, got, &error))
      << qPrintable(error);
  for (int k = 1; k <= Store::kFieldCount; ++k)
    EXPECT_EQ(got.field(k), want.field(k)) << qPrintable(fieldLabel(k)) << " (field " << k << ")";
}

// Back blue, setting 1, buttons 1 and 2, stop; the buttons on cells 7 and
// 14, the setting "HI" (h 74, i 82).
const Entries kWritten{{"189", "140", "239", "247", "8"}, {"57", "115"}, {"74", "82"}};
const RunLook kWrittenLook{qRgb(0, 0, 255), {7, 14}, QStringLiteral("HI")};

class ProgramsTest : public ::testing::Test {
 protected:
  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

  // Plays a program file in the player, as a person would: OK to the
  // message, the file's full path into the open dialog. The run window is
  // closed by its close box, which ends the player.
  void play(const QString& file, const RunLook& look, const QString& shotName) {
    Program form(KIVO_PLAYER_PATH, dir.path());
    const auto box = form.waitForActive(titled(kBoxTitle));
    ASSERT_TRUE(box) << "no message box titled with two blanks";
    saveShot(screen().copy(box->client.adjusted(-4, -24, 4, 4)), QStringLiteral("x11_player_message.png"));
    keys({QStringLiteral("Return")});
    ASSERT_TRUE(form.waitForActive(isFileDialog)) << "no open dialog";
    typeText(file);
    keys({QStringLiteral("Return")});
    const QString problem = waitForLook(form, isPlayerRunWindow, look, shotName);
    EXPECT_TRUE(problem.isEmpty()) << qPrintable(problem);

    const auto run = form.window(isPlayerRunWindow);
    ASSERT_TRUE(run);
    activate(*run);
    keys({QStringLiteral("alt+F4")});
    EXPECT_TRUE(form.endedWell()) << qPrintable(form.report());
  }

  // Short: its name is typed into file dialogs.
  QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/kivo-XXXXXX")};
};

TEST_F(ProgramsTest, PlayerRunsAProgramFileUntilItsWindowIsClosed) {
  Store store = storeOf(kWritten);
  QString error;
  ASSERT_TRUE(writeProgramBitmap(store, store.codePicture(), &error) &&
              saveProgramImage(store.codePicture(), path("written.bmp"), &error))
      << qPrintable(error);
  play(path("written.bmp"), kWrittenLook, QStringLiteral("x11_player_run.png"));
}

TEST_F(ProgramsTest, PlayerEndsOnCancel) {
  Program form(KIVO_PLAYER_PATH, dir.path());
  ASSERT_TRUE(form.waitForActive(titled(kBoxTitle)));
  keys({QStringLiteral("Return")});
  ASSERT_TRUE(form.waitForActive(isFileDialog));
  keys({QStringLiteral("Escape")});
  EXPECT_TRUE(form.endedWell()) << qPrintable(form.report());
}

// ---- The editor -------------------------------------------------------------

// No window has a taskbar entry, nor asks for attention, which icewm
// answers with one: the splash, nor the windows in front after it.
TEST_F(ProgramsTest, EditorWindowsStayOutOfTheTaskbar) {
  Program kivo(KIVO_EDITOR_PATH, dir.path());
  const auto outOfTaskbar = [](const ClientWindow& w) {
    return netWmState(w.id).filter(QRegularExpression(QStringLiteral("SKIP_TASKBAR|ATTENTION"))) ==
           QStringList{QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")};
  };
  EXPECT_TRUE(kivo.waitForWindow([&](const ClientWindow& w) { return w.title == "Form5" && outOfTaskbar(w); }));
  ASSERT_TRUE(kivo.waitForActive(titled(kMainTitle)));
  pump(1500);
  for (const ClientWindow& w : windowsOf(kivo.pid()))
    EXPECT_TRUE(!w.viewable || outOfTaskbar(w)) << qPrintable(w.title);
}

// The main window's layout counts from the client area below the menu bar.
QPoint layoutOrigin(const ClientWindow& main) {
  return main.client.topLeft() + QPoint(0, main.client.height() - twipsToPixels(4755));
}

// Chooses a menu item with the keyboard, as no item has an access key: a
// click opens the first menu, Right moves on through the menu bar with the
// first item of each menu active, `path` goes down from there.
void chooseMenu(const Program& kivo, const ClientWindow& main, int menu, const QStringList& path) {
  const auto openMenus = [&] {
    int n = 0;
    for (const ClientWindow& w : windowsOf(kivo.pid()))
      n += w.viewable && w.types.contains(QStringLiteral("_NET_WM_WINDOW_TYPE_DROPDOWN_MENU"));
    return n;
  };
  click(main.client.topLeft() + QPoint(12, (main.client.height() - twipsToPixels(4755)) / 2));
  ASSERT_TRUE(settle([&] { return openMenus() > 0; })) << "no menu opened";
  QStringList names;
  for (int k = 0; k < menu; ++k) names << QStringLiteral("Right");
  keys(names + path);
}

constexpr int kToolMenu = 4;  // ファイル 編集 表示 実行 ツール

// The toolbar strip stands at Left -120 in the client area; its pictures are
// 360 twips square.
QPoint toolbarImage(const ClientWindow& main, int leftInStrip) {
  return layoutOrigin(main) + twips(-120 + leftInStrip + 180, 120 + 180);
}

// Types the lines, places buttons 1 and 2 and composes setting 1 "HI" as a
// person would; runs, stops, saves, starts anew, opens, saves again, and
// plays the saved file.
TEST_F(ProgramsTest, EditorBuildsRunsSavesAndOpensAProgram) {
  const Entries typed{{"206", "140", "239", "247", "8"}, {"99", "148"}, {"74", "82"}};
  const RunLook look{qRgb(0, 255, 0), {12, 18}, QStringLiteral("HI")};
  Program kivo(KIVO_EDITOR_PATH, dir.path());
  const auto isMain = titled(kMainTitle);

  ASSERT_TRUE(kivo.waitForWindow(titled(QStringLiteral("Form5")))) << "no splash";
  ASSERT_TRUE(kivo.waitGone(titled(QStringLiteral("Form5"))));
  auto main = kivo.waitForActive(isMain);
  ASSERT_TRUE(main) << "the main window is not active after the splash";

  // Line 1, then Tab from line to line.
  click(layoutOrigin(*main) + twips(360 + 700, 1080 + 135));
  QStringList lineKeys;
  for (const QString& code : typed.lines) lineKeys << retype(code) << QStringLiteral("Tab");
  keys(lineKeys);

  chooseMenu(kivo, *main, kToolMenu, {QStringLiteral("Down"), QStringLiteral("Right"), QStringLiteral("Return")});
  const auto placement = kivo.waitForActive(titled(QStringLiteral("ボタンの配置")));
  ASSERT_TRUE(placement) << "no placement dialog";
  for (int k = 0; k < typed.places.size(); ++k) {  // combo boxes 240 twips apart, 300 high
    click(placement->client.topLeft() + twips(240 + 600, 240 * k + 150));
    keys(retype(typed.places[k]));
  }
  click(placement->client.topLeft() + twips(3480 + 1627, 2040 + 187));  // OK
  ASSERT_TRUE(kivo.waitGone(titled(QStringLiteral("ボタンの配置"))));

  chooseMenu(kivo, *main, kToolMenu,
             {QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Right"), QStringLiteral("Return")});
  const auto setting = kivo.waitForActive(titled(QStringLiteral("文字設定    1")));
  ASSERT_TRUE(setting) << "no dialog for character setting 1";
  const QPoint cell = setting->client.topLeft() + twips(480 + 187, 240 + 187);
  const QPoint letters = setting->client.topLeft() + twips(960 + 187, 1440 + 187);  // a .. j
  for (const QPoint at : {cell, letters + twips(7 * 360, 0), cell + twips(360, 0), letters + twips(8 * 360, 0),
                          setting->client.topLeft() + twips(1920 + 1087, 3120 + 187)})  // h, i, OK
    click(at);
  ASSERT_TRUE(kivo.waitGone(titled(QStringLiteral("文字設定    1"))));

  click(toolbarImage(*main, 2760));  // 実行
  const QString run = waitForLook(kivo, titled(QStringLiteral("Form3")), look, QStringLiteral("x11_editor_run.png"));
  EXPECT_TRUE(run.isEmpty()) << qPrintable(run);
  activate(*main);  // in front of the run window, which stands over the toolbar
  click(toolbarImage(*main, 3120));  // 停止
  EXPECT_TRUE(kivo.waitGone(titled(QStringLiteral("Form3"))));

  const auto saveAs = [&](const ClientWindow& window, const QString& file) {
    activate(window);
    keys({QStringLiteral("ctrl+e")});
    ASSERT_TRUE(kivo.waitForActive(isFileDialog)) << "no save dialog";
    keys({QStringLiteral("ctrl+a")});
    typeText(file);
    keys({QStringLiteral("Return")});
    EXPECT_TRUE(settle([&] { return QFile::exists(file) && !kivo.window(isFileDialog); }, kWaitMs));
  };
  saveAs(*main, path("saved.bmp"));
  expectFile(path("saved.bmp"), storeOf(typed));

  // 新規作成 gives twenty "0" lines in a new main window; 開く brings the
  // file's lines back, so a second save holds them again.
  click(toolbarImage(*main, 240));
  const auto renewed = kivo.waitForActive([&](const ClientWindow& w) { return isMain(w) && w.id != main->id; });
  ASSERT_TRUE(renewed) << "no new main window";
  click(toolbarImage(*renewed, 600));  // 開く
  ASSERT_TRUE(kivo.waitForActive(isFileDialog)) << "no open dialog";
  keys({QStringLiteral("ctrl+a")});
  typeText(path("saved.bmp"));
  keys({QStringLiteral("Return")});
  ASSERT_TRUE(kivo.waitGone(isFileDialog));
  saveAs(*renewed, path("again.bmp"));
  expectFile(path("again.bmp"), storeOf(typed));

  activate(*renewed);
  keys({QStringLiteral("ctrl+q")});
  EXPECT_TRUE(kivo.endedWell()) << qPrintable(kivo.report());

  play(path("saved.bmp"), look, QStringLiteral("x11_player_saved.png"));
}

}  // namespace
}  // namespace kivo::test
