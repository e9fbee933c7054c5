#include "platform_ui/WindowFrame.h"

#include "platform_ui/Xcb.h"

#include <QAbstractNativeEventFilter>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace kivo {
namespace {

// A manager that announces the request answers within a few milliseconds;
// one that never does must not hold the program up for long.
constexpr int kExtentsWaitMs = 100;

using xcb::PropertyReply;
using xcb::Reply;

// What decides the frame a manager gives a window.
struct Decoration {
  Qt::WindowFlags flags;
  bool fixedSize = false;  // a manager draws no resize handle
  bool operator==(const Decoration&) const = default;
};

Decoration decorationOf(const QWidget& window) {
  return {window.windowFlags(), window.minimumSize() == window.maximumSize()};
}

// What the manager of the one display has shown of itself.
struct Display {
  xcb_connection_t* connection = nullptr;
  bool silent = false;  // it left a frame request unanswered
  std::vector<std::pair<Decoration, QMargins>> framed;  // frames seen on screen
  // Its answers to frame requests: windows with the same hints get the same
  // frame, so each set of hints is asked about once.
  std::vector<std::pair<Decoration, QMargins>> promised;

  static std::optional<QMargins> find(const std::vector<std::pair<Decoration, QMargins>>& frames,
                                      const Decoration& d) {
    for (const auto& [decoration, frame] : frames)
      if (decoration == d) return frame;
    return std::nullopt;
  }
  // A titled window's frame seen on screen is nearer the truth than none.
  std::optional<QMargins> frameSeen(const Decoration& d) const {
    if (auto frame = find(framed, d)) return frame;
    const auto titled = std::ranges::find_if(framed.rbegin(), framed.rend(), [](const auto& seen) {
      return !(seen.first.flags & Qt::FramelessWindowHint);
    });
    return titled == framed.rend() ? std::nullopt : std::optional(titled->second);
  }
  std::optional<QMargins> framePromised(const Decoration& d) const { return find(promised, d); }
  void saw(const Decoration& d, const QMargins& frame) {
    std::erase_if(framed, [&](const auto& seen) { return seen.first == d; });
    framed.emplace_back(d, frame);
  }
};

// The X connection, where the program runs on X11.
struct X11 {
  xcb_connection_t* connection;
  xcb_window_t root;

  Display& display() const {
    static Display known;
    if (known.connection != connection) known = Display{connection, false, {}, {}};
    return known;
  }

  xcb_atom_t atom(const char* name) const {
    static QHash<QByteArray, xcb_atom_t> known;
    const QByteArray key(name);
    if (auto it = known.constFind(key); it != known.constEnd()) return *it;
    const xcb_atom_t a = xcb::internAtom(connection, name);
    known.insert(key, a);
    return a;
  }

  std::vector<uint32_t> atoms(xcb_window_t window, const char* property) const {
    return xcb::values(xcb::property(connection, window, atom(property), XCB_ATOM_ATOM), XCB_ATOM_ATOM);
  }

  std::optional<QMargins> extents(xcb_window_t window) const {
    const auto e = xcb::values(
        xcb::property(connection, window, atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 4),
        XCB_ATOM_CARDINAL);
    if (e.size() != 4) return std::nullopt;
    // left, right, top, bottom
    return QMargins(int(e[0]), int(e[2]), int(e[1]), int(e[3]));
  }

  // The frame of a window that the manager holds in one: a window that
  // was on screen before keeps the frame it had then, or none, until the
  // manager takes it in again.
  std::optional<QMargins> frameOf(xcb_window_t window) const {
    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    if (!tree || tree->parent == tree->root) return std::nullopt;
    return extents(window);
  }
};

std::optional<X11> x11() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return std::nullopt;
  auto* native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!native || !native->connection()) return std::nullopt;
  xcb_connection_t* c = native->connection();
  return X11{c, xcb::rootOf(c)};
}

xcb_window_t nativeId(QWidget& window) { return static_cast<xcb_window_t>(window.winId()); }

