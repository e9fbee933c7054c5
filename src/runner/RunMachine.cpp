#include "runner/RunMachine.h"

#include "platform/Number.h"
#include "runner/RunView.h"
#include "store/Codes.h"
#include "store/Store.h"

namespace kivo {
namespace {

bool above(const QString& text, int threshold) {
  const auto n = readNumber(text);
  return n && *n > threshold;
}

}  // namespace

RunMachine::RunMachine(const Store& store, RunView& view, Clock& clock)
    : store_(store), view_(view), timers_(clock) {
  for (int n = 1; n <= kPictureCount; ++n)
    pictureFiles_[n - 1] = QStringLiteral("c:\\kivo\\%1.bmp").arg(n);

  // Timer1 .. Timer11, in this order.
  timers_.add([this] { shape(); });
  timers_.add([this] { fetchPlace(); });
  timers_.add([this] { findCell(); });
  timers_.add([this] { placeButton(); });
  for (int s = 1; s <= kTextCount; ++s) timers_.add([this, s] { decode(s); });
  timers_.add([this] { fetch(); });
  timers_.add([this] { execute(); });
}

void RunMachine::setPictureFolder(const QString& folder) {
  for (int n = 1; n <= kPictureCount; ++n)
    pictureFiles_[n - 1] = folder + QStringLiteral("/%1.bmp").arg(n);
}

void RunMachine::start() {
  started_ = true;
  set(T1, 1);
}

void RunMachine::stopAll() {
  timers_.stopAll();
  // A box still open may report its close after the stop: it finds no step
  // left to finish, so the stopped run stays still.
  inMessageBox_ = false;
}

void RunMachine::click(int button) {
  if (inMessageBox_ || button < 1 || button > kButtonCount) return;  // the box keeps clicks away
  programCounter_ = QString::number(button);
  set(T10, 1);
}

// ---- Set-up --------------------------------------------------------------

void RunMachine::shape() {
  if (const auto s = findFormShape(store_.formShape())) view_.applyBorder(s->border);
  if (const auto size = findFormSize(store_.formSize())) {
    if (size->maximised)
      view_.applyMaximised();
    else
      view_.applyNormalSize(size->widthTwips, size->heightTwips);
  }
  set(T1, 0);
  set(T2, 1);
  set(T5, 1);
}

void RunMachine::fetchPlace() {
  const auto index = readNumber(placeIndex_);
  for (int k = 1; k <= kButtonCount; ++k)
    if (index == k) currentPlaceCode_ = store_.buttonPlace(k);
  set(T2, 0);
  set(T3, 1);
}

void RunMachine::findCell() {
  if (const auto cell = findPlace(currentPlaceCode_)) {
    placeLeft_ = QString::number(cell->left);
    placeTop_ = QString::number(cell->top);
  }
  set(T3, 0);
  set(T4, 1);
}

void RunMachine::placeButton() {
  const int left = static_cast<int>(readNumber(placeLeft_).value_or(0));
  const int top = static_cast<int>(readNumber(placeTop_).value_or(0));
  const auto index = readNumber(placeIndex_);
  for (int k = 1; k <= kButtonCount; ++k) {
    if (index != k) continue;
    view_.moveButton(k, left, top);
    set(T4, 0);
    if (k < kButtonCount) {
      set(T2, 1);
    } else {
      placeIndex_ = QStringLiteral("100");
      view_.showForRun();
      set(T10, 1);
    }
  }
  // Past button 20 this timer stays on and only counts.
  placeIndex_ = QString::number(static_cast<qint64>(readNumber(placeIndex_).value_or(0)) + 1);
}

void RunMachine::decode(int setting) {
  set(T4 + setting, 0);
  QString& text = charTexts_[setting - 1];
  for (int c = 1; c <= Store::kCharsPerSetting; ++c)
    if (const auto ch = decodeChar(store_.charSetting(setting, c))) text.append(QChar::fromLatin1(*ch));
  if (setting < kTextCount) set(T5 + setting, 1);
}

// ---- Fetch and execute ---------------------------------------------------

void RunMachine::fetch() {
  const auto counter = readNumber(programCounter_);
  for (int k = 1; k <= Store::kLineCount; ++k) {
    if (counter != k) continue;
    currentCode_ = store_.programLine(k);
    fetchedLine_ = k;
  }
  set(T11, 1);
  set(T10, 0);
}

void RunMachine::execute() {
  const QString code = currentCode_;
  const Outcome outcome = perform(code);
  if (outcome != Outcome::Suspended) finishExecute(code, outcome == Outcome::Done);
}

RunMachine::Outcome RunMachine::perform(const QString& code) {
  if (!readNumber(code)) {
    halt(QStringLiteral("%1が数字ではありません。").arg(fieldLabel(fetchedLine_)));
    return Outcome::Halted;
  }
  const Command* cmd = findCommand(code);
  if (!cmd) return Outcome::Done;
  switch (cmd->action) {
    case Action::Stop:
      set(T10, 0);
      break;
    case Action::Pause:
      set(T10, cmd->arg);
      break;
    case Action::ShowPicture: {
      view_.setPictureVisible(true);
      QString error;
      if (!view_.loadPicture(pictureFiles_[cmd->arg - 1], &error)) {
        halt(error);
        return Outcome::Halted;
      }
      break;
    }
    case Action::HidePicture:
      view_.setPictureVisible(false);
      break;
    case Action::ShowText:
      view_.printText(charTexts_[cmd->arg - 1]);
      break;
    case Action::ClearText:
      view_.clearText();
      break;
    case Action::BackColour:
      view_.setBackColour(static_cast<QRgb>(0xFF000000u | static_cast<unsigned>(cmd->arg)));
      break;
    case Action::Beep:
      view_.beep();
      break;
    case Action::End:
      timers_.stopAll();
      view_.unload();
      return Outcome::Suspended;
    case Action::ShowButton:
      setButtonVisible(cmd->arg, true);
      break;
    case Action::HideButton:
      setButtonVisible(cmd->arg, false);
      break;
    case Action::MsgBoxText:
      inMessageBox_ = true;
      boxCode_ = code;
      timers_.setHeld(true);
      view_.showMessage(charTexts_[cmd->arg - 1]);
      return Outcome::Suspended;
  }
  return Outcome::Done;
}

void RunMachine::messageClosed() {
  if (!inMessageBox_) return;
  inMessageBox_ = false;
  timers_.setHeld(false);
  finishExecute(boxCode_, true);
}

void RunMachine::finishExecute(const QString& code, bool mayGoOn) {
  if (mayGoOn && above(code, kGoOnThreshold)) {
    const Command* cmd = findCommand(code);
    // The next fetch reads no line, so the same box would be back at once.
    const bool repeatedBox = cmd && cmd->action == Action::MsgBoxText &&
                             above(programCounter_, Store::kLineCount - 1);
    set(T10, repeatedBox ? kRepeatedBoxPauseMs : 1);
  }
  programCounter_ = QString::number(static_cast<qint64>(readNumber(programCounter_).value_or(0)) + 1);
  set(T11, 0);
}

void RunMachine::halt(const QString& message) {
  set(T10, 0);
  view_.reportHalt(message);
}

void RunMachine::setButtonVisible(int button, bool visible) {
  buttonVisible_[button - 1] = visible;
  view_.setButtonVisible(button, visible);
}

}  // namespace kivo
