#include "bench.h"

#include "editor/Editor.h"
#include "editor/MainWindow.h"
#include "platform/Host.h"
#include "platform/TimerSet.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace kivo::bench {
namespace {

// Every file dialog picks the same file; no box is ever shown.
class FileHost final : public Host {
 public:
  explicit FileHost(QString file) : file_(std::move(file)) {}
  void message(const QString& text) override {
    std::fprintf(stderr, "editor bench: %s\n", qPrintable(text));
  }
  void messageFor(QWidget*, const QString&, std::function<void()>) override {}
  QString openFileName(const QString&) override { return file_; }
  QString saveFileName(const QString&) override { return file_; }
  void beep() override {}

 private:
  QString file_;
};

void benchFileActions() {
  QTemporaryDir dir;
  Store store;
  FileHost host(dir.filePath(QStringLiteral("bench.bmp")));
  VirtualClock clock;
  Editor editor(store, host, clock);
  editor.start();
  MainWindow& window = *editor.mainWindow();
  print("save_ms", medianMs(51, [&] { window.save(); }), "ms");
  print("open_ms", medianMs(51, [&] { window.open(); }), "ms");
}

// A virtual X display for the editor to show itself on; Qt reports the
// display's events, and the first Expose is the main window on screen.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    for (int n = 90; n < 110 && name_.isEmpty(); ++n) {
      if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n))) continue;
      server_.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"),
                                             QStringLiteral("0"), QStringLiteral("1024x768x24"),
                                             QStringLiteral("-nolisten"), QStringLiteral("tcp")});
      if (!server_.waitForStarted(2000)) return;
      const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
      QElapsedTimer waited;
      waited.start();
      while (!QFile::exists(socket) && server_.state() == QProcess::Running && waited.elapsed() < 5000)
        QThread::msleep(10);
      if (QFile::exists(socket) && server_.state() == QProcess::Running) name_ = QStringLiteral(":%1").arg(n);
    }
  }
  ~VirtualDisplay() {
    server_.terminate();
    server_.waitForFinished(2000);
  }
  const QString& name() const { return name_; }

 private:
  QProcess server_;
  QString name_;
};

struct Start {
  double shownMs;
  double residentMb;
};

// Starts the editor and times it from the start of the process to its
// window's first Expose; then lets it settle and reads its memory.
std::optional<Start> startEditor(const QString& display) {
  QProcess editor;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), display);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.qpa.events=true"));
  editor.setProcessEnvironment(env);
  editor.setProcessChannelMode(QProcess::MergedChannels);

  QElapsedTimer clock;
  clock.start();
  editor.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../src/editor/kivo"),
               {});
  std::optional<Start> result;
  QByteArray seen;
  while (!result && editor.waitForReadyRead(5000)) {
    seen += editor.readAll();
    if (seen.contains("XCB_EXPOSE")) result = Start{static_cast<double>(clock.nsecsElapsed()) / 1e6, 0};
  }
  if (result) {
    QThread::msleep(500);
    result->residentMb = residentMb(editor.processId());
  }
  editor.kill();
  editor.waitForFinished(2000);
  return result;
}

void benchStart() {
  VirtualDisplay display;
  if (display.name().isEmpty()) {
    std::fprintf(stderr, "editor bench: no Xvfb, editor_start_ms not measured\n");
    return;
  }
  std::vector<double> shown, resident;
  for (int run = 0; run < 11; ++run) {
    const auto start = startEditor(display.name());
    if (!start) {
      std::fprintf(stderr, "editor bench: the editor did not show\n");
      return;
    }
    shown.push_back(start->shownMs);
    resident.push_back(start->residentMb);
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  print("editor_start_ms", median(shown), "ms");
  print("editor_rss_mb", median(resident), "MB");
}

}  // namespace

void benchEditor() {
  benchFileActions();
  benchStart();
}

}  // namespace kivo::bench
