#include "marovine/engine/socket_x.h"

#include "marovine/engine/host_lookup.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace marovine {
namespace {

constexpr int kSliceMs = 1000;

}  // namespace

CSocketX::~CSocketX() { Close(); }

void CSocketX::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

CSocketX::Result CSocketX::WaitFor(short events, int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (stop_.load(std::memory_order_relaxed)) return Result::kStopped;
    int slice = kSliceMs;
    if (timeout_ms > 0) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return Result::kTimeout;
      slice = static_cast<int>(std::min<long long>(slice, left.count()));
    }
    pollfd p{fd_, events, 0};
    int r = ::poll(&p, 1, slice);
    if (r > 0) return Result::kOk;
    if (r < 0 && errno != EINTR) return Result::kError;
  }
}

CSocketX::Result CSocketX::Connect(const std::string& host, int port, int timeout_ms) {
  Close();
  HostLookup lookup;
  switch (lookup.Run(host, port, stop_)) {
    case HostLookup::Result::kOk:
      break;
    case HostLookup::Result::kStopped:
      return Result::kStopped;
    case HostLookup::Result::kFailed:
      return Result::kError;
  }
  Result result = Result::kError;
  for (const addrinfo* a = lookup.addresses(); a; a = a->ai_next) {
    fd_ = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd_ < 0) continue;
    if (::connect(fd_, a->ai_addr, a->ai_addrlen) == 0) {
      result = Result::kOk;
      break;
    }
    if (errno == EINPROGRESS) {
      // A host that drops the connection request leaves it unanswered for
      // minutes; the time-out bounds this wait like every other.
      result = WaitFor(POLLOUT, timeout_ms);
      if (result == Result::kOk) {
        int error = 0;
        socklen_t len = sizeof error;
        ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &len);
        if (error == 0) break;
        result = Result::kError;
      }
      if (result == Result::kStopped) break;
    }
    Close();
  }
  if (result != Result::kOk) Close();
  return result;
}

CSocketX::Result CSocketX::SendWithTimeout(std::string_view text, int timeout_ms,
                                           std::size_t& sent) {
  sent = 0;
  if (fd_ < 0) return Result::kError;
  Result waited = WaitFor(POLLOUT, timeout_ms);
  if (waited != Result::kOk) return waited;
  ssize_t n = ::send(fd_, text.data(), text.size(), MSG_NOSIGNAL);
  if (n < 0) {
    if (errno == EAGAIN || errno == EINTR) return Result::kOk;
    return Result::kError;
  }
  sent = static_cast<std::size_t>(n);
  return Result::kOk;
}

CSocketX::Result CSocketX::ReceiveWithTimeout(char* buffer, std::size_t capacity, int timeout_ms,
                                              std::size_t& received) {
  received = 0;
  if (fd_ < 0) return Result::kError;
  for (;;) {
    if (stop_.load(std::memory_order_relaxed)) return Result::kStopped;
    // Data that has already arrived is taken without a poll first.
    ssize_t n = ::recv(fd_, buffer, capacity, 0);
    if (n > 0) {
      received = static_cast<std::size_t>(n);
      return Result::kOk;
    }
    if (n == 0) return Result::kClosed;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return Result::kError;
    Result waited = WaitFor(POLLIN, timeout_ms);
    if (waited != Result::kOk) return waited;
  }
}

}  // namespace marovine
