// A modal step inside the tick pumps timer events, and the timer calls the
// tick again: that inner tick must run nothing.

#include <gtest/gtest.h>

#include "marovine/document/crawl_control.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/nginx_server.h"

namespace marovine {
namespace {

using testing::NginxServer;
using testing::Sandbox;

// Hooks that tick again from inside the tick, as a modal dialog's message
// loop would, once per hook call.
class ReenteringHooks : public RecordingCrawlHooks {
 public:
  void ClipboardWatchStep(CrawlControl& crawl) override {
    RecordingCrawlHooks::ClipboardWatchStep(crawl);
    crawl.CrawlTick();
  }
  void ScheduleCheck(CrawlControl& crawl) override {
    RecordingCrawlHooks::ScheduleCheck(crawl);
    crawl.CrawlTick();
  }
  bool DialUpKeepCheck(CrawlControl& crawl) override {
    crawl.CrawlTick();
    return RecordingCrawlHooks::DialUpKeepCheck(crawl);
  }
};

TEST(TickReentryTest, ATickCalledFromInsideTheTickRunsNothing) {
  Sandbox home;
  Sandbox site;
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) site.WriteFile(name, "JFIF data");
  NginxServer server(site.path());
  ASSERT_TRUE(server.ok());

  CrawlDoc c(home, "[DownLoad]\nDouziDL=2\n[Schedule]\nDialKeep=1\n");
  ReenteringHooks hooks;
  c.doc->crawl().SetCrawlHooks(&hooks);
  c.doc->crawl().SetClipboardWatch(true);
  for (const char* name : {"/a.jpg", "/b.jpg", "/c.jpg", "/d.jpg"}) {
    ASSERT_EQ(c.doc->RegisterUrl(server.Url(name)), 1);
  }
  c.doc->crawl().ResumeQuietly();
  c.doc->crawl().CrawlTick();

  // Each step ran once: one clipboard poll, one dial check per started
  // transfer, and no more transfers than the limit.
  EXPECT_EQ(hooks.Count("clipboard"), 1);
  EXPECT_EQ(hooks.Count("dial keep"), 2);
  int running = 0;
  for (const auto& item : c.doc->download_items) running += item.state == DS_RUNNING ? 1 : 0;
  EXPECT_EQ(running, 2);

  ASSERT_TRUE(RunCrawlUntilFinished(*c.doc, std::chrono::seconds(30)));
  EXPECT_EQ(hooks.Count("dial keep"), 4);
  // The tick is not left marked as running after a re-entry: later ticks run.
  EXPECT_GT(hooks.Count("clipboard"), 1);
}

// In fast mode a transfer's end wakes the collection between ticks, through
// the event loop; a modal step inside the tick pumps that wake-up too.
class WakingHooks : public RecordingCrawlHooks {
 public:
  CrawlScheduler* crawl = nullptr;
  bool DialUpKeepCheck(CrawlControl& control) override {
    crawl->CollectAndStart();
    return RecordingCrawlHooks::DialUpKeepCheck(control);
  }
};

TEST(TickReentryTest, AWakeUpFromInsideTheTickStartsNothingMore) {
  Sandbox home;
  Sandbox site;
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) site.WriteFile(name, "JFIF data");
  NginxServer server(site.path());
  ASSERT_TRUE(server.ok());

  CrawlDoc c(home, "[DownLoad]\nDouziDL=2\n[Schedule]\nDialKeep=1\n");
  WakingHooks hooks;
  hooks.crawl = &c.doc->crawl();
  c.doc->crawl().SetCrawlHooks(&hooks);
  for (const char* name : {"/a.jpg", "/b.jpg", "/c.jpg"}) {
    ASSERT_EQ(c.doc->RegisterUrl(server.Url(name)), 1);
  }
  c.doc->crawl().ResumeQuietly();
  c.doc->crawl().CrawlTick();

  EXPECT_EQ(hooks.Count("dial keep"), 2);
  int running = 0;
  for (const auto& item : c.doc->download_items) running += item.state == DS_RUNNING ? 1 : 0;
  EXPECT_EQ(running, 2);
  ASSERT_TRUE(RunCrawlUntilFinished(*c.doc, std::chrono::seconds(30)));
}

}  // namespace
}  // namespace marovine
