#include "player/LoaderWindow.h"

#include "platform/Host.h"
#include "platform_ui/Icons.h"
#include "platform_ui/WindowFrame.h"
#include "platform_ui/WindowGeometry.h"
#include "runner_ui/RunLauncher.h"
#include "store/ProgramBitmap.h"
#include "store/Store.h"

#include <QFileInfo>
#include <QIcon>

namespace kivo {
namespace {

constexpr int kSideTwips = 90;

// The message asks for 開く with nothing changed, so the dialog comes up on
// the program file the player was designed to open, "geme" in the folder it
// was started in, where that file is there; else on that folder, no name.
QString offeredName() {
  const QFileInfo preset(QStringLiteral("geme"));
  return preset.isFile() ? preset.absoluteFilePath() : QString();
}

}  // namespace

LoaderWindow::LoaderWindow(Store& store, Host& host, Clock& clock, RunLauncher& launcher)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint),
      store_(store),
      host_(host),
      launcher_(launcher),
      timers_(clock) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("KORVANEST   KIVO3.0"));
  setWindowIcon(programIcon());
  setBackgroundRole(QPalette::Window);
  setAutoFillBackground(true);
  setFixedSize(twipsSizeToPixels(kSideTwips, kSideTwips));
  setInTaskbar(*this, false);
  centreOnScreen(*this);

  timers_.add([this] { load(); });
  timers_.setInterval(kTimer1, 1);
}

// Runs once, all in one tick: the boxes wait for the user inside it.
void LoaderWindow::load() {
  host_.message(QStringLiteral("何にもいじらないで開くを押してください。"));
  const QString file = host_.openFileName(offeredName());
  const bool started = !file.isEmpty() && readProgram(file);
  if (started) {
    // Picture N of a played program lies beside the program file.
    launcher_.setPictureFolder(QFileInfo(file).absolutePath());
    launcher_.start();
  }
  timers_.setInterval(kTimer1, 0);
  if (!started) emit gaveUp();
}

// A refused file is named to the user and leaves the store as it was, so
// that no run starts on half a program.
bool LoaderWindow::readProgram(const QString& file) {
  QString error;
  if (openProgramFile(file, store_, &error)) return true;
  host_.message(error);
  return false;
}

}  // namespace kivo
