#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/unique_handle.h"

typedef struct ssl_st SSL;
typedef struct ssl_session_st SSL_SESSION;

namespace marovine {

// Why a secure connection could not be made.
enum class TlsFailure {
  kNone,
  kUntrustedIssuer,  // the chain does not end at a certificate the system trusts
  kExpired,
  kNotYetValid,
  kNameMismatch,    // the certificate is for another host
  kBadCertificate,  // any other fault of the certificate
  kHandshake,       // the server closed or spoke no TLS
};

// The transfer thread's TCP socket, optionally carrying TLS. Every wait (connect, send, receive)
// runs in poll slices of at most one second and looks at the stop request between slices, so a stop
// is seen within a second even while the peer is silent and even when the time-out is 0 (wait
// forever).
class CSocketX {
 public:
  enum class Result { kOk, kTimeout, kStopped, kError, kClosed };

  explicit CSocketX(const std::atomic<bool>& stop_request) : stop_(&stop_request) {}
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
  // The same, but the bytes go into the pipe whose writing end is given,
  // without a copy; only for a connection without TLS.
  Result ReceiveIntoPipe(int pipe_write_end, std::size_t capacity, int timeout_ms,
                         std::size_t& received);

  // Makes the connection a TLS one (1.2 or 1.3) to `server_name`, sent as
  // SNI unless it is an address. With `verify` the chain is checked against
  // the system's trusted certificates (SSL_CERT_FILE / SSL_CERT_DIR apply)
  // and the name against the certificate; without it an unverifiable
  // certificate is accepted. kError with `failure` saying why; `unverified`
  // is set when a certificate was accepted that did not verify.
  // With `resume` the handshake offers to resume that earlier session with
  // the same server.
  Result StartTls(const std::string& server_name, bool verify, int timeout_ms, TlsFailure& failure,
                  bool& unverified, SSL_SESSION* resume = nullptr);
  // The TLS session to offer the next connection to the same server (the
  // caller frees it), or null.
  SSL_SESSION* TakeSession() const;

  void Close();
  bool is_open() const { return fd_.valid(); }
  bool is_tls() const { return ssl_ != nullptr; }

  // A connection kept open for another request moves to the transfer that
  // takes it next, and from then on looks at that transfer's stop request.
  void WatchStopRequest(const std::atomic<bool>& stop_request) { stop_ = &stop_request; }

 private:
  // Runs one TLS call that may want to wait for the socket; kOk when it
  // succeeded, the wait's result or kError otherwise.
  template <typename Call>
  Result RunTls(Call&& call, int timeout_ms, int& ssl_error);

  // Waits for the events in slices; kOk when they arrived.
  Result WaitFor(short events, int timeout_ms);

  struct SslFree {
    void operator()(SSL* ssl) const;
  };

  const std::atomic<bool>* stop_;
  platform::UniqueFd fd_;
  // After the descriptor: the connection goes before the socket it runs on.
  std::unique_ptr<SSL, SslFree> ssl_;
};

}  // namespace marovine
