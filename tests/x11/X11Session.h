#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace kivo::test {

// An X server of our own on a free display, with a window manager, for
// the tests that must see windows as a user's desktop shows them.
class X11Session {
 public:
  X11Session();
  ~X11Session();
  X11Session(const X11Session&) = delete;
  X11Session& operator=(const X11Session&) = delete;

  bool ready() const { return ready_; }
  const QString& display() const { return display_; }
  const QString& problem() const { return problem_; }

 private:
  pid_t server_ = 0;
  pid_t manager_ = 0;
  QString display_;
  QString problem_;
  bool ready_ = false;
};

// What the window system says of a window: whether it is on screen, and its
// frame as the window manager drew it. The taskbar state is read with xprop.
struct SeenWindow {
  bool viewable = false;
  QRect frame;  // the window manager's frame, decoration included
};
SeenWindow seenWindow(unsigned long id);
QStringList netWmState(unsigned long id);

}  // namespace kivo::test
