#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <sys/types.h>

#include <vector>

namespace kivo::test {

// A program of ours in a process group of its own, which ends with it and
// with the program that started it, even one that is killed.
class Process {
 public:
  Process() = default;
  ~Process() { end(); }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Output goes to the file `log`, or nowhere; `env` ("NAME=value") replaces
  // variables of ours. False if the program could not be run.
  bool start(const char* program, const std::vector<QByteArray>& args,
             const std::vector<QByteArray>& env = {}, const QByteArray& log = {});
  bool running() const;
  // Asked to end, then killed past `limitMs`, group and all.
  void end(int limitMs = 5000);

 private:
  pid_t pid_ = 0;
};

// An X server of our own (Xvfb) on a free display that it picks itself, with
// a window manager ("openbox", "xfwm4", "icewm", "fluxbox", or none) on a
// configuration of ours, never the user's. `screen` is Xvfb's "WxHxDepth".
class XServer {
 public:
  explicit XServer(const char* screen, const QString& manager = {});
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  bool ready() const { return problem_.isEmpty(); }
  const QString& display() const { return display_; }  // ":N"
  const QString& problem() const { return problem_; }

 private:
  bool startManager(const QString& manager);

  QTemporaryDir config_;
  Process server_;
  Process manager_;  // ended before the server
  QString display_;
  QString problem_;
};

}  // namespace kivo::test
