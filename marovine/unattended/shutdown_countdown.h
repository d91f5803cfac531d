#pragma once

#include <chrono>
#include <functional>

namespace marovine {

// The countdown "システムのシャットダウン" shows before the machine is put to
// sleep or switched off: a counter from 50 down, one step every 200 ms, so
// ten seconds; the seconds shown are the counter / 5 and the progress bar
// (0..50) is the counter. It ends with OK once the counter falls below 0.
// Every countdown starts from the top again.
class ShutdownCountdown {
 public:
  static constexpr int kSteps = 50;
  static constexpr std::chrono::milliseconds kStepPeriod{200};

  void Restart() { counter_ = kSteps; }
  // One timer step; true once the countdown has run out.
  bool Step() { return --counter_ < 0; }
  bool RunOut() const { return counter_ < 0; }
  int seconds_left() const { return counter_ < 0 ? 0 : counter_ / 5; }
  int bar_position() const { return counter_ < 0 ? 0 : counter_; }

 private:
  int counter_ = kSteps;
};

// Shows the countdown modally: true when it ran out (OK), false when the user
// pressed "Cancel".
class CountdownPresenter {
 public:
  virtual ~CountdownPresenter() = default;
  virtual bool RunCountdown() = 0;
};

// The countdown without a window (the command line): it sleeps through its
// steps and always runs out; the user stops the program to cancel it.
class SleepingCountdown : public CountdownPresenter {
 public:
  using Sleep = std::function<void(std::chrono::milliseconds)>;
  explicit SleepingCountdown(Sleep sleep);
  bool RunCountdown() override;

 private:
  Sleep sleep_;
};

}  // namespace marovine
