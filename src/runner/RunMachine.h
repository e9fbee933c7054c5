#pragma once

#include "platform/TimerSet.h"
#include "store/Store.h"

#include <QString>

#include <array>

namespace kivo {

class RunView;

// The run window's working state and its timer steps: set-up (shape, size,
// placing the 20 buttons), decoding the five character settings, and the
// fetch/execute cycle. It reads the store at each step and draws nothing
// itself: everything visible goes through its RunView.
class RunMachine {
 public:
  static constexpr int kTimerCount = 11;
  static constexpr int kButtonCount = Store::kButtonCount;
  static constexpr int kPictureCount = 10;
  static constexpr int kTextCount = Store::kSettingCount;
  // Past line 20 a repeated message box waits this long before it comes
  // back, so that the user can close the run window in between.
  static constexpr int kRepeatedBoxPauseMs = 2000;

  RunMachine(const Store& store, RunView& view, Clock& clock);
  RunMachine(const RunMachine&) = delete;
  RunMachine& operator=(const RunMachine&) = delete;

  // Arms the set-up (Timer1); the run starts at the next tick.
  void start();
  bool started() const { return started_; }
  // Stops every timer; the unloaded window does nothing more.
  void stopAll();

  // A click on run button 1..20: the run goes on at that line.
  void click(int button);
  // The message box of a cmdMsgBoxText command was closed.
  void messageClosed();

  // Working fields, as text.
  QString placeIndex() const { return placeIndex_; }
  QString currentPlaceCode() const { return currentPlaceCode_; }
  QString programCounter() const { return programCounter_; }
  QString currentCode() const { return currentCode_; }
  QString charText(int setting) const { return charTexts_.at(setting - 1); }
  QString pictureFile(int n) const { return pictureFiles_.at(n - 1); }
  // Picture N becomes <folder>/N.bmp, for N = 1..10.
  void setPictureFolder(const QString& folder);

  // Timer1..Timer11 by number.
  int interval(int timer) const { return timers_.interval(timer - 1); }
  bool inMessageBox() const { return inMessageBox_; }
  bool buttonVisible(int button) const { return buttonVisible_.at(button - 1); }

 private:
  enum Timer { T1 = 1, T2, T3, T4, T5, T6, T7, T8, T9, T10, T11 };

  void set(int timer, int ms) { timers_.setInterval(timer - 1, ms); }
  void shape();
  void fetchPlace();
  void findCell();
  void placeButton();
  void decode(int setting);
  void fetch();
  void execute();
  // What became of a command: done; halted on a fault; or the step ends
  // here for now (終了, or a box still open).
  enum class Outcome { Done, Halted, Suspended };
  Outcome perform(const QString& code);
  // The execute step's close: the next fetch (unless halted), the counter.
  void finishExecute(const QString& code, bool mayGoOn);
  void halt(const QString& message);
  void setButtonVisible(int button, bool visible);

  const Store& store_;
  RunView& view_;
  TimerSet timers_;

  QString placeLeft_ = QStringLiteral("0");
  QString placeTop_ = QStringLiteral("1");
  QString placeIndex_ = QStringLiteral("1");
  QString currentPlaceCode_ = QStringLiteral("1");
  QString programCounter_ = QStringLiteral("1");
  QString currentCode_ = QStringLiteral("0");
  std::array<QString, kTextCount> charTexts_;
  std::array<QString, kPictureCount> pictureFiles_;
  std::array<bool, kButtonCount> buttonVisible_{};

  int fetchedLine_ = 0;  // the line currentCode came from, for messages
  bool started_ = false;
  bool inMessageBox_ = false;
  QString boxCode_;      // the code whose box is open
};

}  // namespace kivo
