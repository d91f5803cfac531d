#include "marovine/engine/transfer_worker.h"

#include <system_error>

namespace marovine {

TransferWorker::~TransferWorker() { StopAndJoin(); }

bool TransferWorker::Start(TransferJob job, bool stop_request, std::function<void()> on_end) {
  Join();
  on_end_ = std::move(on_end);
  {
    std::lock_guard lock(mutex_);
    progress_ = TransferProgress{};
    progress_.status = TS_RUNNING;
    progress_.url = job.url;
    progress_.last_modified = job.last_modified;
    started_ = false;
    stop_ = stop_request;
  }
  try {
    thread_ = std::thread([this, job = std::move(job)] {
      {
        std::lock_guard lock(mutex_);
        started_ = true;
        progress_.full_body = false;
        progress_.page = false;
        progress_.start_time = std::chrono::steady_clock::now();
      }
      signal_.notify_all();
      RunTransfer(job, *this);
    });
  } catch (const std::system_error&) {
    return false;
  }
  std::unique_lock lock(mutex_);
  signal_.wait(lock, [this] { return started_; });
  return true;
}

TransferProgress TransferWorker::Snapshot() const {
  std::lock_guard lock(mutex_);
  return progress_;
}

void TransferWorker::SetStopRequest(bool stop) {
  {
    std::lock_guard lock(mutex_);
    stop_ = stop;
  }
  if (stop) signal_.notify_all();
}

void TransferWorker::Join() {
  if (thread_.joinable()) thread_.join();
}

void TransferWorker::StopAndJoin() {
  bool running;
  {
    std::lock_guard lock(mutex_);
    running = progress_.status == TS_RUNNING && thread_.joinable();
  }
  if (running) SetStopRequest(true);
  Join();
}

void TransferWorker::Reset() {
  StopAndJoin();
  std::lock_guard lock(mutex_);
  progress_ = TransferProgress{};
  stop_ = false;
}

void TransferWorker::SetText(std::string text) {
  std::lock_guard lock(mutex_);
  progress_.status_text = std::move(text);
}

void TransferWorker::StampStart() {
  std::lock_guard lock(mutex_);
  progress_.start_time = std::chrono::steady_clock::now();
}

bool TransferWorker::WaitBeforeRetry(int seconds) {
  std::unique_lock lock(mutex_);
  if (seconds > 0) {
    signal_.wait_for(lock, std::chrono::seconds(seconds), [this] { return stop_.load(); });
  }
  return stop_.load();
}

void TransferWorker::Finish(TransferStatus status, std::string text) {
  {
    std::lock_guard lock(mutex_);
    progress_.status_text = std::move(text);
    progress_.status = status;
    progress_.end_time = std::chrono::steady_clock::now();
  }
  // Outside the lock: whoever is woken may take a snapshot at once.
  if (on_end_) on_end_();
}

void TransferWorker::Finish(TransferStatus status) {
  {
    std::lock_guard lock(mutex_);
    progress_.status = status;
    progress_.end_time = std::chrono::steady_clock::now();
  }
  if (on_end_) on_end_();
}

}  // namespace marovine
