#include "marovine/engine/transfer_worker.h"

#include <system_error>

namespace marovine {

TransferWorker::~TransferWorker() { StopAndJoin(); }

void TransferWorker::WaitUntilIdle(std::unique_lock<std::mutex>& lock) {
  signal_.wait(lock, [this] { return !busy_ && !job_; });
}

void TransferWorker::WaitUntilEnded(std::unique_lock<std::mutex>& lock) {
  signal_.wait(lock, [this] { return (!busy_ || ended_) && !job_; });
}

bool TransferWorker::Start(TransferJob job, bool stop_request, std::function<void()> on_end) {
  std::unique_lock lock(mutex_);
  // A transfer that has set its final status touches nothing of the slot's
  // any more: the next job may be handed over while its thread is still on
  // its way out, and the thread takes it without going to sleep.
  WaitUntilEnded(lock);
  on_end_ = std::move(on_end);
  page_reader_ = std::move(job.page_reader);
  text_note_.clear();
  progress_ = TransferProgress{};
  progress_.status = TS_RUNNING;
  progress_.url = job.url;
  progress_.last_modified = job.last_modified;
  progress_.start_time = std::chrono::steady_clock::now();
  stop_ = stop_request;
  ended_ = false;
  job_ = std::move(job);
  if (!thread_.joinable()) {
    try {
      shutdown_ = false;
      thread_ = std::thread([this] { ThreadLoop(); });
    } catch (const std::system_error&) {
      job_.reset();
      // Reported like any other end: a slot left "running" here would never
      // be collected, and its site would never finish.
      progress_.status = TS_FAILED;
      ended_ = true;
      progress_.status_text = transfer_text::kCannotStartThread;
      progress_.start_time = progress_.end_time = std::chrono::steady_clock::now();
      return false;
    }
  }
  // The thread takes the job when it next runs; the scheduler need not wait
  // for that, since the progress already says running.
  signal_.notify_all();
  return true;
}

void TransferWorker::ThreadLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    signal_.wait(lock, [this] { return job_.has_value() || shutdown_; });
    if (!job_) return;
    TransferJob job = std::move(*job_);
    job_.reset();
    busy_ = true;
    progress_.start_time = std::chrono::steady_clock::now();
    lock.unlock();
    RunTransfer(job, *this);
    lock.lock();
    busy_ = false;
    signal_.notify_all();
  }
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

void TransferWorker::StopAndJoin() {
  {
    std::lock_guard lock(mutex_);
    // A job handed over but not yet taken still runs, and ends at once.
    if (busy_ || job_) stop_ = true;
    shutdown_ = true;
  }
  signal_.notify_all();
  if (thread_.joinable()) thread_.join();
  std::lock_guard lock(mutex_);
  shutdown_ = false;
}

void TransferWorker::Reset() {
  std::unique_lock lock(mutex_);
  job_.reset();  // handed over but not taken: it never runs
  if (busy_ && !ended_) {
    stop_ = true;
    signal_.notify_all();
    WaitUntilEnded(lock);
  }
  // The thread may still be on its way out of an ended transfer: the next
  // start need not wait for it.
  progress_ = TransferProgress{};
  stop_ = false;
}

void TransferWorker::SetText(std::string text) {
  std::lock_guard lock(mutex_);
  progress_.status_text = std::move(text) + text_note_;
}

void TransferWorker::SetTextNote(std::string note) {
  std::lock_guard lock(mutex_);
  text_note_ = std::move(note);
  progress_.status_text += text_note_;
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

std::shared_ptr<PageReading> TransferWorker::ReadFetchedFile(TransferStatus status) {
  if ((status != TS_DONE && status != TS_NOT_MODIFIED) || !page_reader_) return nullptr;
  FetchedFile file;
  file.status = status;
  {
    std::lock_guard lock(mutex_);
    file.url = progress_.url;
    file.charset = progress_.charset;
    file.page = progress_.page;
  }
  // Still running meanwhile: the end is reported with what was read.
  return page_reader_(file);
}

void TransferWorker::Finish(TransferStatus status, std::string text) {
  std::shared_ptr<PageReading> reading = ReadFetchedFile(status);
  std::function<void()> on_end;
  {
    std::lock_guard lock(mutex_);
    progress_.page_reading = std::move(reading);
    progress_.status_text = std::move(text) + text_note_;
    progress_.status = status;
    progress_.end_time = std::chrono::steady_clock::now();
    ended_.store(true, std::memory_order_release);
    // A next job may replace the callback as soon as the lock is free.
    on_end = on_end_;
  }
  // Outside the lock: whoever is woken may take a snapshot at once.
  if (on_end) on_end();
}

void TransferWorker::Finish(TransferStatus status) {
  std::shared_ptr<PageReading> reading = ReadFetchedFile(status);
  std::function<void()> on_end;
  {
    std::lock_guard lock(mutex_);
    progress_.page_reading = std::move(reading);
    progress_.status = status;
    progress_.end_time = std::chrono::steady_clock::now();
    ended_.store(true, std::memory_order_release);
    on_end = on_end_;
  }
  if (on_end) on_end();
}

}  // namespace marovine
