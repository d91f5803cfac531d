#include "marovine/unattended/shutdown_countdown.h"

#include <utility>

namespace marovine {

SleepingCountdown::SleepingCountdown(Sleep sleep) : sleep_(std::move(sleep)) {}

bool SleepingCountdown::RunCountdown() {
  ShutdownCountdown countdown;
  countdown.Restart();
  do {
    sleep_(ShutdownCountdown::kStepPeriod);
  } while (!countdown.Step());
  return true;
}

}  // namespace marovine
