#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "marovine/engine/http_request.h"
#include "marovine/engine/transfer_engine.h"
#include "tests/support/sandbox.h"
#include "tests/support/wait_for.h"

namespace marovine {

// Runs transfers the way the scheduler does: fill a slot, start it, sync it
// until it ends.
class TransferFixture : public ::testing::Test {
 protected:
  TransferFixture() {
    WorkerSettings settings;
    settings.retry_wait_time = 0;  // retries are the scheduler's business; don't wait in tests
    engine.SetWorkerSettings(settings);
  }

  TransferSlot MakeSlot(const std::string& url, const std::string& local_name,
                        int slot_number = 0) {
    TransferSlot slot;
    slot.slot_number = slot_number;
    slot.url = url;
    slot.local_path = box.Path(local_name);
    slot.log_folder = box.path();
    slot.banner_list_path = box.Path("banner.dat");
    slot.user_agent = kUserAgentBrowser;
    slot.send_referer = 1;
    slot.page_extensions = "html htm HTML HTM shtml";
    slot.timeout_ms = 10000;
    slot.resume_policy = 1;
    return slot;
  }

  void SetWorker(WorkerSettings settings) { engine.SetWorkerSettings(settings); }

  // Starts the slot and syncs it until the transfer has ended.
  void Run(TransferSlot& slot, std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    Start(slot);
    ASSERT_TRUE(testing::WaitFor(
        [&] {
          engine.SyncTransferSlot(slot);
          return slot.status != TS_RUNNING;
        },
        limit))
        << "transfer did not end: " << slot.status_text;
  }

  void Start(TransferSlot& slot) { engine.StartTransferThread(slot); }

  testing::Sandbox box;
  TransferEngine engine;
};

}  // namespace marovine