// The frame of a window on screen, once the manager has put one round it.
// openbox reports an empty frame for a moment when it takes a window that
// was on screen before in again.
// A frameless window's is none: fluxbox leaves the frame of its last
// showing in place for a moment.
std::optional<QMargins> framedNow(const X11& x, QWidget& window) {
  if (!window.isVisible()) return std::nullopt;
  if (window.windowFlags() & Qt::FramelessWindowHint) return QMargins();
  const auto frame = x.frameOf(nativeId(window));
  if (!frame || frame->isNull()) return std::nullopt;
  x.display().saw(decorationOf(window), *frame);  // the manager's notice may have come before
  return frame;
}

QMargins marginsQtKnows(const QWidget& window) {
  const QRect outer = window.frameGeometry();
  const QRect inner = window.geometry();
  return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
          outer.bottom() - inner.bottom()};
}

// Asks the manager for the frame an unmapped window will get. The question
// is put for a stand-in window with the same decoration hints: a manager
// answers it by managing the window for a moment, and the configure events
// that it sends then would leave Qt with a wrong idea of the real window's
// geometry.
std::optional<QMargins> askManager(const X11& x, xcb_window_t id) {
  // Each question is sent before the answers before it are taken, so that
  // they come back together rather than one round trip each.
  const auto ask = [&](xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
    return xcb::askProperty(x.connection, window, property, type);
  };
  const auto supported = ask(x.root, x.atom("_NET_SUPPORTED"), XCB_ATOM_ATOM);
  if (std::ranges::count(xcb::values(xcb::takeProperty(x.connection, supported), XCB_ATOM_ATOM),
                         x.atom("_NET_REQUEST_FRAME_EXTENTS")) == 0)
    return std::nullopt;
  // The hints the frame depends on; the last two need no look-up.
  const std::array<xcb_atom_t, 4> copied{x.atom("_MOTIF_WM_HINTS"), x.atom("_NET_WM_WINDOW_TYPE"),
                                         XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_TRANSIENT_FOR};
  std::array<xcb_get_property_cookie_t, copied.size()> cookies;
  for (size_t i = 0; i < copied.size(); ++i)
    cookies[i] = ask(id, copied[i], XCB_GET_PROPERTY_TYPE_ANY);
  std::array<PropertyReply, copied.size()> values;
  for (size_t i = 0; i < copied.size(); ++i) values[i] = xcb::takeProperty(x.connection, cookies[i]);

  const xcb_window_t probe = xcb_generate_id(x.connection);
  xcb_create_window(x.connection, XCB_COPY_FROM_PARENT, probe, x.root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
  for (size_t i = 0; i < copied.size(); ++i) {
    const auto& reply = values[i];
    if (!reply || reply->type == XCB_ATOM_NONE) continue;
    xcb_change_property(x.connection, XCB_PROP_MODE_REPLACE, probe, copied[i], reply->type,
                        reply->format,
                        static_cast<uint32_t>(xcb_get_property_value_length(reply.get()) /
                                              (reply->format / 8)),
                        xcb_get_property_value(reply.get()));
  }
  xcb::requestFrameExtents(x.connection, probe);
  std::optional<QMargins> frame;
  QElapsedTimer waited;
  waited.start();
  do {
    if ((frame = x.extents(probe))) break;
    QThread::usleep(200);
  } while (waited.elapsed() < kExtentsWaitMs);
  xcb_destroy_window(x.connection, probe);
  xcb_flush(x.connection);
  return frame;
}

void setSkipTaskbar(const X11& x, QWidget& window, bool skip, bool mapped) {
  const xcb_window_t id = nativeId(window);
  const xcb_atom_t state = x.atom("_NET_WM_STATE");
  const xcb_atom_t skipAtom = x.atom("_NET_WM_STATE_SKIP_TASKBAR");
  if (mapped) {
    xcb::sendToManager(x.connection, id, state, {skip ? 1u : 0u, skipAtom, 0u, 1u});
    return;
  }
  // Unmapped: the property itself; Qt adds its own states to it on show.
  auto atoms = x.atoms(id, "_NET_WM_STATE");
  std::erase(atoms, skipAtom);
  if (skip) atoms.push_back(skipAtom);
  xcb_change_property(x.connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                      static_cast<uint32_t>(atoms.size()), atoms.data());
  xcb_flush(x.connection);
}

void centre(QWidget& window);

constexpr auto kKeeperName = QLatin1StringView("kivoWindowKeeper");

// What the platform keeps of one window, and what it does at its show, at
// a change of its state and once the manager has framed it.
class WindowKeeper final : public QObject {
 public:
  static WindowKeeper& of(QWidget& window) {
    if (auto* keeper = find(window)) return *keeper;
    auto* keeper = new WindowKeeper(window);
    window.installEventFilter(keeper);
    return *keeper;
  }
  static WindowKeeper* find(const QWidget& window) {
    return static_cast<WindowKeeper*>(
        window.findChild<QObject*>(kKeeperName, Qt::FindDirectChildrenOnly));
  }

  bool inTaskbar = true;
  // Placed by its frame's corner, while the frame is unknown.
  std::optional<QPoint> frameCorner;
  // Centred by a frame that may not be the one the manager gives it.
  std::optional<QMargins> centredBy;
  // The frame it had when it was last on screen.
  std::optional<QMargins> lastFrame;
  std::function<void()> onFramed;

  void framed() {
    const auto x = x11();
    if (!x) return;
    const auto frame = framedNow(*x, window_);
    if (!frame) return;
    lastFrame = frame;
    frameCorner.reset();
    if (const auto by = std::exchange(centredBy, std::nullopt); by && *by != *frame) centre(window_);
    if (onFramed) onFramed();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &window_) return false;
    const auto x = x11();
    if (!x) return false;
    if (event->type() == QEvent::Show) {
      // The native window takes the size the hidden widget was given only
      // now, and as a client position; Qt would set that at the mapping.
      if (frameCorner && window_.geometry().topLeft() == *frameCorner) {
        window_.windowHandle()->setGeometry(window_.geometry());
        window_.windowHandle()->setFramePosition(*frameCorner);
      }
      // The manager drops a window's states when it is hidden, so they are
      // set again at each show, which Qt announces before it maps the window.
      if (!inTaskbar) setSkipTaskbar(*x, window_, !window_.isMinimized(), false);
    } else if (event->type() == QEvent::WindowStateChange && !inTaskbar && window_.isVisible()) {
      setSkipTaskbar(*x, window_, !window_.isMinimized(), true);
    }
    return false;
  }

 private:
  explicit WindowKeeper(QWidget& window);
  QWidget& window_;
};

