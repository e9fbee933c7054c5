#include "bench.h"

#include <QCoreApplication>
#include <QProcess>

#include <csignal>
#include <optional>
#include <sys/prctl.h>

namespace kivo::bench {
namespace {

// A process of the benchmark's ends with it, even when it is interrupted.
void endsWithBench(QProcess& process) {
  process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

// An X server of our own on a free display: the server picks the display
// and writes its number to the descriptor it is given, here its stdout.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    endsWithBench(server_);
    server_.setStandardErrorFile(QProcess::nullDevice());
    server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                           QStringLiteral("-screen"), QStringLiteral("0"),
                                           QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                                           QStringLiteral("tcp")});
    if (!server_.waitForStarted(5000)) return;
    QByteArray number;
    while (!number.contains('\n') && server_.waitForReadyRead(10000)) number += server_.readAllStandardOutput();
    if (!number.trimmed().isEmpty()) name_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
  }
  ~VirtualDisplay() {
    if (server_.state() == QProcess::NotRunning) return;
    server_.terminate();
    if (!server_.waitForFinished(5000)) {
      server_.kill();
      server_.waitForFinished(2000);
    }
  }
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  const QString& name() const { return name_; }

 private:
  QProcess server_;
  QString name_;
};

QProcessEnvironment environmentOn(const QString& display) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), display);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  env.remove(QStringLiteral("QT_LOGGING_RULES"));
  return env;
}

struct Program {
  const char* startName;
  const char* residentName;
  QString path;
  // Its window that counts as shown, in the order the program maps them:
  // the first for the bare window and the editor (whatever window the
  // editor shows first), the third for the player, which maps its loader
  // and its run window before the box that asks for a file.
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
  VirtualDisplay display;
  require(!display.name().isEmpty(), "Xvfb gave no display");
  const Program programs[] = {
      {"bare_window_start_ms", "bare_window_rss_mb", QStringLiteral(KIVO_BARE_WINDOW), 1},
      {"editor_start_ms", "editor_rss_mb", QStringLiteral(KIVO_EDITOR), 1},
      {"player_start_ms", "player_rss_mb", QStringLiteral(KIVO_PLAYER), 3},
  };
  constexpr int kCount = sizeof programs / sizeof programs[0];

  // Turn about, so that all three see the same load of a shared machine.
  Samples shown[kCount], resident[kCount];
  for (int run = 0; run < 11; ++run)
    for (int p = 0; p < kCount; ++p)
      shown[p].push_back(launch(display.name(), programs[p], 0).shownMs);
  // Idle: past the editor's splash and with the player's box up.
  for (int run = 0; run < 5; ++run)
    for (int p = 0; p < kCount; ++p)
      resident[p].push_back(launch(display.name(), programs[p], 1500).residentMb);
  for (int p = 0; p < kCount; ++p) report(programs[p].startName, shown[p], "ms");
  for (int p = 0; p < kCount; ++p) report(programs[p].residentName, resident[p], "MB");

  Samples runResident, pauseCpu;
  for (int run = 0; run < 3; ++run) runResident.push_back(child(display.name(), "run-resident", 120000));
  report("run_rss_mb", runResident, "MB");
  for (int run = 0; run < 3; ++run) pauseCpu.push_back(child(display.name(), "pause-cpu", 60000));
  report("pause_cpu_pct", pauseCpu, "%");
}

}  // namespace kivo::bench
