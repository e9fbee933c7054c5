#include "support/XServer.h"

#include "platform_ui/Xcb.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kivo::test {
namespace {

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

// The manager is at work once it answers a request for a new window's frame:
// it announces itself a moment before it serves requests, and the programs
// ask for frames from their first window on. One that never answers (fluxbox)
// is at work once it frames a window mapped for the purpose.
bool managerAnswers(const QString& display, const Process& manager, int limitMs, bool silent) {
  xcb_connection_t* c = xcb_connect(display.toLatin1().constData(), nullptr);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    return false;
  }
  const xcb_window_t root = xcb::rootOf(c);
  const xcb_atom_t extents = xcb::internAtom(c, "_NET_FRAME_EXTENTS");
  bool answered = false;
  QElapsedTimer waited;
  waited.start();
  while (!answered && manager.running() && waited.elapsed() < limitMs) {
    const xcb_window_t probe = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    if (silent) xcb_map_window(c, probe);
    xcb::requestFrameExtents(c, probe);
    for (int i = 0; i < 20 && !answered; ++i) {
      usleep(10000);
      const auto reply = xcb::property(c, probe, extents, XCB_ATOM_CARDINAL, 4);
      answered = reply && xcb_get_property_value_length(reply.get()) == 16;
    }
    xcb_destroy_window(c, probe);
    xcb_flush(c);
  }
  xcb_disconnect(c);
  return answered;
}

}  // namespace

bool Process::start(const char* program, const std::vector<QByteArray>& args,
                    const std::vector<QByteArray>& env, const QByteArray& log) {
  end();
  std::vector<char*> argv{const_cast<char*>(program)};
  for (const QByteArray& a : args) argv.push_back(const_cast<char*>(a.constData()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e)
    if (std::none_of(env.begin(), env.end(), [&](const QByteArray& v) {
          return std::strncmp(*e, v.constData(), v.indexOf('=') + 1) == 0;
        }))
      envp.push_back(*e);
  for (const QByteArray& v : env) envp.push_back(const_cast<char*>(v.constData()));
  envp.push_back(nullptr);
  const char* output = log.isEmpty() ? "/dev/null" : log.constData();
  // The child writes why it could not run the program here; the pipe closes
  // unwritten once the program runs.
  int failure[2];
  if (pipe2(failure, O_CLOEXEC) != 0) return false;
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {  // only calls that are safe between fork and exec
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    const int out = open(output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out >= 0) {
      dup2(out, STDOUT_FILENO);
      dup2(out, STDERR_FILENO);
    }
    execvpe(program, argv.data(), envp.data());
    const int error = errno;
    [[maybe_unused]] const ssize_t written = write(failure[1], &error, sizeof error);
    _exit(127);
  }
  close(failure[1]);
  int error = 0;
  const bool ran = pid > 0 && read(failure[0], &error, sizeof error) == 0;
  close(failure[0]);
  // The child has made its group by now: the pipe closes only at exec or exit.
  if (pid > 0) pid_ = pid;
  if (!ran) end();
  return ran;
}

bool Process::running() const {
  siginfo_t info{};
  return pid_ > 0 && waitid(P_PID, pid_, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

// The leader is reaped last, so that the group's id cannot pass to another.
void Process::end(int limitMs) {
  if (pid_ <= 0) return;
  kill(-pid_, SIGTERM);
  QElapsedTimer waited;
  waited.start();
  while (running() && waited.elapsed() < limitMs) usleep(10000);
  kill(-pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = 0;
}

XServer::XServer(const char* screen, const QString& manager) {
  int fds[2];
  if (!config_.isValid() || pipe(fds) != 0) {
    problem_ = QStringLiteral("no pipe or no temporary folder");
    return;
  }
  fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  // A server that resets when its last client leaves turns the next one
  // away for a moment: -noreset.
  const bool started = server_.start(
      "Xvfb", {"-displayfd", QByteArray::number(fds[1]), "-screen", "0", screen, "-nolisten", "tcp", "-noreset"});
  close(fds[1]);
  const QByteArray number = started ? readLine(fds[0], 10000) : QByteArray();
  close(fds[0]);
  if (!started)
    problem_ = QStringLiteral("Xvfb did not start");
  else if (number.isEmpty())
    problem_ = QStringLiteral("Xvfb gave no display within 10 s");
  else
    display_ = QStringLiteral(":") + QString::fromLatin1(number);
  if (ready() && !manager.isEmpty() && !startManager(manager)) {
    QFile log(config_.filePath(QStringLiteral("manager.log")));
    if (log.open(QIODevice::ReadOnly))
      if (QByteArray said = log.readAll().trimmed(); !said.isEmpty())
        problem_ += QStringLiteral(": ") + QString::fromLocal8Bit(said.replace('\n', "; "));
  }
}

bool XServer::startManager(const QString& manager) {
  const QByteArray home = QFile::encodeName(config_.path());
  const QByteArray log = home + "/manager.log";
  const std::vector<QByteArray> env{"DISPLAY=" + display_.toLatin1(), "XDG_CONFIG_HOME=" + home,
                                    "NO_AT_BRIDGE=1"};
  bool started = false;
  if (manager == QLatin1String("openbox")) {
    const QByteArray rc = home + "/openbox-rc.xml";
    QFile file(QFile::decodeName(rc));
    if (!file.open(QIODevice::WriteOnly) || file.write(kOpenboxConfig) < 0 || !file.flush()) {
      problem_ = QStringLiteral("cannot write openbox's configuration");
      return false;
    }
    started = manager_.start("openbox", {"--sm-disable", "--config-file", rc}, env, log);
  } else if (manager == QLatin1String("xfwm4")) {
    // xfwm4 reads its settings through a session bus: one of its own.
    started = manager_.start("dbus-run-session", {"--", "xfwm4", "--compositor=off"}, env, log);
  } else if (manager == QLatin1String("icewm") || manager == QLatin1String("fluxbox")) {
    // Their settings go to the home folder: ours.
    std::vector<QByteArray> own = env;
    own.push_back("HOME=" + home);
    started = manager_.start(manager.toLatin1().constData(), {}, own, log);
  } else {
    problem_ = QStringLiteral("no such window manager: ") + manager;
    return false;
  }
  if (!started)
    problem_ = manager + QStringLiteral(" did not start");
  else if (!managerAnswers(display_, manager_, 10000, manager == QLatin1String("fluxbox")))
    problem_ = manager + QStringLiteral(" did not take over the display");
  return ready();
}

}  // namespace kivo::test
