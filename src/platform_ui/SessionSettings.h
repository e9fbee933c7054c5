#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace kivo {

// Qt's file dialog writes its history and view into the user's
// QtProject.conf each time it closes. The programs keep no settings file, so
// Qt's settings go to a folder of this run's own among the user's runtime
// files: made only when Qt writes, removed when the run ends.
class SessionSettings {
 public:
  SessionSettings() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty()) base = QDir::tempPath();
    folder_ = base + QStringLiteral("/kivo-settings-%1").arg(QCoreApplication::applicationPid());
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
      QSettings::setPath(format, QSettings::UserScope, folder_);
  }
  ~SessionSettings() { QDir(folder_).removeRecursively(); }
  SessionSettings(const SessionSettings&) = delete;
  SessionSettings& operator=(const SessionSettings&) = delete;

 private:
  QString folder_;
};

}  // namespace kivo
