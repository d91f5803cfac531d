#include "marovine/document/crawl_loop.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "marovine/document/marovine_doc.h"

namespace marovine {

namespace {

using Clock = std::chrono::steady_clock;

// The document's turns when transfer threads collect their own ends. Shared
// with the notifier, which may still be called once the loop has returned:
// it then finds no document.
struct DocumentTurns {
  std::mutex mutex;  // held by whichever thread works on the document
  std::condition_variable wake;
  CMarovineDoc* doc = nullptr;
  bool crawl_finished = false;
};

// On the thread whose transfer has just ended: collects it (and any other
// end that came meanwhile) and starts the next items, most often on this
// very thread, which then goes on without sleeping. A thread that finds the
// document taken waits its turn: the work is short, and a thread left to
// sleep until another started its next item would cost a wake per file.
// Nothing that holds the document waits for a transfer thread to leave.
void CollectOnEndingThread(DocumentTurns& turns) {
  std::lock_guard lock(turns.mutex);
  if (turns.doc == nullptr) return;
  turns.doc->crawl().CollectAndStart();
  if (turns.doc->crawl().CrawlFinished()) {
    turns.crawl_finished = true;
    turns.wake.notify_all();
  }
}

// Installs the collection on the ending threads for the loop's lifetime.
class EndingThreadCollection {
 public:
  explicit EndingThreadCollection(CMarovineDoc& doc) : doc_(doc) {
    turns_->doc = &doc;
    doc.crawl().SetTransferEndNotifier([turns = turns_] { CollectOnEndingThread(*turns); });
  }
  ~EndingThreadCollection() {
    std::lock_guard lock(turns_->mutex);
    turns_->doc = nullptr;
    doc_.crawl().SetTransferEndNotifier(nullptr);
  }
  EndingThreadCollection(const EndingThreadCollection&) = delete;
  EndingThreadCollection& operator=(const EndingThreadCollection&) = delete;
  DocumentTurns& turns() { return *turns_; }

 private:
  CMarovineDoc& doc_;
  std::shared_ptr<DocumentTurns> turns_ = std::make_shared<DocumentTurns>();
};

}  // namespace

bool RunCrawlLoop(CMarovineDoc& doc, const CrawlLoopOptions& options) {
  const auto start = Clock::now();
  auto next_tick = start;
  bool stopping = false;
  std::optional<EndingThreadCollection> collection;
  if (options.collect_on_ending_thread && doc.settings.fast_mode != 0) collection.emplace(doc);
  const auto step_done = [&] {
    if (options.after_step) options.after_step();
    return doc.crawl().CrawlFinished();
  };
  for (;;) {
    // The document's turn, for as long as this thread works on it.
    std::unique_lock<std::mutex> turn;
    if (collection) {
      turn = std::unique_lock(collection->turns().mutex);
      // An end seen now is seen by this turn's look at the crawl; a crawl
      // that started again must not keep waking the loop.
      collection->turns().crawl_finished = false;
    }
    if (!stopping && options.stop_requested && options.stop_requested()) {
      stopping = true;
      doc.crawl().StopAllCommand();
      if (options.on_stop) options.on_stop();
    }
    auto now = Clock::now();
    if (options.limit && now - start >= *options.limit) return doc.crawl().CrawlFinished();
    if (now >= next_tick) {
      doc.crawl().CrawlTick();
      next_tick += doc.crawl().tick_period();
      if (next_tick < Clock::now()) next_tick = Clock::now() + doc.crawl().tick_period();
      if (step_done()) return true;
      continue;
    }
    Clock::duration wait = next_tick - now;
    if (options.stop_requested) wait = std::min<Clock::duration>(wait, kStopPollPeriod);
    if (options.limit) wait = std::min<Clock::duration>(wait, start + *options.limit - now);
    if (collection) {
      // The transfer threads collect their own ends; this thread prints,
      // watches for the stop and the crawl's end, and runs the ticks.
      DocumentTurns& turns = collection->turns();
      doc.crawl().CollectAndStart();
      if (step_done()) return true;
      wait = std::min<Clock::duration>(wait, kStopPollPeriod);
      turns.wake.wait_for(turn, wait, [&] { return turns.crawl_finished; });
    } else if (doc.settings.fast_mode != 0) {
      if (doc.crawl().WaitForTransferEnd(
              std::chrono::duration_cast<std::chrono::milliseconds>(wait))) {
        doc.crawl().CollectAndStart();
        if (step_done()) return true;
      }
    } else {
      std::this_thread::sleep_for(wait);
    }
  }
}

bool RunCrawlUntilFinished(CMarovineDoc& doc, std::chrono::milliseconds limit) {
  CrawlLoopOptions options;
  options.limit = limit;
  return RunCrawlLoop(doc, options);
}

}  // namespace marovine
