// A server that answers 429 or 503 with Retry-After: the item waits as long
// as it asked, and nothing else of that host starts meanwhile.

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/file_io.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/loopback_server.h"

namespace marovine {
namespace {

using Clock = std::chrono::steady_clock;
using testing::LoopbackConnection;
using testing::LoopbackServer;
using testing::Sandbox;

TEST(RetryAfterTest, TheItemAndItsHostWaitAsLongAsTheServerAsked) {
  std::mutex mutex;
  std::vector<std::pair<std::string, Clock::time_point>> seen;
  int busy_answers = 0;
  LoopbackServer server([&](LoopbackConnection& c) {
    std::string target = testing::RequestTarget(c.ReadRequestHead());
    bool busy = false;
    {
      std::lock_guard lock(mutex);
      seen.emplace_back(target, Clock::now());
      busy = target == "/a.jpg" && busy_answers++ == 0;
    }
    if (busy) {
      c.Send("HTTP/1.1 429 Too Many Requests\r\nRetry-After: 2\r\nContent-Length: 0\r\n\r\n");
    } else {
      std::string body = Jpeg(target == "/a.jpg" ? 'a' : 'b');
      c.Send("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
             body);
    }
    c.Close();
  });
  Sandbox home;
  // One transfer at a time: once the slot is free, only the hold keeps the
  // second item from starting.
  CrawlDoc c(home, "[DownLoad]\nDouziDL=1\n");
  ASSERT_EQ(c.doc->RegisterUrl(server.Url("/a.jpg")), 1);
  ASSERT_EQ(c.doc->RegisterUrl(server.Url("/b.jpg")), 1);
  c.Crawl();
  EXPECT_EQ(c.doc->download_items[0].state, DS_DONE) << c.Comment(0);
  EXPECT_EQ(c.doc->download_items[1].state, DS_DONE) << c.Comment(1);
  EXPECT_EQ(*platform::ReadWholeFile(home.Path("store/direct/a.jpg")), Jpeg('a'));

  std::lock_guard lock(mutex);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].first, "/a.jpg");
  EXPECT_EQ(seen[1].first, "/a.jpg");
  EXPECT_EQ(seen[2].first, "/b.jpg");
  // Lower bounds only: a slow machine makes the waits longer, never shorter.
  EXPECT_GE(seen[1].second - seen[0].second, std::chrono::seconds(2));
  EXPECT_GE(seen[2].second - seen[0].second, std::chrono::seconds(2));
}

}  // namespace
}  // namespace marovine
