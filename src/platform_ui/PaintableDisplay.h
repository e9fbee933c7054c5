#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivo {

// The level a grey visual's pixel value stands for, in X's 16 bits a
// channel: Qt writes a pixel's 8-bit grey level as its value.
constexpr std::uint16_t greyLevel(std::uint32_t pixel) {
  return static_cast<std::uint16_t>((pixel & 0xff) * 257);
}

// Qt's X11 backend paints only into true-colour visuals of 15 bits or more
// and into 8-bit grey ones. On a palette display (8 bits, colour-mapped) it
// finds no image format, paints nothing and crashes in its first paint. Made
// from main()'s arguments before the QApplication: on such a display it asks
// Qt, by its own -visual argument, for the display's 8-bit grey visual, so
// the programs start, in grey, and the editor's check warns of the display.
class PaintableDisplay {
 public:
  PaintableDisplay(int argc, char** argv);
  PaintableDisplay(const PaintableDisplay&) = delete;
  PaintableDisplay& operator=(const PaintableDisplay&) = delete;

  // Why Qt can paint on no visual of this display, in one line; empty when
  // it can (or the program does not run on X11).
  const std::string& problem() const { return problem_; }

  // The arguments for the QApplication, which keeps them.
  int& argc() { return argc_; }
  char** argv() { return args_.data(); }

  // Call once the QApplication stands. Qt makes the grey visual's colour map
  // with no colours in it, so everything shows black: give it a grey ramp.
  void fillGreyColourMap() const;

 private:
  std::vector<char*> args_;
  int argc_ = 0;
  std::string visualOption_ = "-visual";
  std::string visualId_;  // empty: Qt takes the display's own visual
  std::string problem_;
};

}  // namespace kivo
