#pragma once

#include "platform/Host.h"
#include "platform/TimerSet.h"
#include "platform/Twips.h"
#include "player/LoaderWindow.h"
#include "player/Player.h"
#include "runner_ui/RunWindow.h"
#include "store/ProgramBitmap.h"
#include "store/Store.h"
#include "support/FakeHost.h"
#include "support/QtPrinters.h"
#include "support/StoreFields.h"
#include "support/Windows.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace kivo::test {

// The fake host's answers, with a log of what the program asked and when:
// each entry carries `note()`, the state of things at that moment.
class LoggingHost final : public Host {
 public:
  FakeHost fake;
  QStringList log;
  std::function<QString()> note = [] { return QString(); };

  void message(const QString& text) override {
    log << QStringLiteral("message %1 %2").arg(text, note());
    fake.message(text);
  }
  void messageFor(QWidget* window, const QString& text, std::function<void()> closed) override {
    log << QStringLiteral("box %1").arg(text);
    fake.messageFor(window, text, std::move(closed));
  }
  QString openFileName(const QString& current) override {
    log << QStringLiteral("dialog %1").arg(note());
    return fake.openFileName(current);
  }
  QString saveFileName(const QString& current) override { return fake.saveFileName(current); }
  void beep() override { fake.beep(); }
};

// Logs a window's show and hide events, with a note of the moment.
class VisibilityLog final : public QObject {
 public:
  VisibilityLog(QWidget* window, std::function<QString()> note)
      : note_(std::move(note)) {
    window->installEventFilter(this);
  }
  QStringList log;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) log << QStringLiteral("show %1").arg(note_());
    if (event->type() == QEvent::Hide) log << QStringLiteral("hide %1").arg(note_());
    return false;
  }

 private:
  std::function<QString()> note_;
};

// A started player on a virtual clock; the open dialog answers from
// host.fake.openAnswers.
class PlayerTest : public ::testing::Test {
 protected:
  ~PlayerTest() override { flushDeletes(); }


  QString path(const QString& name) const { return dir_.filePath(name); }

  // Saves `program` as a program file, the folders on the way made.
  QString writeProgram(const QString& name, const Store& program) {
    const QString file = path(name);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QImage canvas = program.codePicture();
    QString error;
    EXPECT_TRUE(writeProgramBitmap(program, canvas, &error)) << error.toStdString();
    EXPECT_TRUE(saveProgramImage(canvas, file, &error)) << error.toStdString();
    return file;
  }

  // Starts the player and lets its loader run, `file` chosen in its dialog
  // (an empty name cancels).
  void play(const QString& file) {
    host.fake.openAnswers.push_back(file);
    player.start();
    clock.advance(1);
  }
  bool untilShown() {
    return clock.advanceUntil([&] { return run() && run()->isVisible(); }, 1000);
  }

  RunWindow* run() { return player.launcher().window(); }
  LoaderWindow* loader() { return player.loader(); }
  QStringList storeFields() const { return test::storeFields(store); }
  static QStringList defaultFields() {
    QStringList fields;
    for (int k = 1; k <= Store::kFieldCount; ++k) fields << Store::defaultText(k);
    return fields;
  }

 private:
  QTemporaryDir dir_;

 protected:
  Store store;
  LoggingHost host;
  VirtualClock clock;

 private:
  FlushDeletesAtEnd flush_;  // unloaded windows go while the clock still stands

 protected:
  Player player{store, host, clock};
  QSignalSpy ended{&player, &Player::ended};
};

}  // namespace kivo::test
