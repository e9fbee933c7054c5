#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

namespace kivo::test {

// Windows that were unloaded go for good now, while their clock still
// stands and before the next test looks for windows.
inline void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// A member that flushes deletes when its fixture ends (declare it before the
// clock, so it runs while the clock still stands).
struct FlushDeletesAtEnd {
  ~FlushDeletesAtEnd() { flushDeletes(); }
};

// Where a test leaves pictures of windows for a person to look at.
inline QString shotPath(const QString& file) {
  const QString folder = qEnvironmentVariable("KIVO_SHOTS", QDir::tempPath());
  QDir().mkpath(folder);
  return QDir(folder).filePath(file);
}

inline void saveShot(QWidget* window, const QString& file) {
  ASSERT_NE(window, nullptr) << file.toStdString();
  const QImage shot = window->grab().toImage();
  EXPECT_EQ(shot.size(), window->size()) << file.toStdString();
  EXPECT_TRUE(shot.save(shotPath(file))) << file.toStdString();
}

}  // namespace kivo::test
