#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "marovine/engine/socket_x.h"

namespace marovine {

// Connections kept open after an answer whose end its framing told, one list
// per server (scheme, host, port, how its certificate was checked), for
// whichever transfer next asks that server for something. A list holds at
// most as many connections as transfers can run at once; the oldest goes
// first. Shared by the transfer threads, so every call is under a lock.
class ConnectionPool {
 public:
  static constexpr std::size_t kMaxIdlePerServer = 10;

  struct Idle {
    std::unique_ptr<CSocketX> socket;
    bool unverified = false;  // its certificate was accepted without verifying
  };

  // The most recently used connection to the server, or an empty one.
  Idle Take(const std::string& server);
  void Give(const std::string& server, Idle idle);
  std::size_t idle_count(const std::string& server) const;

  // The last TLS session of the server, so that a new connection resumes it
  // instead of a full handshake.
  using Session = std::shared_ptr<SSL_SESSION>;
  Session SessionOf(const std::string& server) const;
  // Takes a session from TakeSession (null is ignored).
  void KeepSession(const std::string& server, SSL_SESSION* session);

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::deque<Idle>> idle_;
  std::map<std::string, Session> sessions_;
};

}  // namespace marovine
