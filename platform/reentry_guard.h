#pragma once

namespace platform {

// Marks a step as running for as long as the guard lives. A second guard on
// the same flag while the first lives has not entered: a timer event pumped
// by a modal dialog inside the step returns at once instead of running the
// step inside itself. Only the guard that entered clears the flag, on every
// way out.
class ReentryGuard {
 public:
  explicit ReentryGuard(bool& running) : running_(running), entered_(!running) { running_ = true; }
  ~ReentryGuard() {
    if (entered_) running_ = false;
  }
  ReentryGuard(const ReentryGuard&) = delete;
  ReentryGuard& operator=(const ReentryGuard&) = delete;

  bool entered() const { return entered_; }

 private:
  bool& running_;
  bool entered_;
};

}  // namespace platform
