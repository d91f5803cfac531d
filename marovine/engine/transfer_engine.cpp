#include "marovine/engine/transfer_engine.h"

#include "marovine/engine/transfer_worker.h"

#include <utility>

namespace marovine {

TransferEngine::TransferEngine() {
  for (auto& worker : workers_) worker = std::make_unique<TransferWorker>();
}

TransferEngine::~TransferEngine() { StopAll(); }

void TransferEngine::StopAll() {
  for (auto& worker : workers_) worker->SetStopRequest(true);
  for (auto& worker : workers_) worker->StopAndJoin();
}

void TransferEngine::StartTransferThread(TransferSlot& slot) {
  if (slot.slot_number < 0 || slot.slot_number >= kTransferSlotCount) {
    slot.status_text = transfer_text::kCannotStartThread;
    slot.status = TS_FAILED;
    return;
  }
  TransferWorker& worker = *workers_[slot.slot_number];
  TransferJob job;
  job.slot_number = slot.slot_number;
  // After a redirect the worker already holds the new address.
  job.url = slot.status == TS_REDIRECTED ? worker.Snapshot().url : slot.url;
  job.referer = slot.referer;
  job.proxy = slot.proxy;
  job.credentials = slot.credentials;
  job.user_agent = slot.user_agent;
  job.local_path = slot.local_path;
  job.log_folder = slot.log_folder;
  job.banner_list_path = slot.banner_list_path;
  job.page_extensions = slot.page_extensions;
  job.last_modified = slot.last_modified;
  job.timeout_ms = slot.timeout_ms;
  job.send_referer = slot.send_referer != 0;
  job.no_cache = slot.no_cache != 0;
  job.check_log = slot.check_log != 0;
  job.free_host_cut = slot.free_host_cut != 0;
  job.banner_check = slot.banner_check != 0;
  job.resume_policy = slot.resume_policy != 0;
  job.target_absent = std::exchange(slot.target_absent, false);
  job.minimum_size = slot.minimum_size;
  job.maximum_size = slot.maximum_size;
  job.settings = settings_;
  job.page_reader = slot.page_reader;
  if (settings_.reuse_connections) job.pool = &pool_;

  slot.status = TS_RUNNING;
  if (!worker.Start(std::move(job), slot.stop_request != 0, on_end_)) {
    slot.status_text = transfer_text::kCannotStartThread;
    slot.status = TS_FAILED;
  }
}

void TransferEngine::SyncTransferSlot(TransferSlot& slot) {
  if (slot.slot_number < 0 || slot.slot_number >= kTransferSlotCount) return;
  TransferWorker& worker = *workers_[slot.slot_number];
  worker.SetStopRequest(slot.stop_request != 0);
  TransferProgress p = worker.Snapshot();
  if (p.status == TS_IDLE) return;  // nothing was started in this slot
  auto until = p.status == TS_RUNNING ? std::chrono::steady_clock::now() : p.end_time;
  slot.elapsed = static_cast<int>(
      std::chrono::duration_cast<std::chrono::seconds>(until - p.start_time).count());
  slot.received = p.received;
  slot.expected_size = p.expected_size;
  slot.status_text = p.status_text;
  slot.status = p.status;
  slot.url = p.url;
  slot.full_body = p.full_body ? 1 : 0;
  slot.page_flag = p.page ? 1 : 0;
  slot.last_modified = p.last_modified;
  slot.charset = p.charset;
  slot.retry_after = p.retry_after_seconds;
  slot.retry_wait = p.retry_wait_seconds;
  slot.page_reading = std::move(p.page_reading);
}

bool TransferEngine::TransferEnded(int slot_number) const {
  return slot_number >= 0 && slot_number < kTransferSlotCount && workers_[slot_number]->ended();
}

void TransferEngine::ResetTransferSlot(int slot_number, TransferSlot& slot) {
  if (slot_number >= 0 && slot_number < kTransferSlotCount) workers_[slot_number]->Reset();
  slot.status = TS_IDLE;
  slot.received = 0;
  slot.expected_size = 0;
  slot.stop_request = 0;
  slot.no_cache = 0;
  slot.RetryCount = 0;
  slot.last_modified.clear();
  slot.credentials.clear();
  slot.charset.clear();
  slot.retry_after = 0;
  slot.retry_wait = 0;
  // Left, the next item started in this slot would show the last one's end
  // ("正常に終了しました。") until its own first report.
  slot.status_text.clear();
  slot.elapsed = 0;
  slot.page_reader = nullptr;
  slot.page_reading.reset();
}

}  // namespace marovine
