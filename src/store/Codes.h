#pragma once

#include <QString>

#include <array>
#include <optional>
#include <span>

namespace kivo {

// L(k) = floor(33k / 4), k = 1..31: the 8-bit levels that a display with 5
// bits a channel gives back unchanged. Every code is built from them.
constexpr int colourLevel(int k) { return 8 * k + k / 4; }

// ---- Commands ------------------------------------------------------------

enum class Action {
  Stop,         // halt after this line
  Pause,        // arg: milliseconds
  ShowPicture,  // arg: picture 1..10
  HidePicture,
  ShowText,     // arg: setting 1..5
  ClearText,
  BackColour,   // arg: 0xRRGGBB
  Beep,
  End,
  ShowButton,   // arg: button 1..20
  HideButton,   // arg: button 1..20
  MsgBoxText,   // arg: setting 1..5
};

struct Command {
  const char* identifier;  // cmdStop .. cmdMsgBoxText5
  int code;
  const char16_t* name;    // what the language-assist monitor shows
  Action action;
  int arg;

  QString nameText() const { return QString::fromUtf16(name); }
};

inline constexpr int kCommandCount = 73;

// All commands in ascending order of code; every reader uses this table.
std::span<const Command, kCommandCount> commandTable();

// The command whose code equals the text taken as a number; none for a text
// that is no number or matches no code.
const Command* findCommand(const QString& text);

// Lines above this go straight on to the next line; stop and the pauses
// (and any number up to it that is no command) halt or wait.
inline constexpr int kGoOnThreshold = 45;

// ---- Button places -------------------------------------------------------

inline constexpr int kPlaceCount = 20;
inline constexpr int kGridColumns = 5;
inline constexpr int kCellWidthTwips = 1200;
inline constexpr int kCellHeightTwips = 1500;
inline constexpr int kButtonWidthTwips = 735;
inline constexpr int kButtonHeightTwips = 375;

constexpr int placeCode(int place) { return colourLevel(place); }

struct PlaceCell {
  int place;  // 1..20, row by row from the top left
  int left;   // twips
  int top;    // twips
};

constexpr PlaceCell placeCell(int place) {
  return {place, kCellWidthTwips * ((place - 1) % kGridColumns),
          kCellHeightTwips * ((place - 1) / kGridColumns)};
}

// The cell whose code equals the text taken as a number.
std::optional<PlaceCell> findPlace(const QString& text);

// ---- Run window size and shape -------------------------------------------

inline constexpr int kFormSizeMaximised = 8;
inline constexpr int kFormSizeLarge = 16;
inline constexpr int kFormSizeMedium = 24;
inline constexpr int kFormSizeSmall = 33;

struct FormSize {
  int code;
  bool maximised;
  int widthTwips;   // outer size; 0 when maximised
  int heightTwips;
};

std::optional<FormSize> findFormSize(const QString& text);

enum class BorderStyle { None = 0, FixedSingle = 1, Sizable = 2, FixedToolWindow = 4 };

inline constexpr int kFormShapeSizable = 8;
inline constexpr int kFormShapeFixedSingle = 16;
inline constexpr int kFormShapeToolWindow = 24;
inline constexpr int kFormShapeNoBorder = 33;

struct FormShape {
  int code;
  BorderStyle border;
};

std::optional<FormShape> findFormShape(const QString& text);

// ---- Characters ----------------------------------------------------------

inline constexpr int kCharBlank = colourLevel(1);  // an empty cell: adds nothing

struct CharCode {
  int code;
  char shown;  // as the runner shows it: upper case
};

inline constexpr int kCharCount = 30;

// In the order the decoder tests them: A..Y, Z, then , . ! ?
std::span<const CharCode, kCharCount> charTable();

// The character a store field stands for; none for the blank, a number
// outside the table or a text that is no number.
std::optional<char> decodeChar(const QString& text);

}  // namespace kivo
