#include "marovine/unattended/schedule_window.h"

#include <ctime>

namespace marovine {

namespace {

constexpr int kMinutesPerDay = 1440;

// Non-negative remainder: the settings may hold any integer.
int Wrapped(long long minutes) {
  return static_cast<int>(((minutes % kMinutesPerDay) + kMinutesPerDay) % kMinutesPerDay);
}

long long Minutes(int hour, int minute) { return static_cast<long long>(hour) * 60 + minute; }

}  // namespace

ClockTime LocalClockTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return ClockTime{local.tm_hour, local.tm_min};
}

bool InsideScheduleWindow(const DocumentSettings& settings, ClockTime now) {
  long long start = Minutes(settings.schedule_start_hour, settings.schedule_start_minute);
  long long end = Minutes(settings.schedule_end_hour, settings.schedule_end_minute);
  int length = Wrapped(end - start);
  int elapsed = Wrapped(Minutes(now.hour, now.minute) - start);
  return elapsed <= length + 1;
}

}  // namespace marovine
