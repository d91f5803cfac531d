#include "marovine/unattended/headless_unattended.h"

#include <thread>
#include <utility>

#include "marovine/document/marovine_doc.h"

namespace marovine {

namespace {

void RealSleep(std::chrono::milliseconds period) { std::this_thread::sleep_for(period); }

UnattendedParts Parts(SoundPlayer& sounds, PowerService& power, DialUpLine& line,
                      CountdownPresenter& countdown, UiServices* ui, std::function<void()> close) {
  UnattendedParts parts;
  parts.sounds = &sounds;
  parts.power = &power;
  parts.dial_up = &line;
  parts.countdown = &countdown;
  parts.ui = ui;
  parts.close_main_window = std::move(close);
  parts.sleep = RealSleep;
  return parts;
}

}  // namespace

HeadlessUnattended::HeadlessUnattended(CMarovineDoc& doc, UiServices* ui,
                                       std::function<void()> close)
    : doc_(doc),
      prompt_(RealSleep),
      line_(network_, prompt_, RealSleep),
      countdown_(RealSleep),
      hooks_(doc, Parts(sounds_, power_, line_, countdown_, ui, std::move(close))) {
  doc_.crawl().SetCrawlHooks(&hooks_);
}

HeadlessUnattended::~HeadlessUnattended() { doc_.crawl().SetCrawlHooks(nullptr); }

}  // namespace marovine
