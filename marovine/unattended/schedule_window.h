#pragma once

#include "marovine/document/document_settings.h"

namespace marovine {

// A time of day as the schedule sees it: hours and minutes of local time.
struct ClockTime {
  int hour = 0;
  int minute = 0;
};

// The local time of day now.
ClockTime LocalClockTime();

// Whether `now` lies inside the daily window of the settings (Hour1:Min1 to
// Hour2:Min2). The window may span midnight and takes in the minute after
// its end, so a check that comes late still sees the last minute; a window
// whose start and end are equal is that minute and the one after it.
bool InsideScheduleWindow(const DocumentSettings& settings, ClockTime now);

}  // namespace marovine
