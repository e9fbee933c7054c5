#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

struct xcb_connection_t;

namespace kivo::test {

// What the window system says of a window: whether it is on screen, and its
// frame as the window manager drew it. The taskbar state is read with xprop.
struct SeenWindow {
  bool viewable = false;
  QRect frame;  // the window manager's frame, decoration included
  int stacked = -1;  // the frame's place among the root's children, bottom first
};
SeenWindow seenWindow(unsigned long id);
QStringList netWmState(unsigned long id);
unsigned long activeWindow();
// The window that the X server sends key presses to.
unsigned long inputFocus();

// A client window of another process, as the X server holds it.
struct ClientWindow {
  unsigned long id = 0;
  QString title;
  QStringList types;  // _NET_WM_WINDOW_TYPE: "_NET_WM_WINDOW_TYPE_DIALOG", ...
  bool viewable = false;
  QRect client;  // the client area, in screen coordinates
};
// Every window that process `pid` created (_NET_WM_PID), its menus included.
std::vector<ClientWindow> windowsOf(qint64 pid);

// Watches, on a connection of its own, how the manager maps and moves the
// windows at the top of the tree (frames, or clients it left unframed).
class FrameWatch {
 public:
  FrameWatch();
  ~FrameWatch();
  FrameWatch(const FrameWatch&) = delete;
  FrameWatch& operator=(const FrameWatch&) = delete;

  // Where the outer window around client `id` stood when it was last mapped,
  // then each place it was moved to while on screen.
  std::vector<QPoint> placesSinceMapped(unsigned long id);

 private:
  struct Event {
    int type;
    unsigned long window, parent;
    QPoint at;
  };
  void drain();
  xcb_connection_t* connection_;
  std::vector<Event> events_;
};

// Runs a tool to its end; one that fails or takes over 10 s fails the test.
QString run(const QString& program, const QStringList& args);

// Gives the X server, the window manager and other programs time to do
// their part: the wait ends as soon as `done` holds.
bool settle(const std::function<bool()>& done, int limitMs = 3000);
void pump(int ms);

// The screen as the X server holds it. (Qt's own grab of the root window
// can hand back areas that were repainted since.)
QImage screen();
// Into the folder in KIVO_SHOTS, for a person to look at.
void saveShot(const QImage& image, const QString& name);

}  // namespace kivo::test
