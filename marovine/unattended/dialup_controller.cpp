#include "marovine/unattended/dialup_controller.h"

#include <cstdlib>
#include <utility>

namespace marovine {

namespace {

constexpr const char* kSection = "MarovineRasControl";
constexpr const char* kNoEntries = "ダイヤルアップのエントリを作成してください。";
constexpr const char* kUnreadable = "エントリ無し";
constexpr const char* kOkSettings = "設定更新";
constexpr const char* kOkAbort = "接続中断";
constexpr const char* kOkDisconnect = "切断";
constexpr const char* kOkRetry = "接続開始";
constexpr const char* kOkUnavailable = "接続不可";
constexpr const char* kStarted = "接続開始";
constexpr const char* kAlreadyUp = "すでに接続されています。";

constexpr std::chrono::milliseconds kFailedStartPause{2000};

// A number field as the dialog reads it: leading digits, 0 when none.
int FieldNumber(const std::string& text) { return std::atoi(text.c_str()); }

}  // namespace

const char* DialStageText(DialStage stage) {
  switch (stage) {
    case DialStage::kDialling:
      return "ダイヤル中";
    case DialStage::kAuthenticating:
      return "ユーザー認証中";
    case DialStage::kAuthenticated:
      return "認証されました";
    case DialStage::kConnected:
      return "接続されました";
    case DialStage::kStarted:
    case DialStage::kFailed:
      break;
  }
  return "";
}

DialUpController::DialUpController(DialUpNetwork& network, platform::Profile& profile, Mode mode,
                                   Sleep sleep)
    : network_(network), profile_(profile), mode_(mode), sleep_(std::move(sleep)) {}

void DialUpController::Initialise() {
  redial_pending_ = false;
  handle_.reset();
  redial_field = std::to_string(profile_.GetInt(kSection, "Redial", 0));
  wait_field = std::to_string(profile_.GetInt(kSection, "WaitTime", 10));
  std::optional<std::vector<DialUpEntry>> entries = network_.ListEntries();
  if (!entries) {
    list_texts_ = {kUnreadable};
    list_enabled_ = false;
    ok_text_ = kOkUnavailable;
  } else if (entries->empty()) {
    list_texts_ = {kNoEntries};
    list_enabled_ = false;
  } else {
    entries_ = std::move(*entries);
    for (const auto& entry : entries_) list_texts_.push_back(entry.name);
    list_enabled_ = true;
    int chosen = profile_.GetInt(kSection, "ListNo", -1);
    if (chosen >= 0 && chosen < static_cast<int>(entries_.size())) selected_ = chosen;
    if (mode_ == Mode::kSettings) ok_text_ = kOkSettings;
  }
  SelectEntry(selected_);
  if (mode_ == Mode::kDial) {
    connect_enabled_ = false;
    PressOk();
  }
}

void DialUpController::SelectEntry(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) {
    selected_ = -1;
    return;
  }
  selected_ = index;
  loaded_ = network_.Credentials(entries_[index]);
  user = loaded_.user;
  password = loaded_.password;
}

const DialUpEntry* DialUpController::SelectedEntry() const {
  if (selected_ < 0 || selected_ >= static_cast<int>(entries_.size())) return nullptr;
  return &entries_[selected_];
}

std::optional<std::string> DialUpController::TakeMessage() { return std::exchange(message_, {}); }

void DialUpController::PressOk() {
  if (end_ != End::kOpen) return;
  if (mode_ == Mode::kSettings) {
    if (SelectedEntry() != nullptr) {
      // A settings file that cannot be written keeps its old values; the
      // dialog has nothing better to offer than closing as asked.
      (void)profile_.WriteStrings(kSection, {{"ListNo", std::to_string(selected_)},
                                             {"Redial", redial_field},
                                             {"WaitTime", wait_field}});
    }
    end_ = End::kOk;
    return;
  }
  if (handle_) {
    // OK aborts the attempt or disconnects; the dialog stays.
    HangUpAttempt();
    ok_text_ = kOkRetry;
    return;
  }
  if (SelectedEntry() == nullptr) {
    end_ = End::kOk;
    return;
  }
  StartDialling();
}

void DialUpController::StartDialling() {
  const DialUpEntry* entry = SelectedEntry();
  if (entry == nullptr) return;
  ok_text_ = kOkAbort;
  std::string error;
  // The fields are used for this attempt only; the entry keeps its own.
  std::optional<DialUpCredentials> typed;
  if (user != loaded_.user || password != loaded_.password)
    typed = DialUpCredentials{user, password};
  std::optional<std::string> handle = network_.Dial(*entry, typed, error);
  if (!handle) {
    Insert(error);
    sleep_(kFailedStartPause);
    redial_pending_ = true;
    ok_text_ = kOkRetry;
    return;
  }
  handle_ = std::move(handle);
  shown_stage_ = DialStage::kStarted;
  status_lines_.clear();
  Insert(kStarted);
  list_enabled_ = false;
}

void DialUpController::HangUpAttempt() {
  if (!handle_) return;
  network_.HangUp(*handle_);
  handle_.reset();
}

void DialUpController::PollProgress() {
  if (!handle_ || end_ != End::kOpen) return;
  DialProgress progress = network_.Progress(*handle_);
  if (progress.stage == DialStage::kFailed) {
    Insert(progress.failure);
    HangUpAttempt();
    redial_pending_ = true;
    ok_text_ = kOkRetry;
    return;
  }
  // Each stage is shown once, as it is first seen.
  if (progress.stage <= shown_stage_) return;
  shown_stage_ = progress.stage;
  Insert(DialStageText(progress.stage));
  if (progress.stage == DialStage::kConnected) {
    ok_text_ = kOkDisconnect;
    end_ = End::kOk;
  }
}

void DialUpController::OnTimer() {
  // A failure seen by this tick's look at the attempt is counted from the
  // next tick on, like one reported between ticks.
  bool was_pending = redial_pending_;
  PollProgress();
  if (end_ != End::kOpen || (redial_pending_ && !was_pending)) return;
  if (!redial_pending_) {
    wait_counter_ = 0;
    return;
  }
  if (++wait_counter_ <= FieldNumber(wait_field)) return;
  wait_counter_ = 0;
  redial_pending_ = false;
  int count = FieldNumber(redial_field);
  if (count <= 0) {
    end_ = End::kCancel;
    return;
  }
  redial_field = std::to_string(count - 1);
  PressOk();
}

void DialUpController::PressConnect() {
  if (end_ != End::kOpen) return;
  const DialUpEntry* entry = SelectedEntry();
  std::optional<std::vector<std::string>> up = network_.Connections(entry ? entry->path : "");
  if (up && !up->empty()) {
    message_ = kAlreadyUp;
    return;
  }
  connect_enabled_ = false;
  mode_ = Mode::kDial;
  PressOk();
}

void DialUpController::PressCancel() {
  if (end_ != End::kOpen) return;
  HangUpAttempt();
  end_ = End::kCancel;
}

}  // namespace marovine
