#include "marovine/engine/socket_x.h"

#include "marovine/engine/host_lookup.h"
#include "marovine/engine/tls_context.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>

namespace marovine {
namespace {

constexpr int kSliceMs = 1000;

// Certificates name an address in their own field, not as a DNS name, and
// SNI carries names only.
bool IsAddressLiteral(const std::string& host) {
  in_addr v4{};
  in6_addr v6{};
  return ::inet_pton(AF_INET, host.c_str(), &v4) == 1 ||
         ::inet_pton(AF_INET6, host.c_str(), &v6) == 1;
}

TlsFailure FailureOfVerifyResult(long result) {
  switch (result) {
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return TlsFailure::kExpired;
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return TlsFailure::kNotYetValid;
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return TlsFailure::kNameMismatch;
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_CERT_UNTRUSTED:
      return TlsFailure::kUntrustedIssuer;
    default:
      return TlsFailure::kBadCertificate;
  }
}

}  // namespace

void CSocketX::SslFree::operator()(SSL* ssl) const { SSL_free(ssl); }

CSocketX::~CSocketX() { Close(); }

void CSocketX::Close() {
  // A connection ends when its answer is read, or when it is dropped from the
  // kept ones; a close_notify of our own would only cost a write to a peer
  // that may be gone.
  ssl_.reset();
  fd_.reset();
}

CSocketX::Result CSocketX::WaitFor(short events, int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (stop_->load(std::memory_order_relaxed)) return Result::kStopped;
    int slice = kSliceMs;
    if (timeout_ms > 0) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return Result::kTimeout;
      slice = static_cast<int>(std::min<long long>(slice, left.count()));
    }
    pollfd p{fd_.get(), events, 0};
    int r = ::poll(&p, 1, slice);
    if (r > 0) return Result::kOk;
    if (r < 0 && errno != EINTR) return Result::kError;
  }
}

CSocketX::Result CSocketX::Connect(const std::string& host, int port, int timeout_ms) {
  Close();
  HostLookup lookup;
  switch (lookup.Run(host, port, *stop_)) {
    case HostLookup::Result::kOk:
      break;
    case HostLookup::Result::kStopped:
      return Result::kStopped;
    case HostLookup::Result::kFailed:
      return Result::kError;
  }
  Result result = Result::kError;
  for (const addrinfo* a = lookup.addresses(); a; a = a->ai_next) {
    fd_.reset(
        ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol));
    if (!fd_) continue;
    if (::connect(fd_.get(), a->ai_addr, a->ai_addrlen) == 0) {
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
        ::getsockopt(fd_.get(), SOL_SOCKET, SO_ERROR, &error, &len);
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

template <typename Call>
CSocketX::Result CSocketX::RunTls(Call&& call, int timeout_ms, int& ssl_error) {
  for (;;) {
    if (stop_->load(std::memory_order_relaxed)) return Result::kStopped;
    ERR_clear_error();
    int r = call();
    if (r > 0) return Result::kOk;
    ssl_error = SSL_get_error(ssl_.get(), r);
    short events = 0;
    if (ssl_error == SSL_ERROR_WANT_READ) {
      events = POLLIN;
    } else if (ssl_error == SSL_ERROR_WANT_WRITE) {
      events = POLLOUT;
    } else {
      return Result::kError;
    }
    Result waited = WaitFor(events, timeout_ms);
    if (waited != Result::kOk) return waited;
  }
}

CSocketX::Result CSocketX::StartTls(const std::string& server_name, bool verify, int timeout_ms,
                                    TlsFailure& failure, bool& unverified, SSL_SESSION* resume) {
  failure = TlsFailure::kNone;
  unverified = false;
  if (!fd_) {
    failure = TlsFailure::kHandshake;
    return Result::kError;
  }
  TlsContextPtr context = SharedTlsContext();
  if (!context) {
    failure = TlsFailure::kHandshake;
    return Result::kError;
  }
  ssl_.reset(SSL_new(context.get()));
  if (!ssl_ || SSL_set_fd(ssl_.get(), fd_.get()) != 1) {
    failure = TlsFailure::kHandshake;
    Close();
    return Result::kError;
  }
  SSL_set_verify(ssl_.get(), verify ? SSL_VERIFY_PEER : SSL_VERIFY_NONE, nullptr);
  if (IsAddressLiteral(server_name)) {
    X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_.get()), server_name.c_str());
  } else {
    SSL_set_tlsext_host_name(ssl_.get(), server_name.c_str());
    SSL_set1_host(ssl_.get(), server_name.c_str());
  }
  if (resume) SSL_set_session(ssl_.get(), resume);
  int ssl_error = 0;
  Result result = RunTls([&] { return SSL_connect(ssl_.get()); }, timeout_ms, ssl_error);
  // The chain and the name are checked in either mode; without `verify` a
  // fault only marks the connection.
  long verified = SSL_get_verify_result(ssl_.get());
  if (result == Result::kOk) {
    unverified = verified != X509_V_OK;
    return result;
  }
  if (result == Result::kError) {
    failure =
        verify && verified != X509_V_OK ? FailureOfVerifyResult(verified) : TlsFailure::kHandshake;
  }
  Close();
  return result;
}

