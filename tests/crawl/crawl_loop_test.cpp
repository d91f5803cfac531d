// The loop the command line and the tests drive the crawl with.

#include <gtest/gtest.h>

#include <atomic>

#include "tests/crawl/crawl_fixture.h"
#include "tests/support/loopback_server.h"

namespace marovine {
namespace {

using testing::LoopbackConnection;
using testing::LoopbackServer;
using testing::Sandbox;

// A server that answers the head of a large file and then sends nothing
// until it is stopped: the transfer stays running until someone stops it.
LoopbackServer StallingServer() {
  return LoopbackServer([](LoopbackConnection& connection) {
    connection.ReadRequestHead();
    connection.Send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\nJFIF");
    connection.WaitForClientClose();
  });
}

TEST(CrawlLoopTest, AStopRequestStopsTheTransfersAndTheLoopRunsOnToTheEnd) {
  Sandbox home;
  LoopbackServer server = StallingServer();
  CrawlDoc c(home);
  ASSERT_EQ(c.doc->RegisterUrl(server.Url("/big.jpg")), 1);
  c.doc->crawl().StartCommand();

  std::atomic<int> stops{0};
  int steps = 0;
  CrawlLoopOptions options;
  options.after_step = [&] { ++steps; };
  // Asks to stop once the transfer runs, and keeps asking: the loop must
  // stop the transfers once, not on every poll.
  options.stop_requested = [&] {
    return !c.doc->download_items.empty() && c.doc->download_items[0].state == DS_RUNNING;
  };
  options.on_stop = [&] { stops.fetch_add(1); };
  ASSERT_TRUE(RunCrawlLoop(*c.doc, options));

  EXPECT_EQ(stops.load(), 1);
  EXPECT_GE(steps, 1);
  EXPECT_TRUE(c.doc->crawl().CrawlFinished());
  EXPECT_NE(c.doc->download_items[0].state, DS_DONE);
}

}  // namespace
}  // namespace marovine
