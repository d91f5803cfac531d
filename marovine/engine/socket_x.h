#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

namespace marovine {

// The transfer thread's TCP socket. Every wait (connect, send, receive) runs in
// poll slices of at most one second and looks at the stop request between
// slices, so a stop is seen within a second even while the peer is silent and
// even when the time-out is 0 (wait forever).
class CSocketX {
 public:
  enum class Result { kOk, kTimeout, kStopped, kError, kClosed };

  explicit CSocketX(const std::atomic<bool>& stop_request) : stop_(stop_request) {}
  ~CSocketX();
  CSocketX(const CSocketX&) = delete;
  CSocketX& operator=(const CSocketX&) = delete;

  // Resolves the host and connects to the first address that answers. Each
  // address gets the time-out (0 = wait without limit); kTimeout when the
  // last one tried stayed silent that long.
  Result Connect(const std::string& host, int port, int timeout_ms);

  // Sends part of the text; `sent` gets the bytes that went out. A time-out of
  // 0 waits without limit.
  Result SendWithTimeout(std::string_view text, int timeout_ms, std::size_t& sent);

  // Receives up to `capacity` bytes; `received` is 0 with kClosed when the
  // server closed the connection.
  Result ReceiveWithTimeout(char* buffer, std::size_t capacity, int timeout_ms,
                            std::size_t& received);

  void Close();

 private:
  // Waits for the events in slices; kOk when they arrived.
  Result WaitFor(short events, int timeout_ms);

  const std::atomic<bool>& stop_;
  int fd_ = -1;
};

}  // namespace marovine
