#include "marovine/engine/host_lookup.h"

#include <gtest/gtest.h>

#include <atomic>

#include "tests/engine/transfer_fixture.h"
#include "tests/support/loopback_server.h"

namespace marovine {
namespace {

TEST(HostLookupTest, NumbersAtOnceNamesOnTheSideAndAStopIsNotHeldUp) {
  std::atomic<bool> stop{false};
  HostLookup numeric;
  ASSERT_EQ(numeric.Run("127.0.0.1", 80, stop), HostLookup::Result::kOk);
  ASSERT_NE(numeric.addresses(), nullptr);
  EXPECT_EQ(numeric.addresses()->ai_family, AF_INET);

  HostLookup named;
  ASSERT_EQ(named.Run("localhost", 80, stop), HostLookup::Result::kOk);
  EXPECT_NE(named.addresses(), nullptr);

  HostLookup unknown;
  EXPECT_EQ(unknown.Run("no-such-host.invalid", 80, stop), HostLookup::Result::kFailed);

  // A stop already requested ends the wait for a name without waiting for it.
  stop = true;
  HostLookup stopped;
  EXPECT_EQ(stopped.Run("localhost", 80, stop), HostLookup::Result::kStopped);
}

class NamedHostTest : public TransferFixture {};

TEST_F(NamedHostTest, TransfersReachAServerByName) {
  testing::LoopbackServer server([](testing::LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
  });
  auto slot = MakeSlot("http://localhost:" + std::to_string(server.port()) + "/a.txt", "a.txt");
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
  EXPECT_EQ(box.ReadFile("a.txt"), "ok");
}

}  // namespace
}  // namespace marovine
