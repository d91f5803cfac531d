#pragma once

#include <atomic>
#include <string>

namespace marovine {

// What shows an album run to the user (the GUI's progress dialog, the CLI's
// status line, a test's recorder). The run asks cancel_requested() before
// each picture; a cancelled run still finishes the album with the pictures
// done so far.
class AlbumProgress {
 public:
  virtual ~AlbumProgress() = default;

  // A run over `count` listed pictures begins.
  virtual void Started(int /*count*/) {}
  // Picture `done` of `count` is being added ("%d/%d").
  virtual void Advanced(int /*done*/, int /*count*/) {}
  // A message for the user (missing log, nothing selected).
  virtual void ShowMessage(const std::string& /*text*/) {}

  // Safe to call from another thread or a signal handler.
  void RequestCancel() { cancel_.store(true); }
  bool cancel_requested() const { return cancel_.load(); }

 private:
  std::atomic<bool> cancel_{false};
};

}  // namespace marovine
