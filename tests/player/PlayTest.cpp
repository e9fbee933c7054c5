#include "PlayerFixture.h"

#include "editor/Editor.h"
#include "editor/MainWindow.h"
#include "store/Codes.h"
#include "support/Windows.h"
#include "support/Commands.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

namespace kivo::test {
namespace {

int charCode(char shown) {
  for (const CharCode& c : charTable())
    if (c.shown == shown) return c.code;
  ADD_FAILURE() << "no character " << shown;
  return kCharBlank;
}

// A program in which every field differs from its design text and from its
// neighbours, saved by the editor's own save.
struct EditedProgram {
  static constexpr const char* kTexts[Store::kSettingCount] = {
      "HELLOWORLD", "KIVO,PLAY!", "ABCDEFGHIJ", "KLMNOPQRST", "UVWXYZ.?!,"};

  static QStringList lines() {
    QStringList lines{QString::number(commandCode("cmdShowButton1")), QString::number(commandCode("cmdShowButton5")),
                      QString::number(commandCode("cmdShowButton12")), QString::number(commandCode("cmdShowText1")),
                      QString::number(commandCode("cmdShowText2")), QString::number(commandCode("cmdStop"))};
    while (lines.size() < Store::kLineCount) lines << QString::number(commandCode("cmdBeep"));
    return lines;
  }
  // Button K on cell 21 - K.
  static int cellOf(int button) { return 21 - button; }

  static QString save(const QString& file) {
    Store store;
    FakeHost host;
    VirtualClock clock;
    QStringList fields;
    {
      Editor editor(store, host, clock);
      editor.start();
      MainWindow* window = editor.mainWindow();
      const QStringList typed = lines();
      for (int k = 1; k <= Store::kLineCount; ++k)
        window->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(k))->setText(typed[k - 1]);
      window->findChild<QAction*>(QStringLiteral("mnudai"))->trigger();
      for (int b = 1; b <= Store::kButtonCount; ++b)
        store.setButtonPlace(b, QString::number(placeCode(cellOf(b))));
      store.setButtonSize(QStringLiteral("41"));
      store.setFormShape(QString::number(kFormShapeFixedSingle));
      for (int s = 1; s <= Store::kSettingCount; ++s)
        for (int c = 1; c <= Store::kCharsPerSetting; ++c)
          store.setCharSetting(s, c, QString::number(charCode(kTexts[s - 1][c - 1])));
      host.saveAnswers.push_back(file);
      window->findChild<QAction*>(QStringLiteral("mnunamae"))->trigger();
      EXPECT_TRUE(host.messages.empty());
      for (int k = 1; k <= Store::kFieldCount; ++k) fields << store.field(k);
    }
    flushDeletes();
    return fields.join(u' ');
  }
};

TEST_F(PlayerTest, AProgramSavedByTheEditorPlaysAsItWasWritten) {
  const QString file = path(QStringLiteral("edited.bmp"));
  const QString saved = EditedProgram::save(file);
  for (int k = 1; k <= Store::kFieldCount; ++k)
    EXPECT_NE(saved.split(u' ')[k - 1], Store::defaultText(k)) << "field " << k;

  play(file);
  EXPECT_EQ(storeFields().join(u' '), saved);
  VisibilityLog windowLog(run(), [this] {
    return QStringLiteral("placeIndex=%1 timer10=%2")
        .arg(run()->machine().placeIndex())
        .arg(run()->machine().interval(10));
  });
  ASSERT_TRUE(untilShown());
  EXPECT_EQ(windowLog.log, QStringList{"show placeIndex=100 timer10=0"})
      << "hidden until button 20 stands";
  EXPECT_EQ(run()->machine().interval(10), 1);
  for (int b = 1; b <= Store::kButtonCount; ++b) {
    const PlaceCell cell = placeCell(EditedProgram::cellOf(b));
    EXPECT_EQ(run()->button(b)->pos(), twipsToPixels(cell.left, cell.top)) << "button " << b;
  }
  EXPECT_TRUE(loader()->isVisible());

  clock.advance(20);
  EXPECT_EQ(run()->printedTexts(), (QStringList{"HELLOWORLD", "KIVO,PLAY!"}));
  for (int b = 1; b <= Store::kButtonCount; ++b)
    EXPECT_EQ(run()->button(b)->isVisible(), b == 1 || b == 5 || b == 12) << "button " << b;
  EXPECT_EQ(run()->frameGeometry().size(), twipsSizeToPixels(8400, 7000)) << "大 from the file";
  EXPECT_EQ(run()->borderStyle(), BorderStyle::FixedSingle);
  EXPECT_EQ(run()->windowTitle(), "");
  EXPECT_EQ(host.fake.beeps, 0) << "stopped at line 6";
  EXPECT_EQ(host.fake.messages.size(), 1u);

  saveShot(run(), QStringLiteral("player_run_window.png"));
}

// ---- What ends the player after a run -----------------------------------------

struct Ending {
  const char* tag;
  QStringList lines;
  int boxes;         // message boxes the run shows before it ends
  bool closeWindow;  // by its close box; else it ends itself
};

const Ending kEndings[] = {
    {"endCommand", {QStringLiteral("231")}, 0, false},
    {"closeBox", {QStringLiteral("8")}, 0, true},
    // Past line 20 the same box comes back, after a pause that lets the
    // user close the window.
    {"closeBetweenRepeatedBoxes", QStringList(Store::kLineCount, QStringLiteral("10512")),
     Store::kLineCount, true},
};

class EndingTest : public PlayerTest, public ::testing::WithParamInterface<Ending> {
 protected:
  void closeBoxesAndWait(int boxes) {
    for (int b = 0; b < boxes; ++b) {
      clock.advance(10);
      ASSERT_TRUE(host.fake.closeBox()) << "box " << b + 1;
    }
    clock.advance(1000);
    EXPECT_TRUE(host.fake.openBoxes.empty()) << "a pause before the box comes back";
  }
};

TEST_P(EndingTest, TheRunWindowGoingEndsThePlayer) {
  const Ending& c = GetParam();
  Store program;
  for (int k = 1; k <= c.lines.size(); ++k) program.setProgramLine(k, c.lines[k - 1]);
  play(writeProgram(QStringLiteral("end.bmp"), program));
  ASSERT_TRUE(untilShown());
  clock.advance(1);
  ASSERT_NO_FATAL_FAILURE(closeBoxesAndWait(c.boxes));
  if (c.closeWindow) run()->close();
  clock.advance(10);

  EXPECT_FALSE(player.launcher().loaded());
  EXPECT_EQ(ended.count(), 1);
  EXPECT_TRUE(loader() && loader()->isVisible()) << "nothing unloads the loader window";
  const size_t messages = host.fake.messages.size();
  clock.advance(60000);
  EXPECT_EQ(host.fake.messages.size(), messages) << "nothing of the run is left";
  EXPECT_EQ(ended.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Ways, EndingTest, ::testing::ValuesIn(kEndings),
                         [](const auto& info) { return std::string(info.param.tag); });

}  // namespace
}  // namespace kivo::test
