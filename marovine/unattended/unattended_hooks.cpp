#include "marovine/unattended/unattended_hooks.h"

#include <thread>
#include <utility>

#include "marovine/document/document_file.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/settings_keys.h"
#include "marovine/document/ui_services.h"

namespace marovine {

namespace {

constexpr const char* kRunning = "開始  ";
constexpr int kRunStatePane = 2;
// After a cancelled dial: the user gets a moment before the crawl goes on.
constexpr std::chrono::milliseconds kCancelledDialPause{4000};
constexpr std::chrono::seconds kSoundSettingLife{1};

}  // namespace

UnattendedHooks::UnattendedHooks(CMarovineDoc& doc, UnattendedParts parts)
    : doc_(doc), parts_(std::move(parts)) {}

void UnattendedHooks::Sleep(std::chrono::milliseconds period) {
  if (parts_.sleep) {
    parts_.sleep(period);
  } else {
    std::this_thread::sleep_for(period);
  }
}

void UnattendedHooks::PlayEventSound(int event) {
  if (parts_.sounds == nullptr) return;
  if (event != EVENT_DOWNLOAD_DONE) {
    marovine::PlayEventSound(doc_.profile, *parts_.sounds, event);
    return;
  }
  // Heard once a file: its setting is looked at once a second at most, so
  // that a crawl of thousands of small files does not read the settings
  // file's stamp for each.
  const auto now = std::chrono::steady_clock::now();
  if (!download_done_sound_read_ || now - *download_done_sound_read_ >= kSoundSettingLife) {
    download_done_sound_ = EventSoundFor(doc_.profile, event);
    download_done_sound_read_ = now;
  }
  if (download_done_sound_.enabled && !download_done_sound_.wave_file.empty()) {
    parts_.sounds->Play(download_done_sound_.wave_file);
  }
}

void UnattendedHooks::CloseMainWindow() {
  if (parts_.close_main_window) parts_.close_main_window();
}

void UnattendedHooks::HangUp() {
  if (parts_.dial_up != nullptr) parts_.dial_up->HangUpAll(doc_.profile);
}

bool UnattendedHooks::KeepConnection() {
  if (doc_.settings.keep_dial_up == 0 || parts_.dial_up == nullptr) return true;
  if (!InsideScheduleWindow(doc_.settings, parts_.clock())) return true;
  if (parts_.dial_up->IsConnected(doc_.profile)) return true;
  if (parts_.dial_up->Dial(doc_.profile)) return true;
  // Cancelled: the dialog does not come back at every check until the
  // settings are loaded again.
  doc_.settings.keep_dial_up = 0;
  Sleep(kCancelledDialPause);
  return false;
}

bool UnattendedHooks::DialUpKeepCheck(CrawlControl& /*crawl*/) { return KeepConnection(); }

void UnattendedHooks::ScheduleCheck(CrawlControl& /*crawl*/) {
  DocumentSettings& settings = doc_.settings;
  if (InsideScheduleWindow(settings, parts_.clock())) {
    inside_window_ = true;
    (void)KeepConnection();
    if (settings.start_at_schedule != 0) {
      settings.start_at_schedule = 0;
      doc_.crawl().ResumeQuietly();
      if (parts_.ui != nullptr) parts_.ui->SetStatusText(kRunStatePane, kRunning);
    }
    return;
  }
  // The close actions need a window the program has seen open.
  if (!inside_window_) return;
  inside_window_ = false;
  if (DialCutTime(doc_.profile) != 0) HangUp();
  if (settings.exit_at_schedule_end != 0) {
    settings.exit_at_schedule_end = 0;
    // Running transfers end with the program.
    doc_.crawl().StopListingCommand();
    CloseMainWindow();
  } else if (settings.power_at_schedule_end != 0) {
    settings.power_at_schedule_end = 0;
    // The list is on disk before anything is stopped or switched off.
    if (SaveDocumentAtFinish(doc_.profile)) SaveDocumentFile(doc_, doc_.document_path);
    doc_.crawl().StopAllCommand();
    HangUp();
    PowerAction();
  }
}

void UnattendedHooks::PowerAction() {
  if (parts_.countdown != nullptr && !parts_.countdown->RunCountdown()) return;
  PowerResult result{false, "電源管理の方法がありません"};
  if (parts_.power != nullptr)
    result = parts_.power->Request(PowerKindFor(marovine::PowerAction(doc_.profile)));
  // The status bar says why the machine stays on; the window closes all the
  // same, as after a power action that worked.
  if (!result.requested) doc_.SetStatusText(result.failure);
  CloseMainWindow();
}

}  // namespace marovine
