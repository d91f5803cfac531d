#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "marovine/engine/page_reading.h"
#include "marovine/engine/transfer_status.h"
#include "marovine/engine/worker_settings.h"

namespace marovine {

class ConnectionPool;

// The inputs of one transfer, copied from the slot record when it starts.
// Only the transfer's own thread reads them afterwards.
struct TransferJob {
  int slot_number = 0;
  std::string url;
  std::string referer;
  std::string proxy;
  std::string credentials;
  std::string user_agent;
  std::string local_path;
  std::string log_folder;
  std::string banner_list_path;
  std::string page_extensions;
  std::string last_modified;
  int timeout_ms = 0;
  bool send_referer = false;
  bool no_cache = false;
  bool check_log = false;
  bool free_host_cut = false;
  bool banner_check = false;
  bool resume_policy = false;
  // Nothing was under local_path a moment ago: no part to resume, and a file
  // that appears meanwhile is not taken over.
  bool target_absent = false;
  std::int64_t minimum_size = 0;
  std::int64_t maximum_size = 0;
  WorkerSettings settings;
  // Where connections are kept between transfers; none: each transfer has
  // its own connection, closed by the server.
  ConnectionPool* pool = nullptr;
  // Reads a fetched file before the end is reported; may be empty.
  PageReader page_reader;
};

// What the scheduler reads back at each sync.
struct TransferProgress {
  TransferStatus status = TS_IDLE;
  std::string status_text;
  std::int64_t received = 0;
  std::int64_t expected_size = 0;
  std::string url;
  bool full_body = false;
  bool page = false;
  std::string last_modified;
  std::string charset;
  int retry_after_seconds = 0;
  // The wait the transfer left to the scheduler before the item is tried
  // again (retry waits off the slot).
  int retry_wait_seconds = 0;
  // Set together with the final status; shared, so that a snapshot costs no
  // copy of a large page's links.
  std::shared_ptr<PageReading> page_reading;
  std::chrono::steady_clock::time_point start_time{};
  std::chrono::steady_clock::time_point end_time{};
};

// One slot's thread and the state it shares with the scheduler: the progress
// under a mutex, the stop request as an atomic flag that socket waits poll.
// The thread is made at the slot's first start and then takes one transfer
// after another, so a crawl of thousands of small files does not pay for
// thousands of thread creations. A start hands the job over and returns; the
// thread takes it when it next runs.
class TransferWorker {
 public:
  TransferWorker() = default;
  ~TransferWorker();
  TransferWorker(const TransferWorker&) = delete;
  TransferWorker& operator=(const TransferWorker&) = delete;

  // Scheduler side.
  // Hands the job to the slot's thread (which reports it running from now
  // on); false when no thread could be started. `on_end` (may be empty) is called on the
  // transfer's thread right after its final status is set, outside the lock.
  bool Start(TransferJob job, bool stop_request, std::function<void()> on_end = {});
  TransferProgress Snapshot() const;
  // True from the transfer's final status until the next start: a look that
  // only wants ended transfers need not take every snapshot.
  bool ended() const { return ended_.load(std::memory_order_acquire); }
  void SetStopRequest(bool stop);
  // Back to idle. A transfer that still runs is stopped and waited for first.
  void Reset();
  // Stops the transfer (if any) and ends the thread; a later Start makes a
  // new one.
  void StopAndJoin();

  // Transfer side.
  const std::atomic<bool>& stop_flag() const { return stop_; }
  bool stop_requested() const { return stop_.load(); }
  void SetText(std::string text);
  // A remark every later text of this transfer carries (an unverified
  // certificate, say), so that the user sees it whatever the outcome.
  void SetTextNote(std::string note);
  void StampStart();
  // Waits up to `seconds`, ending early on a stop request; answers whether a
  // stop was requested.
  bool WaitBeforeRetry(int seconds);
  // Applies a change to the progress under the lock.
  template <typename Change>
  void Update(Change&& change) {
    std::lock_guard lock(mutex_);
    change(progress_);
  }
  // Sets the final status and text; the last thing a transfer does.
  void Finish(TransferStatus status, std::string text);
  void Finish(TransferStatus status);

 private:
  void ThreadLoop();
  // On the transfer's thread: the page reader's work on a successful end.
  std::shared_ptr<PageReading> ReadFetchedFile(TransferStatus status);
  // Waits (with the lock held) until no transfer runs.
  void WaitUntilIdle(std::unique_lock<std::mutex>& lock);
  // Waits (with the lock held) until no transfer runs or the one running has
  // set its final status.
  void WaitUntilEnded(std::unique_lock<std::mutex>& lock);

  mutable std::mutex mutex_;
  std::condition_variable signal_;
  TransferProgress progress_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> ended_{false};
  bool busy_ = false;               // the thread runs a transfer
  bool shutdown_ = false;           // the thread is to end
  std::optional<TransferJob> job_;  // handed over, not yet taken
  // Written by Start while no transfer runs or the running one has ended,
  // read by the thread under the mutex while its transfer runs.
  std::function<void()> on_end_;
  PageReader page_reader_;  // the same
  std::string text_note_;   // under the mutex; cleared at each start
  std::thread thread_;
};

// The transfer itself, run on the worker's thread.
void RunTransfer(const TransferJob& job, TransferWorker& worker);

}  // namespace marovine
