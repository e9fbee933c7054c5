#include "X11Session.h"

#include "platform_ui/Xcb.h"
#include "support/Windows.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace kivo::test {
namespace {

using xcb::Reply;

xcb_connection_t* qtConnection() {
  auto* native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return native ? native->connection() : nullptr;
}

}  // namespace

QString run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(10000)) {
    p.kill();
    p.waitForFinished(1000);
    ADD_FAILURE() << qPrintable(program) << " did not end within 10 s";
    return {};
  }
  if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    ADD_FAILURE() << qPrintable(program) << " " << qPrintable(args.join(u' ')) << " failed: "
                  << qPrintable(QString::fromLocal8Bit(p.readAllStandardError()));
  return QString::fromUtf8(p.readAllStandardOutput());
}

namespace {

Reply<xcb_get_property_reply_t> property(xcb_connection_t* c, xcb_window_t window, const char* name,
                                         xcb_atom_t type) {
  return xcb::property(c, window, xcb::internAtom(c, name), type);
}

QStringList atomNames(xcb_connection_t* c, xcb_window_t window, const char* name) {
  QStringList names;
  const auto reply = property(c, window, name, XCB_ATOM_ATOM);
  if (!reply || reply->format != 32) return names;
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
  for (int i = 0; i < xcb_get_property_value_length(reply.get()) / 4; ++i)
    if (Reply<xcb_get_atom_name_reply_t> n{xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atoms[i]), nullptr)})
      names << QString::fromLatin1(xcb_get_atom_name_name(n.get()), xcb_get_atom_name_name_length(n.get()));
  return names;
}

void collectWindows(xcb_connection_t* c, xcb_window_t root, xcb_window_t window, qint64 pid,
                    std::vector<ClientWindow>& found) {
  if (const auto owner = property(c, window, "_NET_WM_PID", XCB_ATOM_CARDINAL);
      owner && xcb_get_property_value_length(owner.get()) == 4) {
    if (*static_cast<const uint32_t*>(xcb_get_property_value(owner.get())) != pid) return;
    ClientWindow w;
    w.id = window;
    if (const auto name = property(c, window, "_NET_WM_NAME", xcb::internAtom(c, "UTF8_STRING")))
      w.title = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(name.get())),
                                  xcb_get_property_value_length(name.get()));
    w.types = atomNames(c, window, "_NET_WM_WINDOW_TYPE");
    if (Reply<xcb_get_window_attributes_reply_t> a{xcb_get_window_attributes_reply(
            c, xcb_get_window_attributes(c, window), nullptr)})
      w.viewable = a->map_state == XCB_MAP_STATE_VIEWABLE;
    Reply<xcb_get_geometry_reply_t> g{xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr)};
    Reply<xcb_translate_coordinates_reply_t> at{xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, root, 0, 0), nullptr)};
    if (g && at) w.client = QRect(at->dst_x, at->dst_y, g->width, g->height);
    found.push_back(w);
    return;
  }
  Reply<xcb_query_tree_reply_t> tree{xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr)};
  if (!tree) return;
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
    collectWindows(c, root, children[i], pid, found);
}

}  // namespace

FrameWatch::FrameWatch() : connection_(xcb_connect(nullptr, nullptr)) {
  const xcb_window_t root = xcb::rootOf(connection_);
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection_, root, XCB_CW_EVENT_MASK, &mask);
  xcb::roundTrip(connection_);
}

FrameWatch::~FrameWatch() { xcb_disconnect(connection_); }

void FrameWatch::drain() {
  // A round trip on Qt's connection, then on ours: what Qt asked for has
  // been done, and what followed from it has reached us.
  if (xcb_connection_t* c = qtConnection()) xcb::roundTrip(c);
  xcb::roundTrip(connection_);
  while (const Reply<xcb_generic_event_t> event{xcb_poll_for_event(connection_)}) {
    const xcb_generic_event_t* e = event.get();
    const int type = e->response_type & 0x7f;
    if (type == XCB_CREATE_NOTIFY) {
      const auto* c = reinterpret_cast<const xcb_create_notify_event_t*>(e);
      events_.push_back({type, c->window, 0, QPoint(c->x, c->y)});
    } else if (type == XCB_CONFIGURE_NOTIFY) {
      const auto* c = reinterpret_cast<const xcb_configure_notify_event_t*>(e);
      events_.push_back({type, c->window, 0, QPoint(c->x, c->y)});
    } else if (type == XCB_MAP_NOTIFY) {
      events_.push_back({type, reinterpret_cast<const xcb_map_notify_event_t*>(e)->window, 0, {}});
    } else if (type == XCB_REPARENT_NOTIFY) {
      const auto* r = reinterpret_cast<const xcb_reparent_notify_event_t*>(e);
      events_.push_back({type, r->window, r->parent, {}});
    }
  }
}

