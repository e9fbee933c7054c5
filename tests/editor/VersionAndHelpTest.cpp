#include "CommandNames.h"
#include "EditorFixture.h"

#include "editor/SplashWindow.h"
#include "support/Windows.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QScreen>

#include <map>

namespace kivo::test {
namespace {

// ---- Version dialog ---------------------------------------------------------

QWidget* version() { return EditorTest::shown(QStringLiteral("Form11")); }

TEST_F(EditorTest, VersionDialogBeepsOnEachLoadButNotOnAReshow) {
  for (const char* how : {"Image9", "mnubazyon"}) {
    auto open = [&] { std::string(how) == "Image9" ? click(how) : trigger(how); };
    const int before = host.beeps;
    open();
    open();
    EXPECT_EQ(host.beeps, before + 1) << how << ": shown again, not loaded again";
    ASSERT_NE(version(), nullptr);
    QTest::mouseClick(version()->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    flushDeletes();
    EXPECT_EQ(version(), nullptr) << how << ": OK unloads it";
    open();
    EXPECT_EQ(host.beeps, before + 2) << how;
    version()->close();
    flushDeletes();
  }
}

TEST_F(EditorTest, VersionDialogIsAFixedToolWindowWithLogoProductLineAndNotice) {
  trigger("mnubazyon");
  QWidget* w = version();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->windowFlags() & Qt::Tool);
  EXPECT_FALSE(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(w->minimumSize(), w->maximumSize()) << "not sizable";
  EXPECT_EQ(w->size(), QSize(404, 200));
  const QPoint off = w->frameGeometry().center() - w->screen()->availableGeometry().center();
  // Offscreen adds its frame only once the window shows: a pixel or two.
  EXPECT_LE(off.manhattanLength(), 4) << "centred";
  EXPECT_EQ(w->palette().color(w->backgroundRole()), QColor(Qt::white));

  const std::pair<const char*, QRect> places[] = {{"Command1", {216, 136, 169, 49}},
                                                  {"Label2", {208, 72, 193, 49}},
                                                  {"Label1", {240, 8, 129, 33}},
                                                  {"Image1", {0, 0, 200, 200}}};
  for (const auto& [name, rect] : places)
    EXPECT_EQ(w->findChild<QWidget*>(name)->geometry(), rect) << name;
  EXPECT_EQ(w->findChild<QPushButton*>("Command1")->text(), "OK");
  EXPECT_EQ(w->findChild<QLabel*>("Label1")->text(), "KORVANEST KIVO3.0  For 32-bit ");
  const QString notice = w->findChild<QLabel*>("Label2")->text();
  EXPECT_EQ(notice.count(u'。'), 1) << "one sentence";
  EXPECT_TRUE(notice.endsWith(u'。'));

  for (QWidget* c : w->findChildren<QWidget*>())
    EXPECT_EQ(c->focusPolicy() != Qt::NoFocus, c->objectName() == "Command1") << c->objectName().toStdString();

  // The same logo as the splash's.
  const QImage logo = w->findChild<QLabel*>("Image1")->pixmap().toImage();
  const QImage splashLogo =
      editor.splash().peek()->findChild<QLabel*>("Image1")->pixmap().toImage();
  EXPECT_FALSE(logo.isNull());
  EXPECT_EQ(logo, splashLogo);
}

// ---- Short help -------------------------------------------------------------

// Where the help's name is shorter than the monitor's.
const std::map<int, const char16_t*> kShortNames = {
    {132, u"ピクチャー消す"},     {140, u"文字1表示"},          {148, u"文字２表示"},
    {156, u"文字３表示"},         {165, u"文字４表示"},         {173, u"文字５表示"},
    {181, u"文字消す"},           {189, u"バックスクリーン青"}, {198, u"バックスクリーン赤"},
    {206, u"バックスクリーン緑"}, {214, u"バックスクリーン白"}, {222, u"ピープー音"},
};

QString entry(const CodeName& row) {
  const auto shorter = kShortNames.find(row.code);
  return QString::number(row.code) + QStringLiteral("・・・") +
         QString::fromUtf16(shorter != kShortNames.end() ? shorter->second : row.name) +
         QStringLiteral("\r\n");
}

class Help : public EditorTest {
 protected:
  Help() { trigger("mnuhelpdd"); }
  QWidget* help() const { return shown(QStringLiteral("Form12")); }
  QLabel* label(const char* name) const { return help()->findChild<QLabel*>(name); }
};

TEST_F(Help, ColumnsListEveryCodeWithItsShortNameAndLineBreaksInPlace) {
  QString left = QStringLiteral("\r\n"), right;
  for (size_t i = 0; i < std::size(kCodeNames); ++i) (i < 37 ? left : right) += entry(kCodeNames[i]);
  right += QStringLiteral("\r\n\r\n");

  ASSERT_NE(help(), nullptr);
  EXPECT_EQ(label("Label1")->text(), left);
  EXPECT_EQ(label("Label2")->text(), right);

  EXPECT_TRUE(left.startsWith(u"\r\n8・・・プログラムを停止\r\n"));
  EXPECT_TRUE(left.endsWith(u"\r\n2097・・・ボタン9表示\r\n"));
  EXPECT_TRUE(right.startsWith(u"2105・・・ボタン10表示\r\n"));
  EXPECT_TRUE(right.contains(u"\r\n8508・・・ボタン17消す\r\n"));
  EXPECT_TRUE(right.endsWith(u"\r\n10545・・・msgboxに文字設定5を表示\r\n\r\n\r\n"));
  EXPECT_EQ(left.count(u"・・・"), 37);
  EXPECT_EQ(right.count(u"・・・"), 36);
}

TEST_F(Help, IsAFixedToolWindowOnTheFaceColourWhoseLinesAllFitInOneFont) {
  QWidget* w = help();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->windowFlags() & Qt::Tool);
  EXPECT_EQ(w->size(), QSize(366, 453));
  EXPECT_EQ(w->minimumSize(), w->maximumSize()) << "not sizable";
  EXPECT_EQ(w->palette().color(w->backgroundRole()), QApplication::palette().color(QPalette::Button));
  const std::pair<const char*, QRect> places[] = {{"Label1", {0, -8, 161, 473}},
                                                  {"Label2", {160, 0, 201, 449}}};
  for (const auto& [name, rect] : places) {
    QLabel* l = label(name);
    EXPECT_EQ(l->geometry(), rect) << name;
    // No entry may be cut off by the column's side or the window's foot.
    const QRect visible = l->rect() & QRect(l->mapFrom(w, QPoint(0, 0)), w->size());
    QString entries = l->text();
    while (entries.endsWith(u"\r\n")) entries.chop(2);  // the empty lines at the foot
    const QRect needed =
        l->fontMetrics().boundingRect(l->rect(), Qt::AlignLeft | Qt::AlignTop, entries);
    EXPECT_TRUE(needed.right() <= visible.right() && needed.bottom() <= visible.bottom())
        << name << " needs " << needed.width() << " x " << needed.height() << " of "
        << visible.width() << " x " << visible.height();
    EXPECT_GE(l->fontInfo().pixelSize(), 11) << name << ": still readable";
  }
  EXPECT_EQ(label("Label1")->font(), label("Label2")->font());
}

}  // namespace
}  // namespace kivo::test
