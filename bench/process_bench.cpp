#include "bench.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <sys/prctl.h>
#include <vector>

namespace kivo::bench {
namespace {

// A process of the benchmark's ends with it, even when it is interrupted.
void endsWithBench(QProcess& process) {
  process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

// Ends a process of ours by its pid: asked first, killed past a limit.
void end(QProcess& process) {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (!process.waitForFinished(5000)) {
    process.kill();
    process.waitForFinished(2000);
  }
}

// The window manager has taken the display once it names its check window
// on the root, as it does after it has set out what it supports.
bool managerReady(const QString& display) {
  xcb_connection_t* c = xcb_connect(display.toLatin1().constData(), nullptr);
  bool ready = false;
  if (!xcb_connection_has_error(c)) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const char name[] = "_NET_SUPPORTING_WM_CHECK";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
    if (atom) {
      xcb_get_property_reply_t* check = xcb_get_property_reply(
          c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
      ready = check && xcb_get_property_value_length(check) == 4;
      std::free(check);
    }
    std::free(atom);
  }
  xcb_disconnect(c);
  return ready;
}

// An X server of our own on a free display: the server picks the display
// and writes its number to the descriptor it is given, here its stdout.
// With `managed`, openbox runs on it, on a configuration of the benchmark's
// own, never the user's. `problem()` says what failed, if anything did.
class VirtualDisplay {
 public:
  explicit VirtualDisplay(bool managed) {
    endsWithBench(server_);
    server_.setStandardErrorFile(QProcess::nullDevice());
    server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                           QStringLiteral("-screen"), QStringLiteral("0"),
                                           QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                                           QStringLiteral("tcp"),
                                           // A server that resets when its last client goes turns
                                           // away the next one for a moment, and starts each
                                           // program on a fresh server.
                                           QStringLiteral("-noreset")});
    if (!server_.waitForStarted(5000)) {
      problem_ = "Xvfb did not start";
      return;
    }
    QByteArray number;
    QElapsedTimer waited;
    waited.start();
    while (!number.contains('\n') && waited.elapsed() < 10000 &&
           server_.waitForReadyRead(static_cast<int>(10000 - waited.elapsed())))
      number += server_.readAllStandardOutput();
    if (!number.contains('\n') || number.trimmed().isEmpty()) {
      problem_ = "Xvfb gave no display";
      return;
    }
    name_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    if (managed) startManager();
  }
  ~VirtualDisplay() {
    end(manager_);
    end(server_);
  }
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  const QString& name() const { return name_; }
  const QByteArray& problem() const { return problem_; }

 private:
  void startManager() {
    // Defaults for all that is left out; XDG_CONFIG_HOME keeps the user's
    // menus and settings away too.
    QFile rc(config_.filePath(QStringLiteral("rc.xml")));
    if (!config_.isValid() || !rc.open(QIODevice::WriteOnly) ||
        rc.write("<?xml version=\"1.0\"?>\n"
                 "<openbox_config xmlns=\"http://openbox.org/3.4/rc\">\n"
                 "  <theme><name>Clearlooks</name><titleLayout>NLIMC</titleLayout></theme>\n"
                 "  <desktops><number>1</number></desktops>\n"
                 "</openbox_config>\n") < 0) {
      problem_ = "no configuration for openbox";
      return;
    }
    rc.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), name_);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
    endsWithBench(manager_);
    manager_.setProcessEnvironment(env);
    // A file, not a pipe: nothing needs to read it while the benchmark runs.
    manager_.setProcessChannelMode(QProcess::MergedChannels);
    manager_.setStandardOutputFile(config_.filePath(QStringLiteral("openbox.log")));
    manager_.start(QStringLiteral("openbox"),
                   {QStringLiteral("--sm-disable"), QStringLiteral("--config-file"), rc.fileName()});
    if (!manager_.waitForStarted(5000)) {
      problem_ = "openbox did not start";
      return;
    }
    QElapsedTimer waited;
    waited.start();
    while (!managerReady(name_)) {
      if (waited.elapsed() > 10000 || manager_.waitForFinished(10)) {
        problem_ = "openbox did not take over the display";
        QFile log(config_.filePath(QStringLiteral("openbox.log")));
        if (log.open(QIODevice::ReadOnly))
          if (QByteArray said = log.readAll().trimmed(); !said.isEmpty())
            problem_ += ": " + said.replace('\n', "; ");
        return;
      }
    }
  }

  QProcess server_;
  QProcess manager_;
  QTemporaryDir config_;
  QString name_;
  QByteArray problem_;
};

QProcessEnvironment environmentOn(const QString& display) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), display);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  env.remove(QStringLiteral("QT_LOGGING_RULES"));
  return env;
}

struct Program {
  QString path;
  // Its window that counts as shown, in the order the program maps them:
  // the first for the floors and the editor (whatever window the editor
  // shows first), the third for the player, which maps its loader and its
  // run window before the box that asks for a file.
  int window;
};

