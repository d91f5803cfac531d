#include "marovine/engine/day_number.h"

#include "marovine/engine/local_path.h"

namespace marovine {

int DayNumber(int month, int day_of_month) {
  static constexpr int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  if (month < 1 || month > 12) return day_of_month;
  return kDaysBefore[month - 1] + day_of_month;
}

int DayNumber() {
  LocalDate today = Today();
  return DayNumber(today.month, today.day);
}

}  // namespace marovine