std::vector<QPoint> FrameWatch::placesSinceMapped(unsigned long id) {
  drain();
  const xcb_window_t root = xcb::rootOf(connection_);
  unsigned long top = id;
  QHash<unsigned long, QPoint> at;  // of the windows at the top
  std::vector<QPoint> places;
  for (const Event& e : events_) {
    if (e.type == XCB_REPARENT_NOTIFY && e.window == id) top = e.parent == root ? id : e.parent;
    if (e.type == XCB_CREATE_NOTIFY || e.type == XCB_CONFIGURE_NOTIFY) {
      at[e.window] = e.at;
      if (e.window == top && !places.empty() && places.back() != e.at) places.push_back(e.at);
    }
    if (e.type == XCB_MAP_NOTIFY && e.window == top) places = {at.value(top)};
  }
  return places;
}

// The window manager puts each client into a frame window of its own: the
// outer window is the client's ancestor that is a child of the root.
SeenWindow seenWindow(unsigned long id) {
  SeenWindow seen;
  xcb_connection_t* c = qtConnection();
  if (!c) return seen;
  auto window = static_cast<xcb_window_t>(id);
  if (const Reply<xcb_get_window_attributes_reply_t> a{
          xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr)})
    seen.viewable = a->map_state == XCB_MAP_STATE_VIEWABLE;
  for (;;) {
    const Reply<xcb_query_tree_reply_t> tree{xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr)};
    if (!tree) return seen;
    if (tree->parent == tree->root) break;
    window = tree->parent;
  }
  if (const Reply<xcb_query_tree_reply_t> top{xcb_query_tree_reply(c, xcb_query_tree(c, xcb::rootOf(c)), nullptr)}) {
    const xcb_window_t* children = xcb_query_tree_children(top.get());
    seen.stacked = int(std::find(children, children + xcb_query_tree_children_length(top.get()), window) - children);
  }
  if (const Reply<xcb_get_geometry_reply_t> g{xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr)})
    seen.frame = QRect(g->x, g->y, g->width + 2 * g->border_width, g->height + 2 * g->border_width);
  return seen;
}

QStringList netWmState(unsigned long id) {
  xcb_connection_t* c = qtConnection();
  return c ? atomNames(c, static_cast<xcb_window_t>(id), "_NET_WM_STATE") : QStringList();
}

unsigned long activeWindow() {
  xcb_connection_t* c = qtConnection();
  if (!c) return 0;
  const xcb_window_t root = xcb::rootOf(c);
  const auto active = property(c, root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
  // xfwm4 adds a second window to the value.
  if (!active || xcb_get_property_value_length(active.get()) < 4) return 0;
  return *static_cast<const xcb_window_t*>(xcb_get_property_value(active.get()));
}

unsigned long inputFocus() {
  xcb_connection_t* c = qtConnection();
  if (!c) return 0;
  Reply<xcb_get_input_focus_reply_t> focus{
      xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)};
  return focus ? focus->focus : 0;
}

std::vector<ClientWindow> windowsOf(qint64 pid) {
  std::vector<ClientWindow> found;
  xcb_connection_t* c = qtConnection();
  if (!c) return found;
  const xcb_window_t root = xcb::rootOf(c);
  collectWindows(c, root, root, pid, found);
  return found;
}

bool settle(const std::function<bool()>& done, int limitMs) {
  QElapsedTimer waited;
  waited.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (done()) return true;
    QThread::msleep(5);
  } while (waited.elapsed() < limitMs);
  return done();
}

void pump(int ms) { settle([] { return false; }, ms); }

QImage screen() {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("screen.png"));
  run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), file});
  return QImage(file);
}

void saveShot(const QImage& image, const QString& name) { image.save(shotPath(name)); }

}  // namespace kivo::test
