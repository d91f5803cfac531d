#pragma once

#include <functional>

#include "marovine/unattended/canberra_sound_player.h"
#include "marovine/unattended/dialup_line.h"
#include "marovine/unattended/power_service.h"
#include "marovine/unattended/shutdown_countdown.h"
#include "marovine/unattended/unattended_hooks.h"

namespace marovine {

class CMarovineDoc;
class UiServices;

// Unattended operation for a front end without a window: sounds through the
// sound server, power through logind, dial-up through NetworkManager, the
// countdown and the dial-up dialog run without showing anything. Installed
// as the document's crawl hooks for the life of the object.
class HeadlessUnattended {
 public:
  // `close` stands for closing the main window (the crawl has already been
  // stopped when it is called); nothing when empty.
  HeadlessUnattended(CMarovineDoc& doc, UiServices* ui, std::function<void()> close = {});
  ~HeadlessUnattended();
  HeadlessUnattended(const HeadlessUnattended&) = delete;
  HeadlessUnattended& operator=(const HeadlessUnattended&) = delete;

  UnattendedHooks& hooks() { return hooks_; }

 private:
  CMarovineDoc& doc_;
  CanberraSoundPlayer sounds_;
  LogindPowerService power_;
  NetworkManagerDialUp network_;
  HeadlessDialUpPrompt prompt_;
  DialUpLine line_;
  SleepingCountdown countdown_;
  UnattendedHooks hooks_;
};

}  // namespace marovine
