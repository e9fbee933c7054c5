#pragma once

#include <QMargins>
#include <QPoint>
#include <QSize>

#include <functional>
#include <optional>

class QWidget;

namespace kivo {

// What the window manager adds around a top-level window. Sizes and places
// in the layouts are outer ones, frame included, so the frame must be known
// before a window is first shown: an unmapped window asks the manager for
// the frame it will get. This may block the GUI thread while the manager
// answers, up to 100 ms; a manager that leaves one request unanswered is
// not asked again, and windows then go by the frames it gave windows on
// screen. Without a window manager (offscreen, or a bare X server) there is
// no frame.
QMargins frameMargins(QWidget& window);

// The frame of a window on screen as the manager reports it; none while the
// manager has not framed it yet.
std::optional<QMargins> frameOnScreen(QWidget& window);

// Calls `then` each time the manager has put a frame round the window.
void whenFramed(QWidget& window, std::function<void()> then);

// The top left corner of the window's frame.
QPoint frameTopLeft(QWidget& window);

// Places the window so that its frame's top left corner stands at `topLeft`,
// whether or not the window has been shown yet, and whether or not its
// frame is known.
void moveFrameTo(QWidget& window, QPoint topLeft);

// Places a window, frame and all, at the middle of its screen's free area;
// once on screen, it is centred again by the frame it really got.
void centreOnScreen(QWidget& window);

// Whether the window has a taskbar entry. A window kept out of the taskbar
// stays out of it every time it is shown, whatever its border, except while
// it is minimised: managers minimise windows that ask for no minimise
// button, and the taskbar is then the only way back.
void setInTaskbar(QWidget& window, bool shown);
bool inTaskbar(const QWidget& window);

// Lets the manager maximise a window whose title bar has no maximise button:
// xfwm4 refuses to maximise a window whose hints offer no such function.
void offerMaximise(QWidget& window);

// Shows the window in front and active, minimised or not.
void showInFront(QWidget& window);

}  // namespace kivo
