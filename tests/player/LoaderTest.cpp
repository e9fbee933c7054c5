#include "PlayerFixture.h"

#include "platform_ui/WindowFrame.h"

#include "store/Codes.h"
#include "support/BmpFiles.h"
#include "support/Commands.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <cstdlib>

namespace kivo::test {
namespace {

const QString kAskToOpen = QStringLiteral("何にもいじらないで開くを押してください。");

// At most two pixels off the middle of the screen's free area each way (odd
// sizes halve unevenly; a frame adds to the outer size).
bool centred(const QWidget& w) {
  const QRect free = w.screen()->availableGeometry(), at = w.frameGeometry();
  return std::abs((at.left() - free.left()) - (free.right() - at.right())) <= 4 &&
         std::abs((at.top() - free.top()) - (free.bottom() - at.bottom())) <= 4;
}

TEST_F(PlayerTest, StartShowsTheEmptyRunWindowAndTheLoaderSquare) {
  player.start();
  ASSERT_TRUE(run());
  ASSERT_TRUE(loader());

  EXPECT_TRUE(run()->isVisible());
  EXPECT_EQ(run()->windowTitle(), "");
  EXPECT_EQ(run()->borderStyle(), BorderStyle::FixedSingle);
  EXPECT_EQ(run()->windowType(), Qt::Window) << "a window of its own";
  EXPECT_TRUE(inTaskbar(*run()));
  EXPECT_FALSE(run()->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(run()->size(), twipsSizeToPixels(8370, 6765));
  EXPECT_TRUE(centred(*run()));
  EXPECT_FALSE(run()->machine().started());
  for (int k = 1; k <= RunMachine::kButtonCount; ++k)
    EXPECT_FALSE(run()->button(k)->isVisibleTo(run())) << k;

  LoaderWindow& form1 = *loader();
  EXPECT_EQ(form1.objectName(), "Form1");
  EXPECT_TRUE(form1.isVisible());
  EXPECT_FALSE(inTaskbar(form1));
  EXPECT_TRUE(form1.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form1.size(), QSize(6, 6));
  EXPECT_TRUE(centred(form1));
  EXPECT_EQ(form1.windowTitle(), "KORVANEST   KIVO3.0");
  EXPECT_TRUE(form1.windowIcon().availableSizes().contains(QSize(32, 32)));
  EXPECT_EQ(form1.grab().toImage().pixel(3, 3), form1.palette().color(QPalette::Window).rgb());
  EXPECT_EQ(form1.timerInterval(), 1);

  // Neither a status caption nor the store's window in the player.
  for (QWidget* top : QApplication::topLevelWidgets()) {
    EXPECT_NE(top->objectName(), "Form2");
    EXPECT_EQ(top->findChild<QLabel*>(QStringLiteral("Label22")), nullptr);
  }
  EXPECT_TRUE(host.log.isEmpty()) << "the loader waits for its tick";
}

// The loader's steps in their order, all in its first tick: each entry
// notes line 1 of the store, picture path 1, the loader's timer and whether
// the run window shows.
TEST_F(PlayerTest, TheLoaderAsksOpensLoadsStartsAndSetsThePathsInOneTick) {
  Store program;
  program.setProgramLine(1, QStringLiteral("222"));
  const QString file = writeProgram(QStringLiteral("order.bmp"), program);
  host.fake.openAnswers.push_back(file);
  player.start();
  const auto note = [this] {
    return QStringLiteral("line1=%1 picture1=%2 timer=%3 shown=%4")
        .arg(store.programLine(1), run()->machine().pictureFile(1))
        .arg(loader()->timerInterval())
        .arg(run()->isVisible());
  };
  host.note = note;
  VisibilityLog windowLog(run(), note);

  clock.advance(1);
  const QString before = QStringLiteral("line1=0 picture1=c:\\kivo\\1.bmp timer=1 shown=1");
  EXPECT_EQ(host.log, (QStringList{"message " + kAskToOpen + " " + before, "dialog " + before}));
  EXPECT_EQ(windowLog.log, (QStringList{"hide line1=222 picture1=c:\\kivo\\1.bmp timer=1 shown=0"}));
  EXPECT_EQ(note(), "line1=222 picture1=" + path("1.bmp") + " timer=0 shown=0");
  EXPECT_EQ(host.fake.openOffered, std::vector<QString>{""});
  EXPECT_TRUE(run()->machine().started());
  EXPECT_EQ(run()->machine().interval(1), 1) << "the runner begins at its own next tick";
  EXPECT_EQ(run()->machine().placeIndex(), "1");

  ASSERT_TRUE(untilShown());
  clock.advance(100);
  EXPECT_EQ(host.log.size(), 2) << "the loader never runs again";
  EXPECT_EQ(host.fake.beeps, 1);
  EXPECT_TRUE(loader()->isVisible());
  EXPECT_EQ(loader()->timerInterval(), 0);
  EXPECT_EQ(ended.count(), 0);
}

TEST_F(PlayerTest, TheDialogComesUpOnGemeWhereTheStartFolderHoldsIt) {
  const QString start = QDir::currentPath();
  ASSERT_TRUE(writeFile(path("geme"), "") && QDir::setCurrent(QFileInfo(path("geme")).path()));
  play(QString());
  QDir::setCurrent(start);
  EXPECT_EQ(host.fake.openOffered, std::vector<QString>{path("geme")});
}

// Picture N is sought beside the program file, whatever its name holds.
class PicturePathTest : public PlayerTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PicturePathTest, PicturesComeFromTheProgramsFolder) {
  Store program;
  program.setProgramLine(1, QString::number(commandCode("cmdShowPicture3")));
  program.setProgramLine(2, QStringLiteral("8"));
  const QString file = writeProgram(QString::fromUtf8(GetParam()), program);
  const QString folder = QFileInfo(file).absolutePath();
  QImage picture(12, 12, QImage::Format_RGB32);
  picture.fill(qRgb(0, 160, 80));
  ASSERT_TRUE(picture.save(folder + QStringLiteral("/3.bmp"), "BMP"));