struct Launch {
  double shownMs = 0;
  double residentMb = 0;
};

// Starts `program` and times it from the start of its process to the first
// Expose of its counted window, read from Qt's own log of the display's
// events (no hook in the programs). With `settleMs`, it is then left alone
// that long and its memory read. It is ended by its pid either way.
Launch launch(const QString& display, const Program& program, int settleMs) {
  QProcess process;
  endsWithBench(process);
  QProcessEnvironment env = environmentOn(display);
  env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.qpa.events=true"));
  process.setProcessEnvironment(env);
  process.setProcessChannelMode(QProcess::MergedChannels);

  const double start = nowMs();
  process.start(program.path, {});
  std::optional<Launch> result;
  int mapped = 0;
  QByteArray pending;
  while (!result && process.waitForReadyRead(10000)) {
    pending += process.readAll();
    qsizetype end;
    while (!result && (end = pending.indexOf('\n')) >= 0) {
      const QByteArray line = pending.left(end);
      pending.remove(0, end + 1);
      if (line.contains("XCB_MAP_NOTIFY")) ++mapped;
      if (line.contains("XCB_EXPOSE") && mapped >= program.window) result = Launch{nowMs() - start, 0};
    }
  }
  if (result && settleMs > 0) {
    const double until = nowMs() + settleMs;
    // Reading on keeps its log from filling the pipe and stopping it.
    while (nowMs() < until) {
      process.waitForReadyRead(static_cast<int>(until - nowMs()) + 1);
      process.readAll();
    }
    result->residentMb = residentMb(process.processId());
  }
  process.kill();
  process.waitForFinished(5000);
  require(result.has_value(), qPrintable(program.path + QStringLiteral(" showed no window")));
  return *result;
}

// Runs one measurement of this benchmark in a process of its own on the
// display, and takes the number it prints.
double child(const QString& display, const char* name, int limitMs) {
  QProcess process;
  endsWithBench(process);
  process.setProcessEnvironment(environmentOn(display));
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QString::fromLatin1(name)});
  if (!process.waitForFinished(limitMs)) {
    process.kill();
    process.waitForFinished(5000);
    require(false, "a measuring process did not finish");
  }
  bool ok = false;
  const double value = process.readAllStandardOutput().trimmed().toDouble(&ok);
  require(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 && ok,
          "a measuring process failed");
  return value;
}

}  // namespace

void benchProcesses() {
  const VirtualDisplay plain(false), managed(true);
  for (const VirtualDisplay* display : {&plain, &managed})
    if (!display->problem().isEmpty()) require(false, display->problem().constData());
  const Program bareWindow{QStringLiteral(KIVO_BARE_WINDOW), 1};
  const Program textWindow{QStringLiteral(KIVO_TEXT_WINDOW), 1};
  const Program editor{QStringLiteral(KIVO_EDITOR), 1};
  const Program player{QStringLiteral(KIVO_PLAYER), 3};
  struct Figure {
    const char* name;
    const Program& program;
    const VirtualDisplay& display;
  };
  const Figure starts[] = {
      {"bare_window_start_ms", bareWindow, plain},  {"text_window_start_ms", textWindow, plain},
      {"editor_start_ms", editor, plain},           {"player_start_ms", player, plain},
      {"text_window_wm_start_ms", textWindow, managed}, {"editor_wm_start_ms", editor, managed},
      {"player_wm_start_ms", player, managed},
  };
  const Figure residents[] = {
      {"bare_window_rss_mb", bareWindow, plain},
      {"editor_rss_mb", editor, plain},
      {"player_rss_mb", player, plain},
  };

  // Turn about, so that all see the same load of a shared machine.
  std::vector<Samples> shown(std::size(starts)), resident(std::size(residents));
  for (int run = 0; run < 15; ++run)
    for (size_t f = 0; f < std::size(starts); ++f)
      shown[f].push_back(launch(starts[f].display.name(), starts[f].program, 0).shownMs);
  // Idle: past the editor's splash and with the player's box up.
  for (int run = 0; run < 5; ++run)
    for (size_t f = 0; f < std::size(residents); ++f)
      resident[f].push_back(launch(residents[f].display.name(), residents[f].program, 1500).residentMb);
  for (size_t f = 0; f < std::size(starts); ++f) report(starts[f].name, shown[f], "ms");
  for (size_t f = 0; f < std::size(residents); ++f) report(residents[f].name, resident[f], "MB");

  Samples runResident, pauseCpu;
  for (int run = 0; run < 3; ++run) runResident.push_back(child(plain.name(), "run-resident", 120000));
  report("run_rss_mb", runResident, "MB");
  for (int run = 0; run < 3; ++run) pauseCpu.push_back(child(plain.name(), "pause-cpu", 60000));
  report("pause_cpu_pct", pauseCpu, "%");
}

}  // namespace kivo::bench
