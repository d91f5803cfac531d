// The engine tells whoever waits that a transfer has ended, once per transfer,
// after the final status can be read.

#include <gtest/gtest.h>

#include <atomic>

#include "tests/engine/transfer_fixture.h"

namespace marovine {
namespace {

class TransferEndCallbackTest : public TransferFixture {};

TEST_F(TransferEndCallbackTest, FiresOncePerTransferAfterTheStatusIsFinal) {
  std::atomic<int> ends{0};
  engine.SetTransferEndCallback([&] { ++ends; });
  for (int round = 1; round <= 2; ++round) {
    TransferSlot slot = MakeSlot("ftp://nowhere.example/x.jpg", "x.jpg", round);
    Start(slot);
    ASSERT_TRUE(testing::WaitFor([&] { return ends.load() == round; }));
    engine.SyncTransferSlot(slot);
    EXPECT_EQ(slot.status, TS_FAILED);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ends.load(), 2);
}

}  // namespace
}  // namespace marovine
