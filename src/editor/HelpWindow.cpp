#include "editor/HelpWindow.h"

#include "platform_ui/WindowGeometry.h"
#include "store/Codes.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>
#include <initializer_list>
#include <string_view>

namespace kivo {
namespace {

// The help's shorter names; every other command goes by its monitor name.
struct ShortName {
  std::string_view identifier;
  const char16_t* name;
};
constexpr ShortName kShortNames[] = {
    {"cmdHidePicture", u"ピクチャー消す"},   {"cmdShowText1", u"文字1表示"},
    {"cmdShowText2", u"文字２表示"},         {"cmdShowText3", u"文字３表示"},
    {"cmdShowText4", u"文字４表示"},         {"cmdShowText5", u"文字５表示"},
    {"cmdClearText", u"文字消す"},           {"cmdBackBlue", u"バックスクリーン青"},
    {"cmdBackRed", u"バックスクリーン赤"},   {"cmdBackGreen", u"バックスクリーン緑"},
    {"cmdBackWhite", u"バックスクリーン白"}, {"cmdBeep", u"ピープー音"},
};

constexpr int kLeftColumnEntries = 37;  // codes 8 to 2097
const QString kLineBreak = QStringLiteral("\r\n");
constexpr int kSmallestPixels = 8;

QString shortName(const Command& command) {
  for (const ShortName& row : kShortNames)
    if (row.identifier == command.identifier) return QString::fromUtf16(row.name);
  return command.nameText();
}

QString entries(std::span<const Command> commands) {
  QString text;
  for (const Command& command : commands)
    text += QString::number(command.code) + QStringLiteral("・・・") + shortName(command) +
            kLineBreak;
  return text;
}

// Whether every entry of the column shows whole inside the window.
bool entriesFit(const QLabel& label, const QWidget& window, const QFont& font) {
  const QRect visible =
      label.rect() & QRect(label.mapFrom(&window, QPoint(0, 0)), window.size());
  QString entries = label.text();
  while (entries.endsWith(kLineBreak)) entries.chop(kLineBreak.size());
  const QRect needed =
      QFontMetrics(font).boundingRect(label.rect(), Qt::AlignLeft | Qt::AlignTop, entries);
  return needed.right() <= visible.right() && needed.bottom() <= visible.bottom();
}

// The columns' size is fixed, and the platform's default font may be larger
// than the one they were laid out for; it also borrows its kana from another
// font, whose taller lines it then takes on. So both columns take the largest
// size, from the default down, at which one Japanese font (which holds every
// glyph itself) shows all their entries.
QFont columnFont(std::initializer_list<const QLabel*> columns, const QWidget& window) {
  QFont font = window.font();
  QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
  if (families.isEmpty()) families << font.family();
  for (int pixels = QFontInfo(window.font()).pixelSize(); pixels >= kSmallestPixels; --pixels)
    for (const QString& family : families) {
      font.setFamily(family);
      font.setPixelSize(pixels);
      if (std::all_of(columns.begin(), columns.end(),
                       [&](const QLabel* c) { return entriesFit(*c, window, font); }))
        return font;
    }
  return font;
}

}  // namespace

HelpWindow::HelpWindow()
    : FixedWindow(kToolWindowFlags, "Form12", QStringLiteral("簡易ヘルプ"), 5490, 6795,
                  QApplication::palette().color(QPalette::Button)) {
  const auto commands = commandTable();
  QLabel* left = addLabel("Label1", kLineBreak + entries(commands.first(kLeftColumnEntries)), 0,
                          -120, 2415, 7095);
  QLabel* right = addLabel(
      "Label2", entries(commands.subspan(kLeftColumnEntries)) + kLineBreak + kLineBreak, 2400, 0,
      3015, 6735);
  const QFont font = columnFont({left, right}, *this);
  for (QLabel* column : {left, right}) column->setFont(font);
}

}  // namespace kivo