SSL_SESSION* CSocketX::TakeSession() const {
  SSL_SESSION* current = ssl_ ? SSL_get0_session(ssl_.get()) : nullptr;
  if (!current || !SSL_SESSION_is_resumable(current)) return nullptr;
  // A copy: freeing a connection that was not shut down marks its own
  // session as not resumable.
  return SSL_SESSION_dup(current);
}

CSocketX::Result CSocketX::SendWithTimeout(std::string_view text, int timeout_ms,
                                           std::size_t& sent) {
  sent = 0;
  if (!fd_) return Result::kError;
  if (ssl_) {
    if (text.empty()) return Result::kOk;
    int ssl_error = 0;
    std::size_t written = 0;
    Result result = RunTls(
        [&] { return SSL_write_ex(ssl_.get(), text.data(), text.size(), &written) == 1 ? 1 : 0; },
        timeout_ms, ssl_error);
    if (result == Result::kOk) sent = written;
    return result;
  }
  for (;;) {
    if (stop_->load(std::memory_order_relaxed)) return Result::kStopped;
    // A request fits the socket's buffer at once: the wait is for a full one.
    ssize_t n = ::send(fd_.get(), text.data(), text.size(), MSG_NOSIGNAL);
    if (n >= 0) {
      sent = static_cast<std::size_t>(n);
      return Result::kOk;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return Result::kError;
    Result waited = WaitFor(POLLOUT, timeout_ms);
    if (waited != Result::kOk) return waited;
  }
}

CSocketX::Result CSocketX::ReceiveWithTimeout(char* buffer, std::size_t capacity, int timeout_ms,
                                              std::size_t& received) {
  received = 0;
  if (!fd_) return Result::kError;
  if (ssl_) {
    int ssl_error = 0;
    std::size_t got = 0;
    Result result =
        RunTls([&] { return SSL_read_ex(ssl_.get(), buffer, capacity, &got) == 1 ? 1 : 0; },
               timeout_ms, ssl_error);
    if (result == Result::kOk) {
      received = got;
      // Records that have arrived meanwhile are taken in the same call, so
      // that the file gets large writes rather than one per record; the
      // first that is not there yet ends the call without waiting.
      while (received < capacity) {
        ERR_clear_error();
        if (SSL_read_ex(ssl_.get(), buffer + received, capacity - received, &got) != 1) break;
        received += got;
      }
      return result;
    }
    if (result == Result::kError && ssl_error == SSL_ERROR_ZERO_RETURN) return Result::kClosed;
    return result;
  }
  for (;;) {
    if (stop_->load(std::memory_order_relaxed)) return Result::kStopped;
    // Data that has already arrived is taken without a poll first.
    ssize_t n = ::recv(fd_.get(), buffer, capacity, 0);
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

CSocketX::Result CSocketX::ReceiveIntoPipe(int pipe_write_end, std::size_t capacity, int timeout_ms,
                                           std::size_t& received) {
  received = 0;
  if (!fd_ || ssl_) return Result::kError;
  for (;;) {
    if (stop_->load(std::memory_order_relaxed)) return Result::kStopped;
    ssize_t n = ::splice(fd_.get(), nullptr, pipe_write_end, nullptr, capacity,
                         SPLICE_F_MOVE | SPLICE_F_NONBLOCK);
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
