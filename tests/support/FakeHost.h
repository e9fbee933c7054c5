#pragma once

#include "platform/Host.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <deque>
#include <functional>
#include <vector>

namespace kivo::test {

// Answers dialogs from a script and records what the program asked.
class FakeHost final : public Host {
 public:
  struct Box {
    QPointer<QWidget> window;
    QString text;
    std::function<void()> closed;
  };

  std::vector<QString> messages;         // modal and window boxes, in order
  std::deque<QString> openAnswers;       // empty answer = cancel
  std::deque<QString> saveAnswers;
  std::vector<QString> openOffered;      // the name each dialog started with
  std::vector<QString> saveOffered;
  std::vector<Box> openBoxes;            // boxes still waiting to be closed
  int beeps = 0;
  // Runs while a modal box is open, as the window system may deliver timer
  // ticks and other events there.
  std::function<void()> whileBoxOpen;

  void message(const QString& text) override {
    messages.push_back(text);
    if (whileBoxOpen) whileBoxOpen();
  }

  void messageFor(QWidget* window, const QString& text,
                  std::function<void()> closed) override {
    messages.push_back(text);
    openBoxes.push_back({window, text, std::move(closed)});
  }

  QString openFileName(const QString& current) override {
    openOffered.push_back(current);
    return next(openAnswers);
  }

  QString saveFileName(const QString& current) override {
    saveOffered.push_back(current);
    return next(saveAnswers);
  }

  void beep() override { ++beeps; }

  // Closes the oldest box that is still open, as the user's OK would.
  bool closeBox() {
    if (openBoxes.empty()) return false;
    Box box = std::move(openBoxes.front());
    openBoxes.erase(openBoxes.begin());
    if (box.closed) box.closed();
    return true;
  }

 private:
  static QString next(std::deque<QString>& answers) {
    if (answers.empty()) return {};
    QString a = answers.front();
    answers.pop_front();
    return a;
  }
};

}  // namespace kivo::test
