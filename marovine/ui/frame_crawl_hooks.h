#pragma once

#include <chrono>
#include <functional>

#include "marovine/ui/dialup_dialog.h"
#include "marovine/ui/shutdown_countdown_dialog.h"
#include "marovine/unattended/canberra_sound_player.h"
#include "marovine/unattended/dialup_line.h"
#include "marovine/unattended/dialup_network.h"
#include "marovine/unattended/power_service.h"
#include "marovine/unattended/unattended_hooks.h"

class wxWindow;

namespace marovine {
class UiServices;
}

namespace marovine::ui {

class QuickViewPane;

// The crawl's hooks in the window: unattended operation with the desktop's
// services (sounds through the sound server, power through logind, dial-up
// through NetworkManager), its dialogs over the main window, and the picture
// pane.
//
// The countdown, the dial-up dialog and the waits after hanging up run
// inside the crawl's tick. The tick does not run inside itself, and the
// waits keep the window painted. A close asked for meanwhile (the tray
// menu, a finish action) waits until that step is over: the window must not
// go while the tick that holds it is still running.
class FrameCrawlHooks : public UnattendedHooks {
 public:
  struct Window {
    wxWindow* frame = nullptr;
    UiServices* ui = nullptr;
    std::function<QuickViewPane*()> quick_view;
    // Asks the window to close through its normal close path.
    std::function<void()> close;
    // The once-a-tick look at the clipboard while watching is on.
    std::function<void()> poll_clipboard;
  };
  FrameCrawlHooks(CMarovineDoc& doc, Window window);
  ~FrameCrawlHooks() override;
  FrameCrawlHooks(const FrameCrawlHooks&) = delete;
  FrameCrawlHooks& operator=(const FrameCrawlHooks&) = delete;

  void ShowInQuickView(const std::string& path) override;
  void ClipboardWatchStep(CrawlControl& crawl) override;
  void ScheduleCheck(CrawlControl& crawl) override;
  bool DialUpKeepCheck(CrawlControl& crawl) override;
  void HangUp() override;
  void PowerManagement(CrawlControl& crawl) override;

  // True while one of the steps above is running; the close is then
  // remembered and asked for again when the step ends.
  bool PostponeClose();
  // "Marovine RAS Controler" in its settings mode (menu command).
  void ShowDialUpSettings(platform::Profile& profile);

 private:
  class BusyStep;
  // A wait that keeps the window painted but takes no input.
  void KeepAliveSleep(std::chrono::milliseconds period);
  void StepEnded();

  Window window_;
  CanberraSoundPlayer sounds_;
  LogindPowerService power_;
  NetworkManagerDialUp network_;
  DialUpDialogPrompt prompt_;
  DialUpLine line_;
  CountdownDialogPresenter countdown_;
  int busy_depth_ = 0;
  bool close_postponed_ = false;
};

}  // namespace marovine::ui
