// Fast mode: a retry wait does not hold its transfer slot. The item waits in
// the list until its time and the slot fetches other items meanwhile.

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "marovine/document/crawl_loop.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/loopback_server.h"

namespace marovine {
namespace {

using testing::LoopbackConnection;
using testing::LoopbackServer;
using testing::Sandbox;

constexpr int kGoodFiles = 12;

// "/dead*.jpg" are missing; every other file is there.
LoopbackServer::Script DeadAndGoodFiles(std::atomic<int>& good_served) {
  return [&good_served](LoopbackConnection& c) {
    std::string target = testing::RequestTarget(c.ReadRequestHead());
    if (target.starts_with("/dead")) {
      c.Send("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    } else {
      std::string body = Jpeg('g');
      c.Send("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
             body);
      ++good_served;
    }
    c.Close();
  };
}

int RequestsFor(const LoopbackServer& server, const std::string& target) {
  int count = 0;
  for (const auto& head : server.requests()) count += testing::RequestTarget(head) == target;
  return count;
}

TEST(RetryOffSlotTest, DeadLinksWaitInTheListWhileTheSlotFetchesTheRest) {
  std::atomic<int> good_served{0};
  LoopbackServer server(DeadAndGoodFiles(good_served));
  Sandbox home;
  // One slot and a minute's wait: in the slot, the wait would hold up every
  // good file behind the dead ones for minutes.
  CrawlDoc c(home, "[DownLoad]\nDouziDL=1\nRetryWaitTime=60\nMushi404=1\nFastMode=1\n");
  ASSERT_EQ(c.doc->RegisterUrl(server.Url("/dead1.jpg")), 1);
  ASSERT_EQ(c.doc->RegisterUrl(server.Url("/dead2.jpg")), 1);
  for (int n = 0; n < kGoodFiles; ++n) {
    ASSERT_EQ(c.doc->RegisterUrl(server.Url("/good" + std::to_string(n) + ".jpg")), 1);
  }
  c.doc->crawl().StartCommand();
  CrawlLoopOptions options;
  options.limit = std::chrono::seconds(50);  // less than the wait
  // Served is not yet collected: the loop ends once the list has every good
  // file done, so the stop never cuts the last one off.
  options.stop_requested = [&] {
    if (good_served.load() < kGoodFiles) return false;
    for (int row = 2; row < 2 + kGoodFiles; ++row) {
      if (c.doc->download_items[row].state != DS_DONE) return false;
    }
    return true;
  };
  ASSERT_TRUE(RunCrawlLoop(*c.doc, options)) << "the good files waited for the dead ones";

  for (int row = 2; row < 2 + kGoodFiles; ++row) {
    EXPECT_EQ(c.doc->download_items[row].state, DS_DONE) << c.Comment(row);
  }
  EXPECT_EQ(*platform::ReadWholeFile(home.Path("store/direct/good0.jpg")), Jpeg('g'));
  // The dead links were asked for once and wait for their retry, which the
  // stop leaves waiting.
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(c.doc->download_items[row].state, DS_RETRY_WAIT) << c.Comment(row);
  }
  EXPECT_EQ(RequestsFor(server, "/dead1.jpg"), 1);
  EXPECT_EQ(RequestsFor(server, "/dead2.jpg"), 1);
}

TEST(RetryOffSlotTest, AWaitingItemIsRetriedAfterItsWaitAndKeepsItsRetryCount) {
  std::atomic<int> good_served{0};
  LoopbackServer server(DeadAndGoodFiles(good_served));
  Sandbox home;
  CrawlDoc c(home,
             "[DownLoad]\nDouziDL=2\nRetryWaitTime=1\nMushi404=1\nFastMode=1\n"
             "Retry Time=2\nResume Dwonload=1\n");
  ASSERT_EQ(c.doc->RegisterUrl(server.Url("/dead.jpg")), 1);
  ASSERT_EQ(c.doc->RegisterUrl(server.Url("/good.jpg")), 1);
  c.Crawl();
  EXPECT_EQ(c.doc->download_items[1].state, DS_DONE) << c.Comment(1);
  // The first try and two retries, each after its wait, then the item fails
  // (a retry count lost on the way would retry it for ever).
  EXPECT_EQ(c.doc->download_items[0].state, DS_ERROR) << c.Comment(0);
  EXPECT_EQ(RequestsFor(server, "/dead.jpg"), 3);
  EXPECT_FALSE(platform::FileExists(home.Path("store/direct/dead.jpg")));
}

}  // namespace
}  // namespace marovine
