#include "marovine/unattended/dialup_line.h"

#include <utility>

namespace marovine {

namespace {

constexpr std::chrono::milliseconds kLineFreePause{4000};
constexpr std::chrono::seconds kDialogTimer{1};

}  // namespace

bool HeadlessDialUpPrompt::RunDialMode(DialUpNetwork& network, platform::Profile& profile) {
  DialUpController dialog(network, profile, DialUpController::Mode::kDial, sleep_);
  dialog.Initialise();
  while (dialog.end() == DialUpController::End::kOpen) {
    sleep_(kDialogTimer);
    dialog.OnTimer();
  }
  return dialog.end() == DialUpController::End::kOk;
}

DialUpLine::DialUpLine(DialUpNetwork& network, DialUpPrompt& prompt, Sleep sleep)
    : network_(network), prompt_(prompt), sleep_(std::move(sleep)) {}

std::string DialUpLine::ChosenEntryPath(const platform::Profile& profile) {
  int chosen = profile.GetInt("MarovineRasControl", "ListNo", -1);
  if (chosen < 0) return "";
  std::optional<std::vector<DialUpEntry>> entries = network_.ListEntries();
  if (!entries || chosen >= static_cast<int>(entries->size())) return "";
  return (*entries)[chosen].path;
}

bool DialUpLine::IsConnected(const platform::Profile& profile) {
  std::optional<std::vector<std::string>> up = network_.Connections(ChosenEntryPath(profile));
  return up && !up->empty();
}

void DialUpLine::HangUpAll(const platform::Profile& profile) {
  std::optional<std::vector<std::string>> up = network_.Connections(ChosenEntryPath(profile));
  if (up && up->empty()) return;
  if (up) {
    for (const std::string& handle : *up) network_.HangUp(handle);
  }
  sleep_(kLineFreePause);
}

bool DialUpLine::Dial(platform::Profile& profile) { return prompt_.RunDialMode(network_, profile); }

}  // namespace marovine
