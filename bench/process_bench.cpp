#include "bench.h"

#include "support/XServer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <cstdio>
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

// How long a started program may stay silent, in a measured start and in
// the first start of each program on each display, which is not measured:
// on a fresh machine that one pays for the font caches fontconfig builds and
// for the programs' and fonts' files read from disk, and took over 10 s.
constexpr int kSilenceLimitMs = 10000;
constexpr int kFirstStartLimitMs = 120000;
// A first start longer than this is named on stderr.
constexpr double kSlowFirstStartMs = 2000;

// Starts `program` and times it from the start of its process to the first
// Expose of its counted window, read from Qt's own log of the display's
// events (no hook in the programs). With `settleMs`, it is then left alone
// that long and its memory read. It is ended by its pid either way.
Launch launch(const QString& display, const Program& program, int settleMs,
              int silenceLimitMs = kSilenceLimitMs) {
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
  while (!result && process.waitForReadyRead(silenceLimitMs)) {
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
  const bool ended = process.state() == QProcess::NotRunning;
  process.kill();
  process.waitForFinished(5000);
  require(result.has_value(),
          qPrintable(program.path + QStringLiteral(" showed no window on ") + display +
                     (ended ? QStringLiteral(", ended with %1: ").arg(process.exitCode()) : QStringLiteral(": ")) +
                     QString::fromLocal8Bit(pending.right(300))));
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
  // With and without openbox; the screen of a small desktop.
  const test::XServer plain("1024x768x24"), managed("1024x768x24", QStringLiteral("openbox"));
  for (const test::XServer* server : {&plain, &managed})
    require(server->ready(), qPrintable(server->problem()));
  const Program bareWindow{QStringLiteral(KIVO_BARE_WINDOW), 1};
  const Program textWindow{QStringLiteral(KIVO_TEXT_WINDOW), 1};
  const Program editor{QStringLiteral(KIVO_EDITOR), 1};
  const Program player{QStringLiteral(KIVO_PLAYER), 3};
  struct Figure {
    const char* name;
    const Program& program;
    const test::XServer& server;
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

  for (const Figure& f : starts) {
    const double ms = launch(f.server.display(), f.program, 0, kFirstStartLimitMs).shownMs;
    if (ms > kSlowFirstStartMs)
      std::fprintf(stderr, "kivo_bench: waited %.1f s for the first start of %s on %s (font caches, files "
                   "read from disk); not counted\n", ms / 1000, qPrintable(QFileInfo(f.program.path).fileName()),
                   qPrintable(f.server.display()));
  }
  // Turn about, so that all see the same load of a shared machine.
  std::vector<Samples> shown(std::size(starts)), resident(std::size(residents));
  for (int run = 0; run < 15; ++run)
    for (size_t f = 0; f < std::size(starts); ++f)
      shown[f].push_back(launch(starts[f].server.display(), starts[f].program, 0).shownMs);
  // Idle: past the editor's splash and with the player's box up.
  for (int run = 0; run < 5; ++run)
    for (size_t f = 0; f < std::size(residents); ++f)
      resident[f].push_back(launch(residents[f].server.display(), residents[f].program, 1500).residentMb);
  for (size_t f = 0; f < std::size(starts); ++f) report(starts[f].name, shown[f], "ms");
  for (size_t f = 0; f < std::size(residents); ++f) report(residents[f].name, resident[f], "MB");

  Samples runResident, pauseCpu;
  for (int run = 0; run < 3; ++run) runResident.push_back(child(plain.display(), "run-resident", 120000));
  report("run_rss_mb", runResident, "MB");
  for (int run = 0; run < 3; ++run) pauseCpu.push_back(child(plain.display(), "pause-cpu", 60000));
  report("pause_cpu_pct", pauseCpu, "%");
}

}  // namespace kivo::bench
