#include "platform/WindowFrame.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QThread>
#include <QVariant>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace kivo {
namespace {

constexpr char kInTaskbar[] = "kivoInTaskbar";
// The frame last promised for a hidden window, and the flags it was for.
constexpr char kPromisedFrame[] = "kivoPromisedFrame";
constexpr char kPromisedFlags[] = "kivoPromisedFlags";
// A manager that announces the request answers within a few milliseconds;
// one that never does must not hold the program up for long.
constexpr int kExtentsWaitMs = 100;

struct FreeReply {
  void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

// The X connection, where the program runs on X11.
struct X11 {
  xcb_connection_t* connection;
  xcb_window_t root;

  xcb_atom_t atom(const char* name) const {
    static QHash<QByteArray, xcb_atom_t> known;
    const QByteArray key(name);
    if (auto it = known.constFind(key); it != known.constEnd()) return *it;
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr));
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    known.insert(key, a);
    return a;
  }

  std::vector<xcb_atom_t> atoms(xcb_window_t window, const char* property) const {
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, atom(property), XCB_ATOM_ATOM, 0, 1024),
        nullptr));
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM) return {};
    const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return {data, data + xcb_get_property_value_length(reply.get()) / 4};
  }

  bool managerSupports(const char* name) const {
    const auto supported = atoms(root, "_NET_SUPPORTED");
    const xcb_atom_t wanted = atom(name);
    return std::find(supported.begin(), supported.end(), wanted) != supported.end();
  }

  std::optional<QMargins> extents(xcb_window_t window) const {
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL,
                         0, 4),
        nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
      return std::nullopt;
    const auto* e = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    // left, right, top, bottom
    return QMargins(int(e[0]), int(e[2]), int(e[1]), int(e[3]));
  }

  void sendToRoot(xcb_window_t window, const char* type, std::initializer_list<uint32_t> data) const {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(type);
    int i = 0;
    for (uint32_t d : data) event.data.data32[i++] = d;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
  }
};

std::optional<X11> x11() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return std::nullopt;
  auto* native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!native || !native->connection()) return std::nullopt;
  xcb_connection_t* c = native->connection();
  return X11{c, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root};
}

xcb_window_t nativeId(QWidget& window) { return static_cast<xcb_window_t>(window.winId()); }

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
  if (!x.managerSupports("_NET_REQUEST_FRAME_EXTENTS")) return std::nullopt;
  const xcb_window_t probe = xcb_generate_id(x.connection);
  xcb_create_window(x.connection, XCB_COPY_FROM_PARENT, probe, x.root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
  for (const char* name : {"_MOTIF_WM_HINTS", "_NET_WM_WINDOW_TYPE", "WM_NORMAL_HINTS",
                           "WM_TRANSIENT_FOR"}) {
    const xcb_atom_t property = x.atom(name);
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        x.connection, xcb_get_property(x.connection, 0, id, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE) continue;
    xcb_change_property(x.connection, XCB_PROP_MODE_REPLACE, probe, property, reply->type,
                        reply->format,
                        static_cast<uint32_t>(xcb_get_property_value_length(reply.get()) /
                                              (reply->format / 8)),
                        xcb_get_property_value(reply.get()));
  }
  x.sendToRoot(probe, "_NET_REQUEST_FRAME_EXTENTS", {});
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
    x.sendToRoot(id, "_NET_WM_STATE", {skip ? 1u : 0u, skipAtom, 0u, 1u});
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

// The manager drops a window's states when it is hidden, so they are set
// again at each show, which Qt announces before it maps the window.
class TaskbarKeeper final : public QObject {
 public:
  using QObject::QObject;
  static TaskbarKeeper& instance() {
    static auto* keeper = new TaskbarKeeper(qApp);
    return *keeper;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType())
      if (const auto x = x11()) setSkipTaskbar(*x, *static_cast<QWidget*>(watched), true, false);
    return false;
  }
};

}  // namespace

QMargins frameMargins(QWidget& window) {
  const auto x = x11();
  if (!x) return marginsQtKnows(window);
  const xcb_window_t id = nativeId(window);
  if (window.isVisible()) return x->extents(id).value_or(marginsQtKnows(window));
  // xfwm4 and icewm answer the request with their full decoration, whatever
  // the window's hints ask for.
  if (window.windowFlags() & Qt::FramelessWindowHint) return {};
  // A fixed size changes the frame too: a manager draws no resize handle.
  const qint64 flags = static_cast<qint64>(window.windowFlags()) |
                       (window.minimumSize() == window.maximumSize() ? qint64(1) << 40 : 0);
  if (window.property(kPromisedFlags).toLongLong() == flags && window.property(kPromisedFrame).isValid())
    return window.property(kPromisedFrame).value<QMargins>();
  const QMargins frame = askManager(*x, id).value_or(QMargins());
  window.setProperty(kPromisedFrame, QVariant::fromValue(frame));
  window.setProperty(kPromisedFlags, flags);
  return frame;
}

std::optional<QMargins> frameOnScreen(QWidget& window) {
  const auto x = x11();
  if (!x) return marginsQtKnows(window);
  return x->extents(nativeId(window));
}

QPoint frameTopLeft(QWidget& window) {
  const QMargins m = frameMargins(window);
  return window.geometry().topLeft() - QPoint(m.left(), m.top());
}

void moveFrameTo(QWidget& window, QPoint topLeft) {
  window.winId();  // a created window is placed by its client area
  const QMargins m = frameMargins(window);
  // Qt adds the part of the frame it knows of; the rest is added here.
  const QPoint known = window.geometry().topLeft() - window.pos();
  window.move(topLeft + QPoint(m.left(), m.top()) - known);
}

QSize clientSizeFor(QWidget& window, QSize outer) {
  const QMargins m = frameMargins(window);
  return QSize(outer.width() - m.left() - m.right(), outer.height() - m.top() - m.bottom())
      .expandedTo(QSize(1, 1));
}

void setInTaskbar(QWidget& window, bool shown) {
  window.setProperty(kInTaskbar, shown);
  if (shown)
    window.removeEventFilter(&TaskbarKeeper::instance());
  else
    window.installEventFilter(&TaskbarKeeper::instance());
  if (window.testAttribute(Qt::WA_WState_Created))
    if (const auto x = x11()) setSkipTaskbar(*x, window, !shown, window.isVisible());
}

bool inTaskbar(const QWidget& window) {
  const QVariant shown = window.property(kInTaskbar);
  return !shown.isValid() || shown.toBool();
}

void offerMaximise(QWidget& window) {
  const auto x = x11();
  if (!x) return;
  // Qt writes the hints when the flags are set: flags, functions, decorations, ...
  constexpr uint32_t kFunctionsGiven = 1, kAllFunctions = 1, kMaximise = 16;
  const xcb_window_t id = nativeId(window);
  const xcb_atom_t hints = x->atom("_MOTIF_WM_HINTS");
  Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      x->connection, xcb_get_property(x->connection, 0, id, hints, hints, 0, 5), nullptr));
  if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 20) return;
  std::array<uint32_t, 5> h;
  std::memcpy(h.data(), xcb_get_property_value(reply.get()), sizeof h);
  if (!(h[0] & kFunctionsGiven) || (h[1] & (kAllFunctions | kMaximise))) return;
  h[1] |= kMaximise;
  xcb_change_property(x->connection, XCB_PROP_MODE_REPLACE, id, hints, hints, 32, 5, h.data());
  xcb_flush(x->connection);
}

}  // namespace kivo
