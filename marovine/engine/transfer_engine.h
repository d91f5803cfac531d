#pragma once

#include <array>
#include <functional>
#include <memory>

#include "marovine/engine/connection_pool.h"
#include "marovine/engine/transfer_slot.h"
#include "marovine/engine/worker_settings.h"

namespace marovine {

class TransferWorker;

// Runs up to ten transfers, one thread each. Everything is called from the
// scheduler's thread; results come back only through SyncTransferSlot. Each
// worker keeps its own copy of the inputs it was started with, and its
// progress behind a mutex of its own, so nothing is shared racily.
class TransferEngine {
 public:
  TransferEngine();
  // Asks every running transfer to stop and waits for the threads to end.
  ~TransferEngine();
  TransferEngine(const TransferEngine&) = delete;
  TransferEngine& operator=(const TransferEngine&) = delete;

  // The settings handed to every transfer that starts from now on.
  void SetWorkerSettings(const WorkerSettings& settings) { settings_ = settings; }
  const WorkerSettings& worker_settings() const { return settings_; }

  // Called on a transfer's own thread as soon as its final status is set, so
  // the scheduler can collect the result without waiting for its next tick.
  // It must be thread-safe and quick. Reaches the transfers that start from
  // now on.
  void SetTransferEndCallback(std::function<void()> on_end) { on_end_ = std::move(on_end); }

  // Hands the slot to its thread.
  // The slot's status is TS_RUNNING on return, or TS_FAILED with
  // "スレッドを起動できません。" when no thread could be started.
  void StartTransferThread(TransferSlot& slot);

  // Copies progress and the result out of the worker into the record, and the
  // record's stop request into the worker.
  void SyncTransferSlot(TransferSlot& slot);
  // Whether the slot's transfer has set its final status.
  bool TransferEnded(int slot_number) const;

  // Frees a slot whose transfer has ended.
  void ResetTransferSlot(int slot_number, TransferSlot& slot);

  // Stops and joins every transfer (the program is closing).
  void StopAll();

 private:
  WorkerSettings settings_;
  std::function<void()> on_end_;
  std::array<std::unique_ptr<TransferWorker>, kTransferSlotCount> workers_;
  // After the workers, so that it is destroyed before them: a kept connection
  // points at the stop request of the worker that used it last.
  ConnectionPool pool_;
};

}  // namespace marovine
