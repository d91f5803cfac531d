#include "marovine/ui/frame_crawl_hooks.h"

#include <wx/app.h>
#include <wx/utils.h>

#include <thread>
#include <utility>

#include "marovine/document/marovine_doc.h"
#include "marovine/ui/quick_view_pane.h"

namespace marovine::ui {
namespace {

// How often a wait lets the window repaint.
constexpr std::chrono::milliseconds kRepaintSlice{20};

UnattendedParts Parts(SoundPlayer& sounds, PowerService& power, DialUpLine& line,
                      CountdownPresenter& countdown, UiServices* ui, std::function<void()> close,
                      std::function<void(std::chrono::milliseconds)> sleep) {
  UnattendedParts parts;
  parts.sounds = &sounds;
  parts.power = &power;
  parts.dial_up = &line;
  parts.countdown = &countdown;
  parts.ui = ui;
  parts.close_main_window = std::move(close);
  parts.sleep = std::move(sleep);
  return parts;
}

}  // namespace

// Marks a step that shows a dialog or waits inside the tick.
class FrameCrawlHooks::BusyStep {
 public:
  explicit BusyStep(FrameCrawlHooks& hooks) : hooks_(hooks) { ++hooks_.busy_depth_; }
  ~BusyStep() {
    if (--hooks_.busy_depth_ == 0) hooks_.StepEnded();
  }
  BusyStep(const BusyStep&) = delete;
  BusyStep& operator=(const BusyStep&) = delete;

 private:
  FrameCrawlHooks& hooks_;
};

// The parts live in this object and are made after the base class, which
// only keeps their addresses until the first hook is called.
FrameCrawlHooks::FrameCrawlHooks(CMarovineDoc& doc, Window window)
    : UnattendedHooks(doc,
                      Parts(sounds_, power_, line_, countdown_, window.ui, window.close,
                            [this](std::chrono::milliseconds period) { KeepAliveSleep(period); })),
      window_(std::move(window)),
      prompt_(window_.frame),
      line_(network_, prompt_,
            [this](std::chrono::milliseconds period) { KeepAliveSleep(period); }),
      countdown_(window_.frame) {}

FrameCrawlHooks::~FrameCrawlHooks() = default;

void FrameCrawlHooks::ShowInQuickView(const std::string& path) {
  QuickViewPane* pane = window_.quick_view ? window_.quick_view() : nullptr;
  if (pane != nullptr) pane->ShowPicture(path);
}

void FrameCrawlHooks::ClipboardWatchStep(CrawlControl& /*crawl*/) {
  if (window_.poll_clipboard) window_.poll_clipboard();
}

void FrameCrawlHooks::ScheduleCheck(CrawlControl& crawl) {
  BusyStep busy(*this);
  UnattendedHooks::ScheduleCheck(crawl);
}

bool FrameCrawlHooks::DialUpKeepCheck(CrawlControl& crawl) {
  BusyStep busy(*this);
  return UnattendedHooks::DialUpKeepCheck(crawl);
}

void FrameCrawlHooks::HangUp() {
  BusyStep busy(*this);
  UnattendedHooks::HangUp();
}

void FrameCrawlHooks::PowerManagement(CrawlControl& crawl) {
  BusyStep busy(*this);
  UnattendedHooks::PowerManagement(crawl);
}

bool FrameCrawlHooks::PostponeClose() {
  if (busy_depth_ == 0) return false;
  close_postponed_ = true;
  return true;
}

void FrameCrawlHooks::StepEnded() {
  if (!close_postponed_) return;
  close_postponed_ = false;
  if (window_.close) window_.close();
}

void FrameCrawlHooks::ShowDialUpSettings(platform::Profile& profile) {
  DialUpDialog dialog(window_.frame, network_, profile, DialUpController::Mode::kSettings);
  dialog.ShowModal();
}

void FrameCrawlHooks::KeepAliveSleep(std::chrono::milliseconds period) {
  BusyStep busy(*this);
  // Repaints and timers go on; clicks and keys wait for the end.
  wxWindowDisabler disabler;
  auto end = std::chrono::steady_clock::now() + period;
  for (;;) {
    if (wxTheApp != nullptr) wxTheApp->Yield(true);
    auto now = std::chrono::steady_clock::now();
    if (now >= end) break;
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(end - now, kRepaintSlice));
  }
}

}  // namespace marovine::ui