  play(file);
  for (int n = 1; n <= RunMachine::kPictureCount; ++n)
    EXPECT_EQ(run()->machine().pictureFile(n), folder + QStringLiteral("/%1.bmp").arg(n));
  ASSERT_TRUE(untilShown());
  clock.advance(10);
  EXPECT_EQ(host.fake.messages.size(), 1u) << host.fake.messages.back().toStdString();
  EXPECT_TRUE(run()->picture()->isVisible());
  EXPECT_EQ(run()->picture()->pixmap().toImage().pixel(5, 5), qRgb(0, 160, 80));
}

INSTANTIATE_TEST_SUITE_P(Names, PicturePathTest,
                         ::testing::Values("p.bmp", "sub dir/a\\b c.bmp", "c:\\kivo/x.bmp",
                                           "フォルダ/プログラム.bmp"));

// ---- What ends the player before a run --------------------------------------

QString made(const QString& file, const QByteArray& bytes) {
  writeFile(file, bytes);
  return file;
}

QByteArray program24(int width, int height) {
  return makeBmp(BmpKind::Rgb24, width, height, [](int, int) { return qRgb(231, 0, 0); });
}

struct Refused {
  const char* tag;
  std::function<QString(const QString& folder)> make;  // the name chosen
  const char16_t* message;                              // none: a quiet end
};

const Refused kRefused[] = {
    {"cancel", [](const QString&) { return QString(); }, nullptr},
    // Which files are refused is the program file's own affair.
    {"refused",
     [](const QString& f) { return made(f + "/cut.bmp", program24(137, 33).chopped(500)); },
     u"ファイルが途中で切れています: "},
};

class RefusedTest : public PlayerTest, public ::testing::WithParamInterface<Refused> {};

TEST_P(RefusedTest, EndsThePlayerWithoutARun) {
  const Refused& c = GetParam();
  const QString file = c.make(path(""));
  const QImage canvas = store.codePicture();
  play(file);

  std::vector<QString> expected{kAskToOpen};
  const auto& messages = host.fake.messages;
  if (c.message) {
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[1].startsWith(QString::fromUtf16(c.message))) << messages[1].toStdString();
    EXPECT_TRUE(messages[1].contains(file)) << messages[1].toStdString();
  } else {
    EXPECT_EQ(messages, expected);
  }
  EXPECT_EQ(ended.count(), 1);
  EXPECT_EQ(storeFields(), defaultFields());
  EXPECT_EQ(store.codePicture(), canvas);
  EXPECT_FALSE(run()->machine().started());
  EXPECT_EQ(loader()->timerInterval(), 0);
  clock.advance(1000);
  EXPECT_EQ(run()->machine().placeIndex(), "1") << "no run has begun";
  EXPECT_EQ(ended.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedTest, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.tag); });

}  // namespace
}  // namespace kivo::test
