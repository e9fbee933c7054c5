#pragma once

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

namespace kivo {

// Qt's file dialog writes its history and view into the user's
// QtProject.conf each time it closes. The programs keep no settings file, so
// Qt's settings live in a folder of this run's own, removed when it ends.
class SessionSettings {
 public:
  SessionSettings() {
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
      QSettings::setPath(format, QSettings::UserScope, folder_.path());
  }

 private:
  QTemporaryDir folder_{QDir::tempPath() + QStringLiteral("/kivo-settings-XXXXXX")};
};

}  // namespace kivo
