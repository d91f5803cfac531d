#pragma once

#include <chrono>
#include <functional>

#include "marovine/unattended/dialup_controller.h"
#include "marovine/unattended/dialup_network.h"
#include "platform/profile.h"

namespace marovine {

// Shows the dial-up dialog in dial mode, modally: true when it ended with OK
// (connected, or nothing to dial), false when cancelled or out of redials.
class DialUpPrompt {
 public:
  virtual ~DialUpPrompt() = default;
  virtual bool RunDialMode(DialUpNetwork& network, platform::Profile& profile) = 0;
};

// The dial mode without a window (the command line): the dialog's timer is
// a one-second sleep, and nobody presses a button.
class HeadlessDialUpPrompt : public DialUpPrompt {
 public:
  explicit HeadlessDialUpPrompt(DialUpController::Sleep sleep) : sleep_(std::move(sleep)) {}
  bool RunDialMode(DialUpNetwork& network, platform::Profile& profile) override;

 private:
  DialUpController::Sleep sleep_;
};

// The three things the schedule asks of the dial-up line.
class DialUpLine {
 public:
  using Sleep = std::function<void(std::chrono::milliseconds)>;
  DialUpLine(DialUpNetwork& network, DialUpPrompt& prompt, Sleep sleep);
  virtual ~DialUpLine() = default;

  // A dial-up connection is up (any of the dial-up kinds, or the chosen entry).
  virtual bool IsConnected(const platform::Profile& profile);
  // Hangs every dial-up connection up and waits until the line is free;
  // waits also when the connections could not be read.
  virtual void HangUpAll(const platform::Profile& profile);
  // Dials in dial mode; false when the user cancelled or the redials ran out.
  virtual bool Dial(platform::Profile& profile);

 private:
  std::string ChosenEntryPath(const platform::Profile& profile);

  DialUpNetwork& network_;
  DialUpPrompt& prompt_;
  Sleep sleep_;
};

}  // namespace marovine