// Tells a window's keeper when the manager has put its frame round it.
class FrameWatch final : public QAbstractNativeEventFilter {
 public:
  explicit FrameWatch(xcb_atom_t extents) : extents_(extents) {}

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
    const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
    if (change->atom != extents_) return false;
    if (QWidget* window = QWidget::find(change->window))
      if (WindowKeeper* keeper = WindowKeeper::find(*window))
        // Once Qt has taken in the configure events that come with it.
        QMetaObject::invokeMethod(keeper, [keeper] { keeper->framed(); }, Qt::QueuedConnection);
    return false;
  }

 private:
  xcb_atom_t extents_;
};

WindowKeeper::WindowKeeper(QWidget& window) : QObject(&window), window_(window) {
  setObjectName(kKeeperName);
  static bool watching = false;
  if (const auto x = x11(); x && !watching) {
    watching = true;
    qApp->installNativeEventFilter(new FrameWatch(x->atom("_NET_FRAME_EXTENTS")));
  }
}

// A window not yet framed whose frame the manager would not tell.
bool frameUnknown(QWidget& window, const X11& x) {
  return x.display().silent && !framedNow(x, window);
}

// Between the client area's corner as Qt holds it and the frame's corner.
QMargins placedBy(QWidget& window) {
  const auto x = x11();
  if (!x || !frameUnknown(window, *x)) return frameMargins(window);
  const WindowKeeper& keeper = WindowKeeper::of(window);
  // Once mapped, Qt holds the client's corner, whether or not the notice
  // of the frame came through.
  if (keeper.frameCorner == window.geometry().topLeft()) return {};
  return keeper.lastFrame.value_or(frameMargins(window));
}

