#include "runner_ui/RunLauncher.h"
#include "runner_ui/RunWindow.h"
#include "platform_ui/WindowFrame.h"
#include "store/Store.h"
#include "support/FakeHost.h"
#include "support/QtPrinters.h"
#include "support/StoreFields.h"
#include "support/Windows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace kivo::test {
namespace {

class RunWindowTest : public ::testing::Test {
 protected:
  ~RunWindowTest() override {
    launcher_.stop();
    flushDeletes();  // unloaded windows go while their clock still stands
  }

  void setLines(std::initializer_list<int> codes) { setProgramLines(store_, codes); }
  void startAndShow() {
    launcher_.start();
    ASSERT_TRUE(launcher_.window());
    EXPECT_FALSE(launcher_.window()->isVisible());
    ASSERT_TRUE(clock_.advanceUntil([&] { return launcher_.window()->isVisible(); }, 1000));
  }
  RunWindow& w() { return *launcher_.window(); }


  Store store_;
  FakeHost host_;
  VirtualClock clock_;
  RunLauncher launcher_{store_, host_, clock_, RunVariant::Editor};
};

// Whether any pixel of `area` is near black, as printed text is.
bool hasDarkPixel(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb c = image.pixel(x, y);
      if (qMax(qRed(c), qMax(qGreen(c), qBlue(c))) < 100) return true;
    }
  return false;
}

