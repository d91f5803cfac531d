#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace marovine::testing {

// Polls a condition until it holds or the time is up; answers whether it held.
// Tests wait for events this way instead of sleeping a fixed time.
inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds limit = std::chrono::seconds(20),
                    std::chrono::milliseconds poll = std::chrono::milliseconds(5)) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(poll);
  }
  return true;
}

}  // namespace marovine::testing