void centre(QWidget& window) {
  const QRect free = window.screen()->availableGeometry();
  const QMargins frame = frameMargins(window);
  const QSize outer = window.size().grownBy(frame);
  moveFrameTo(window, free.topLeft() + QPoint((free.width() - outer.width()) / 2,
                                              (free.height() - outer.height()) / 2));
  WindowKeeper::of(window).centredBy = frame;
}

}  // namespace

QMargins frameMargins(QWidget& window) {
  const auto x = x11();
  if (!x) return marginsQtKnows(window);
  const xcb_window_t id = nativeId(window);
  if (const auto frame = framedNow(*x, window)) return *frame;
  // xfwm4 and icewm answer the request with their full decoration, whatever
  // the window's hints ask for.
  if (window.windowFlags() & Qt::FramelessWindowHint) return {};
  WindowKeeper::of(window);  // watches for the frame the window gets
  const Decoration decoration = decorationOf(window);
  Display& display = x->display();
  if (const auto frame = display.framePromised(decoration)) return *frame;
  if (!display.silent) {
    if (const auto frame = askManager(*x, id)) {
      display.promised.emplace_back(decoration, *frame);
      return *frame;
    }
    display.silent = true;
  }
  return display.frameSeen(decoration).value_or(QMargins());
}

std::optional<QMargins> frameOnScreen(QWidget& window) {
  const auto x = x11();
  if (!x) return marginsQtKnows(window);
  return framedNow(*x, window);
}

void whenFramed(QWidget& window, std::function<void()> then) {
  WindowKeeper::of(window).onFramed = std::move(then);
}

QPoint frameTopLeft(QWidget& window) {
  const QMargins m = placedBy(window);
  return window.geometry().topLeft() - QPoint(m.left(), m.top());
}

void moveFrameTo(QWidget& window, QPoint topLeft) {
  window.winId();  // a created window is placed by its client area
  // Qt adds the part of the frame it knows of; the rest is added here.
  const QPoint known = window.geometry().topLeft() - window.pos();
  if (const auto x = x11()) {
    WindowKeeper& keeper = WindowKeeper::of(window);
    keeper.centredBy.reset();
    keeper.frameCorner.reset();
    if (frameUnknown(window, *x)) {
      // The manager then puts the frame's corner where the window stands.
      window.move(topLeft - known);
      window.windowHandle()->setFramePosition(topLeft);
      keeper.frameCorner = topLeft;
      return;
    }
  }
  const QMargins m = frameMargins(window);
  window.move(topLeft + QPoint(m.left(), m.top()) - known);
}

void centreOnScreen(QWidget& window) {
  window.adjustSize();
  centre(window);
}

void setInTaskbar(QWidget& window, bool shown) {
  WindowKeeper::of(window).inTaskbar = shown;
  if (window.testAttribute(Qt::WA_WState_Created))
    if (const auto x = x11())
      setSkipTaskbar(*x, window, !shown && !window.isMinimized(), window.isVisible());
}

bool inTaskbar(const QWidget& window) {
  const WindowKeeper* keeper = WindowKeeper::find(window);
  return !keeper || keeper->inTaskbar;
}

void showInFront(QWidget& window) {
  // show() and activateWindow() leave a minimised window minimised. The
  // manager raises what it activates; icewm marks a window that raises
  // itself unfocused as asking for attention, and lists it in its taskbar.
  window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
  window.show();
  window.activateWindow();
}

void offerMaximise(QWidget& window) {
  const auto x = x11();
  if (!x) return;
  // Qt writes the hints when the flags are set: flags, functions, decorations, ...
  constexpr uint32_t kFunctionsGiven = 1, kAllFunctions = 1, kMaximise = 16;
  const xcb_window_t id = nativeId(window);
  const xcb_atom_t hints = x->atom("_MOTIF_WM_HINTS");
  auto h = xcb::values(xcb::property(x->connection, id, hints, hints, 5), hints);
  if (h.size() != 5 || !(h[0] & kFunctionsGiven) || (h[1] & (kAllFunctions | kMaximise))) return;
  h[1] |= kMaximise;
  xcb_change_property(x->connection, XCB_PROP_MODE_REPLACE, id, hints, hints, 32, 5, h.data());
  xcb_flush(x->connection);
}

}  // namespace kivo