TEST_F(RunWindowTest, SmallProgramShowsWhatItSays) {
  QTemporaryDir dir;
  QImage picture(12, 12, QImage::Format_RGB32);
  picture.fill(qRgb(0, 0, 255));
  ASSERT_TRUE(picture.save(dir.filePath("1.bmp"), "BMP"));

  store_.setCharSetting(1, 1, QStringLiteral("74"));  // H
  store_.setCharSetting(1, 2, QStringLiteral("82"));  // I
  store_.setButtonPlace(5, QStringLiteral("107"));    // place 13
  setLines({198, 140, 140, 2064, 4162, 49, 8});
  QSignalSpy shown(&launcher_, &RunLauncher::runShown);
  launcher_.setPictureFolder(dir.path());
  launcher_.start();
  ASSERT_TRUE(clock_.advanceUntil([&] { return w().isVisible(); }, 1000));
  EXPECT_EQ(shown.count(), 1);
  clock_.advance(100);

  EXPECT_EQ(w().objectName(), "Form3");
  EXPECT_EQ(w().windowTitle(), "Form3");
  EXPECT_EQ(w().frameGeometry().size(), QSize(400, 400)) << "6000 x 6000 twips, frame included";
  QPushButton* b5 = w().button(5);
  EXPECT_EQ(b5->objectName(), "Command5");
  EXPECT_EQ(b5->text(), "5");
  EXPECT_TRUE(b5->isVisible());
  EXPECT_EQ(b5->pos(), QPoint(2400 / 15, 3000 / 15));
  EXPECT_EQ(b5->size(), QSize(49, 25));
  EXPECT_TRUE(w().button(20)->isVisible());
  EXPECT_EQ(w().button(20)->pos(), QPoint(320, 300));
  EXPECT_FALSE(w().button(1)->isVisible());
  EXPECT_TRUE(w().picture()->isVisible());
  EXPECT_EQ(w().printedTexts(), (QStringList{"HI", "HI"}));

  const QImage shot = w().grab().toImage();
  saveShot(&w(), QStringLiteral("run_window.png"));
  EXPECT_EQ(shot.pixel(5, 5), qRgb(0, 0, 255)) << "the picture at the top left";
  EXPECT_EQ(shot.pixel(390, 150), qRgb(255, 0, 0)) << "red back colour";
  EXPECT_TRUE(hasDarkPixel(shot, QRect(0, 13, 30, 30))) << "printed text below the picture";
  EXPECT_FALSE(hasDarkPixel(shot, QRect(14, 60, 30, 40)));
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(RunWindowTest, ClickOnAButtonGoesOnAtItsLine) {
  setLines({239, 8});
  startAndShow();
  clock_.advance(10);
  ASSERT_TRUE(w().button(1)->isVisible());
  store_.setProgramLine(1, QStringLiteral("222"));
  QTest::mouseClick(w().button(1), Qt::LeftButton);
  clock_.advance(2);
  EXPECT_EQ(host_.beeps, 1);
}

TEST_F(RunWindowTest, EndUnloadsTheWindow) {
  setLines({231});
  QSignalSpy unloaded(&launcher_, &RunLauncher::unloaded);
  startAndShow();
  QPointer<RunWindow> window = launcher_.window();
  clock_.advance(2);
  EXPECT_FALSE(launcher_.loaded());
  EXPECT_EQ(unloaded.count(), 1);
  flushDeletes();
  EXPECT_TRUE(window.isNull());
}

TEST_F(RunWindowTest, StopAndCloseUnload) {
  launcher_.stop();  // nothing loaded: nothing happens
  QSignalSpy unloaded(&launcher_, &RunLauncher::unloaded);
  EXPECT_EQ(unloaded.count(), 0);

  startAndShow();
  launcher_.stop();
  EXPECT_FALSE(launcher_.loaded());
  EXPECT_EQ(unloaded.count(), 1);

  startAndShow();
  w().close();
  EXPECT_FALSE(launcher_.loaded());
  EXPECT_EQ(unloaded.count(), 2);
  clock_.advance(1000);  // nothing of the old runs is left to fire
}

TEST_F(RunWindowTest, StartDuringSetUpOrRunBeginsAFreshRun) {
  setLines({222, 8});
  launcher_.start();
  clock_.advance(30);  // half way through placing the buttons
  launcher_.start();
  ASSERT_TRUE(clock_.advanceUntil([&] { return w().isVisible(); }, 1000));
  clock_.advance(10);
  EXPECT_EQ(host_.beeps, 1);
  launcher_.start();  // while the first run is halted
  ASSERT_TRUE(clock_.advanceUntil([&] { return w().isVisible(); }, 1000));
  EXPECT_EQ(w().machine().programCounter(), "1");
  clock_.advance(10);
  EXPECT_EQ(host_.beeps, 2);
}

TEST_F(RunWindowTest, MessageBoxIsModalToTheRunWindowAndWaits) {
  store_.setCharSetting(3, 1, QStringLiteral("231"));
  setLines({10529, 222, 8});
  startAndShow();
  clock_.advance(10);
  ASSERT_EQ(host_.openBoxes.size(), 1u);
  EXPECT_EQ(host_.openBoxes[0].window, &w());
  EXPECT_EQ(host_.openBoxes[0].text, ".");
  EXPECT_EQ(host_.beeps, 0);
  host_.closeBox();
  clock_.advance(10);
  EXPECT_EQ(host_.beeps, 1);
}

TEST_F(RunWindowTest, StopWhileABoxIsOpenEndsTheRun) {
  setLines({10512});
  startAndShow();
  clock_.advance(10);
  ASSERT_EQ(host_.openBoxes.size(), 1u);
  launcher_.stop();
  flushDeletes();
  host_.closeBox();  // the box of a window that is gone: nothing happens
  clock_.advance(1000);
  EXPECT_FALSE(launcher_.loaded());
}

// The message names the file that was looked for: a design path is sought
// in the home folder, any other as it stands.
TEST_F(RunWindowTest, MissingPictureIsReportedByTheTriedPathAndTheWindowStays) {
  const QString home = QDir::homePath() + QStringLiteral("/kivo/2.bmp");
  if (QFile::exists(home)) GTEST_SKIP() << home.toStdString() << " exists here";
  struct Case {
    QString folder, named;
    std::initializer_list<int> lines;
  };
  QTemporaryDir dir;
  ASSERT_TRUE(store_.codePicture().save(dir.filePath("1.bmp"), "BMP"));
  // Told no folder, the design paths stand: picture 1 would be sought at home too.
  const Case cases[] = {{dir.path(), dir.filePath("2.bmp"), {49, 57, 222}}, {QString(), home, {57, 222}}};
  for (const auto& c : cases) {
    host_.messages.clear();
    setLines(c.lines);
    launcher_.setPictureFolder(c.folder);
    launcher_.start();
    ASSERT_TRUE(clock_.advanceUntil([&] { return w().isVisible(); }, 1000));
    clock_.advance(10);
    ASSERT_EQ(host_.messages.size(), 1u) << c.named.toStdString();
    EXPECT_TRUE(host_.messages[0].contains(c.named)) << host_.messages[0].toStdString();
    EXPECT_FALSE(host_.messages[0].contains(u'\\')) << host_.messages[0].toStdString();
    EXPECT_TRUE(w().picture()->pixmap().isNull()) << "the old picture goes before the new is read";
    EXPECT_TRUE(launcher_.loaded());
    EXPECT_EQ(host_.beeps, 0);
    launcher_.stop();
  }
}

TEST_F(RunWindowTest, DesignStateOfEachProgram) {
  RunWindow* editor = launcher_.load();
  EXPECT_EQ(editor->windowTitle(), "Form3");
  EXPECT_EQ(editor->borderStyle(), BorderStyle::FixedToolWindow);
  EXPECT_EQ(editor->size(), QSize(558, 451)) << "8370 x 6765 twips";
  EXPECT_EQ(editor->machine().pictureFile(10), "c:\\kivo\\10.bmp");
  EXPECT_FALSE(inTaskbar(*editor));
  for (int k = 1; k <= 20; ++k) EXPECT_FALSE(editor->button(k)->isVisibleTo(editor));

  RunLauncher playerLauncher(store_, host_, clock_, RunVariant::Player);
  RunWindow* player = playerLauncher.load();
  EXPECT_EQ(player->windowTitle(), "");
  EXPECT_EQ(player->borderStyle(), BorderStyle::FixedSingle);
  EXPECT_TRUE(inTaskbar(*player));

  store_.setFormShape(QStringLiteral("0"));
  store_.setFormSize(QStringLiteral("0"));
  playerLauncher.start();
  ASSERT_TRUE(clock_.advanceUntil([&] { return player->isVisible(); }, 1000));
  EXPECT_EQ(player->borderStyle(), BorderStyle::FixedSingle) << "unknown shape keeps the design";
  EXPECT_EQ(player->size(), QSize(558, 451));
}

TEST_F(RunWindowTest, ShapeCodesSetTheWindowsBorder) {
  const std::pair<const char*, Qt::WindowType> rows[] = {
      {"8", Qt::Window}, {"16", Qt::Window}, {"24", Qt::Window}, {"33", Qt::Window}};
  for (auto [shape, type] : rows) {
    store_.setFormShape(QString::fromLatin1(shape));
    startAndShow();
    EXPECT_EQ(w().windowType(), type) << shape;
    EXPECT_EQ(bool(w().windowFlags() & Qt::FramelessWindowHint), QString(shape) == "33") << shape;
    launcher_.stop();
  }
}

TEST_F(RunWindowTest, MaximisedAndSmallSizes) {
  store_.setFormSize(QStringLiteral("8"));
  for (const char* shape : {"8", "16", "24", "33"}) {
    store_.setFormShape(QString::fromLatin1(shape));
    startAndShow();
    EXPECT_TRUE(w().isMaximized()) << shape;
    EXPECT_NE(w().minimumSize(), w().maximumSize()) << shape << ": a fixed size cannot grow";
    launcher_.stop();
  }

  store_.setFormSize(QStringLiteral("33"));
  startAndShow();
  EXPECT_FALSE(w().isMaximized());
  EXPECT_EQ(w().frameGeometry().size(), QSize(307, 333)) << "4600 x 5000 twips, frame included";
}

// Line 20 prints its text again at every cycle: the window keeps no more
// than it can show, and the print position still moves a line a text.
TEST_F(RunWindowTest, EndlessPrintingKeepsOnlyWhatCanBeSeen) {
  store_.setCharSetting(1, 1, QStringLiteral("74"));
  store_.setProgramLine(20, QStringLiteral("140"));
  for (int line = 1; line < 20; ++line) store_.setProgramLine(line, QStringLiteral("46"));
  startAndShow();
  const int rows = (w().height() + w().fontMetrics().height() - 1) / w().fontMetrics().height();
  clock_.advance(2 * 100);
  const QStringList early = w().printedTexts();
  EXPECT_EQ(early.size(), rows);
  clock_.advance(2 * 10000);
  EXPECT_EQ(w().printedTexts(), early) << "nothing more is kept";
  EXPECT_GT(w().machine().programCounter().toInt(), 10000) << "the run went on all the while";
}

}  // namespace
}  // namespace kivo::test
