#pragma once

namespace marovine {

// The day of the year, 1..365, as a non-leap year counts it: the day of the
// month plus the days of the months before. The year is not part of it, so
// "days since" comparisons wrap at New Year, as they always have.
int DayNumber(int month, int day_of_month);
// Today's, from the local clock.
int DayNumber();

}  // namespace marovine
