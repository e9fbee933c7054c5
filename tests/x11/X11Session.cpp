#include "X11Session.h"

#include "support/Windows.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHash>
#include <QProcess>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <fcntl.h>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <memory>

extern char** environ;

namespace kivo::test {
namespace {

// Output goes nowhere; `env` ("NAME=value") replaces variables of ours. The
// child leads a process group of its own, which is ended with it.
pid_t spawn(const char* program, std::initializer_list<const char*> args,
            const std::vector<QByteArray>& env = {}) {
  std::vector<char*> argv{const_cast<char*>(program)};
  for (const char* a : args) argv.push_back(const_cast<char*>(a));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e)
    if (std::none_of(env.begin(), env.end(), [&](const QByteArray& v) {
          return std::strncmp(*e, v.constData(), v.indexOf('=') + 1) == 0;
        }))
      envp.push_back(*e);
  for (const QByteArray& v : env) envp.push_back(const_cast<char*>(v.constData()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  pid_t pid = 0;
  const int failed = posix_spawnp(&pid, program, &actions, &attr, argv.data(), envp.data());
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  return failed ? 0 : pid;
}

// The process and the group it leads, SIGKILL after three seconds. The
// leader is reaped last, so that the group's id cannot pass to another.
void end(pid_t pid) {
  if (pid <= 0) return;
  kill(-pid, SIGTERM);
  QElapsedTimer waited;
  waited.start();
  siginfo_t info{};
  while (waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0 &&
         waited.elapsed() < 3000)
    QThread::msleep(10);
  kill(-pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// The display number that Xvfb writes once it listens, or nothing if it
// has not within `limitMs`.
QByteArray readLine(int fd, int limitMs) {
  QByteArray line;
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    const int left = limitMs - int(waited.elapsed());
    if (left <= 0 || poll(&p, 1, left) <= 0) return {};
    char c;
    if (read(fd, &c, 1) != 1) return {};
    if (c == '\n') return line;
    line += c;
  }
}

// Openbox's defaults, but one desktop and nothing of the user's.
constexpr char kOpenboxConfig[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme><name>Clearlooks</name><titleLayout>NLIMC</titleLayout></theme>
  <desktops><number>1</number></desktops>
</openbox_config>
)";

struct FreeReply {
  void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

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

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  auto* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  std::free(reply);
  return a;
}

// The manager is at work once it answers a request for a new window's frame:
// it announces itself a moment before it serves requests, and the programs
// under test ask for frames from their first window on.
bool managerAnswers(int limitMs) {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    return false;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
  const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
  bool answered = false;
  QElapsedTimer waited;
  waited.start();
  while (!answered && waited.elapsed() < limitMs) {
    const xcb_window_t probe = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = probe;
    event.type = request;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
    for (int i = 0; i < 20 && !answered; ++i) {
      QThread::msleep(10);
      auto* reply = xcb_get_property_reply(
          c, xcb_get_property(c, 0, probe, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr);
      answered = reply && xcb_get_property_value_length(reply) == 16;
      std::free(reply);
    }
    xcb_destroy_window(c, probe);
    xcb_flush(c);
  }
  xcb_disconnect(c);
  return answered;
}

Reply<xcb_get_property_reply_t> property(xcb_connection_t* c, xcb_window_t window, const char* name,
                                         xcb_atom_t type) {
  return Reply<xcb_get_property_reply_t>(xcb_get_property_reply(
      c, xcb_get_property(c, 0, window, atom(c, name), type, 0, 1024), nullptr));
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
    if (const auto name = property(c, window, "_NET_WM_NAME", atom(c, "UTF8_STRING")))
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

X11Session::X11Session(const QString& manager) {
  int fds[2];
  if (pipe(fds) != 0 || !config_.isValid()) {
    problem_ = QStringLiteral("no pipe or no temporary folder");
    return;
  }
  // The server picks a free display and writes its number to the pipe.
  const QByteArray fd = QByteArray::number(fds[1]);
  server_ = spawn("Xvfb", {"-displayfd", fd.constData(), "-screen", "0", "1280x1024x24",
                           "-nolisten", "tcp"});
  close(fds[1]);
  if (!server_) {
    problem_ = QStringLiteral("Xvfb did not start");
    close(fds[0]);
    return;
  }
  const QByteArray number = readLine(fds[0], 10000);
  close(fds[0]);
  if (number.isEmpty()) {
    problem_ = QStringLiteral("Xvfb gave no display within 10 s");
    return;
  }
  display_ = QStringLiteral(":") + QString::fromLatin1(number);
  setenv("DISPLAY", display_.toLatin1().constData(), 1);

  const QByteArray home = QFile::encodeName(config_.path());
  const std::vector<QByteArray> env{"XDG_CONFIG_HOME=" + home, "NO_AT_BRIDGE=1"};
  if (manager == QLatin1String("openbox")) {
    const QByteArray rc = home + "/openbox-rc.xml";
    QFile file(QString::fromLocal8Bit(rc));
    if (!file.open(QIODevice::WriteOnly) || file.write(kOpenboxConfig) < 0 || !file.flush()) {
      problem_ = QStringLiteral("cannot write openbox's configuration");
      return;
    }
    manager_ = spawn("openbox", {"--config-file", rc.constData()}, env);
  } else if (manager == QLatin1String("xfwm4")) {
    // xfwm4 reads its settings through a session bus: one of its own.
    manager_ = spawn("dbus-run-session", {"--", "xfwm4", "--compositor=off"}, env);
  } else {
    problem_ = QStringLiteral("no such window manager: ") + manager;
    return;
  }
  if (!manager_) {
    problem_ = manager + QStringLiteral(" did not start");
    return;
  }
  ready_ = managerAnswers(10000);
  if (!ready_) problem_ = manager + QStringLiteral(" did not take over the display");
}

X11Session::~X11Session() {
  end(manager_);
  end(server_);
}

FrameWatch::FrameWatch() : connection_(xcb_connect(nullptr, nullptr)) {
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection_, root, XCB_CW_EVENT_MASK, &mask);
  std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

FrameWatch::~FrameWatch() { xcb_disconnect(connection_); }

void FrameWatch::drain() {
  // A round trip on Qt's connection, then on ours: what Qt asked for has
  // been done, and what followed from it has reached us.
  if (xcb_connection_t* c = qtConnection())
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
  while (xcb_generic_event_t* e = xcb_poll_for_event(connection_)) {
    const int type = e->response_type & 0x7f;
    if (type == XCB_CREATE_NOTIFY) {
      const auto* c = reinterpret_cast<xcb_create_notify_event_t*>(e);
      events_.push_back({type, c->window, 0, QPoint(c->x, c->y)});
    } else if (type == XCB_CONFIGURE_NOTIFY) {
      const auto* c = reinterpret_cast<xcb_configure_notify_event_t*>(e);
      events_.push_back({type, c->window, 0, QPoint(c->x, c->y)});
    } else if (type == XCB_MAP_NOTIFY) {
      events_.push_back({type, reinterpret_cast<xcb_map_notify_event_t*>(e)->window, 0, {}});
    } else if (type == XCB_REPARENT_NOTIFY) {
      const auto* r = reinterpret_cast<xcb_reparent_notify_event_t*>(e);
      events_.push_back({type, r->window, r->parent, {}});
    }
    std::free(e);
  }
}

std::vector<QPoint> FrameWatch::placesSinceMapped(unsigned long id) {
  drain();
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
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
  if (auto* a = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr)) {
    seen.viewable = a->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(a);
  }
  for (;;) {
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    if (!tree) return seen;
    const bool top = tree->parent == tree->root;
    const xcb_window_t parent = tree->parent;
    std::free(tree);
    if (top) break;
    window = parent;
  }
  if (auto* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr)) {
    seen.frame = QRect(g->x, g->y, g->width + 2 * g->border_width, g->height + 2 * g->border_width);
    std::free(g);
  }
  return seen;
}

QStringList netWmState(unsigned long id) {
  xcb_connection_t* c = qtConnection();
  return c ? atomNames(c, static_cast<xcb_window_t>(id), "_NET_WM_STATE") : QStringList();
}

unsigned long activeWindow() {
  xcb_connection_t* c = qtConnection();
  if (!c) return 0;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
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
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
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
