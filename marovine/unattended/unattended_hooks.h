#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "marovine/document/crawl_hooks.h"
#include "marovine/document/settings_keys.h"
#include "marovine/unattended/dialup_line.h"
#include "marovine/unattended/event_sounds.h"
#include "marovine/unattended/power_service.h"
#include "marovine/unattended/schedule_window.h"
#include "marovine/unattended/shutdown_countdown.h"

namespace marovine {

class CMarovineDoc;
class UiServices;

// What unattended operation works with. Each part may be missing: no sounds,
// no power actions, no dial-up line.
struct UnattendedParts {
  SoundPlayer* sounds = nullptr;
  PowerService* power = nullptr;
  DialUpLine* dial_up = nullptr;
  CountdownPresenter* countdown = nullptr;
  UiServices* ui = nullptr;
  // Ends the program through its normal close path (sound and save on exit).
  std::function<void()> close_main_window;
  std::function<ClockTime()> clock = LocalClockTime;
  std::function<void(std::chrono::milliseconds)> sleep;  // a real sleep when empty
};

// The crawl's hooks for running unattended: event sounds, the daily
// schedule, keeping the dial-up line up inside the window, hanging it up,
// and the power action with its countdown. The window and the command line
// install it (the window derives from it for the hooks it shows itself).
//
// The three window actions (start when the window opens, exit or power
// action when it closes) and the two after all searches fire once: each is
// switched off in the document's settings when it fires and comes back only
// when the settings are loaded again.
class UnattendedHooks : public CrawlHooks {
 public:
  UnattendedHooks(CMarovineDoc& doc, UnattendedParts parts);

  // Also for the events outside the crawl: 3 when the program has started,
  // 4 when it ends (heard to its end before this returns), 8 a pasted URL.
  void PlayEventSound(int event) override;
  void ScheduleCheck(CrawlControl& crawl) override;
  bool DialUpKeepCheck(CrawlControl& crawl) override;
  void HangUp() override;
  void PowerManagement(CrawlControl& /*crawl*/) override { PowerAction(); }
  void CloseMainWindow() override;

  // The countdown, then standby, hibernation or power off as "Power" says,
  // then the main window is asked to close. A cancelled countdown does
  // nothing, and the program keeps running.
  void PowerAction();
  // The program has seen the time window open and not yet close.
  bool inside_window() const { return inside_window_; }

 private:
  // Dials when DialKeep is on, the time is inside the window and no dial-up
  // connection is up; false when the user cancelled.
  bool KeepConnection();
  void Sleep(std::chrono::milliseconds period);

  CMarovineDoc& doc_;
  UnattendedParts parts_;
  bool inside_window_ = false;
  // The sound of each fetched file, as last read from the settings.
  EventSound download_done_sound_;
  std::optional<std::chrono::steady_clock::time_point> download_done_sound_read_;
};

}  // namespace marovine
