#include "platform_ui/ProgramMain.h"

#include "platform/RealClock.h"
#include "platform_ui/Icons.h"
#include "platform_ui/JapaneseTexts.h"
#include "platform_ui/PaintableDisplay.h"
#include "platform_ui/QtHost.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWindow>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

namespace kivo {
namespace {

// Qt's file dialog writes its history and view into the user's
// QtProject.conf each time it closes. The programs keep no settings file, so
// Qt's settings go to a folder of this run's own, removed when the run ends.
// Its name is random and it is made private at once: a name another user
// could foresee might be a planted link, and the removal would empty the
// folder it points to. Without a runtime folder of the session's it lies in
// the temporary folder and serves as the runtime folder too, of which Qt
// would otherwise warn at every start.
class SessionSettings {
 public:
  SessionSettings() : folder_(base() + QStringLiteral("/kivo-settings-XXXXXX")) {
    if (!folder_.isValid()) return;  // Qt's settings stay where Qt keeps them
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
      qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder_.path()));
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
      QSettings::setPath(format, QSettings::UserScope, folder_.path());
  }

 private:
  static QString base() {
    const QString runtime = qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")
                                ? QString()
                                : QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
  }

  QTemporaryDir folder_;
};

// A signal handler may only write to a pipe; the event loop reads it.
int signalPipe[2] = {-1, -1};

void onEndSignal(int) {
  const int saved = errno;
  const char byte = 0;
  [[maybe_unused]] const auto written = write(signalPipe[1], &byte, 1);
  errno = saved;
}

// From here on SIGTERM and SIGHUP end the run as its own quit would, once
// the event loop runs (at once if it runs already).
void catchEndSignals() {
  if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action = {};
  action.sa_handler = onEndSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace

int programMain(int argc, char* argv[], const char* windowClass, const char* laterName,
                const std::function<std::shared_ptr<void>(Host&, Clock&)>& start) {
  catchEndSignals();
  SessionSettings settings;
  PaintableDisplay display(argc, argv);
  if (!display.problem().empty()) {
    std::fprintf(stderr, "%s: %s\n", argv[0], display.problem().c_str());
    return 1;
  }
  QCoreApplication::setApplicationName(QString::fromUtf8(windowClass));
  QApplication app(display.argc(), display.argv());
  if (laterName) {
    QWindow().create();
    QCoreApplication::setApplicationName(QString::fromUtf8(laterName));
  }
  display.fillGreyColourMap();
  useJapaneseQtTexts(&app);
  QApplication::setWindowIcon(noIcon());  // no icon but where a window has its own
  QSocketNotifier endSignal(QSocketNotifier::Read);
  if (signalPipe[0] >= 0) {
    endSignal.setSocket(signalPipe[0]);
    endSignal.setEnabled(true);
  }
  QObject::connect(&endSignal, &QSocketNotifier::activated, [] { QCoreApplication::exit(0); });
  QtHost host;
  RealClock clock;
  const std::shared_ptr<void> program = start(host, clock);
  const int status = app.exec();
  // Windows unloaded in the last moments go while the clock still stands.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return status;
}

}  // namespace kivo
