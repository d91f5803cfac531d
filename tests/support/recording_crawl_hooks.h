#pragma once

#include <string>
#include <vector>

#include "marovine/document/crawl_hooks.h"

namespace marovine {

// Records every call, for tests; the album is only recorded, not made.
class RecordingCrawlHooks : public CrawlHooks {
 public:
  void PlayEventSound(int event) override { calls.push_back("sound " + std::to_string(event)); }
  void ScheduleCheck(CrawlControl& /*crawl*/) override { calls.push_back("schedule"); }
  void ClipboardWatchStep(CrawlControl& /*crawl*/) override { calls.push_back("clipboard"); }
  bool DialUpKeepCheck(CrawlControl& /*crawl*/) override {
    calls.push_back("dial keep");
    return dial_answer;
  }
  void HangUp() override { calls.push_back("hang up"); }
  void PowerManagement(CrawlControl& /*crawl*/) override { calls.push_back("power"); }
  void CloseMainWindow() override { calls.push_back("close"); }
  void ShowInQuickView(const std::string& path) override { calls.push_back("view " + path); }
  bool MakeSiteAlbum(const CrawlControl& /*crawl*/, int link_index) override {
    calls.push_back("album " + std::to_string(link_index));
    return album_answer;
  }

  int Count(const std::string& call) const {
    int n = 0;
    for (const auto& c : calls) n += c == call ? 1 : 0;
    return n;
  }

  std::vector<std::string> calls;
  bool dial_answer = true;
  bool album_answer = true;
};

}  // namespace marovine
