#pragma once

#include "FakeRunView.h"
#include "runner/RunMachine.h"
#include "store/Store.h"
#include "support/QtPrinters.h"
#include "support/StoreFields.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

namespace kivo::test {

// A run machine on a virtual clock, with a recording view.
class RunFixture : public ::testing::Test {
 protected:
  static constexpr int kSetUpTicks = 61;

  void setLines(std::initializer_list<int> codes) { setProgramLines(store_, codes); }
  void setSetting(int s, std::initializer_list<int> codes) {
    int c = 1;
    for (int code : codes) store_.setCharSetting(s, c++, QString::number(code));
  }
  void start() {
    if (!machine_) machine_ = std::make_unique<RunMachine>(store_, view_, clock_);
    machine_->start();
  }
  // Starts a run and stops the clock right when the window shows.
  void startAndShow() {
    start();
    ASSERT_TRUE(clock_.advanceUntil([&] { return view_.shown; }, 1000));
  }
  // Runs the fetch and execute of `lines` lines that go straight on.
  void runLines(int lines) { clock_.advance(2 * lines); }
  RunMachine& m() { return *machine_; }

  Store store_;
  VirtualClock clock_;
  FakeRunView view_;
  std::unique_ptr<RunMachine> machine_;
};

}  // namespace kivo::test
