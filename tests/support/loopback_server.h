#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace marovine::testing {

class LoopbackServer;

// One accepted connection, handed to the server's script.
class LoopbackConnection {
 public:
  LoopbackConnection(int fd, LoopbackServer& server) : fd_(fd), server_(server) {}
  ~LoopbackConnection();

  // Reads until the end of the request head (or the client closes) and
  // answers what arrived.
  std::string ReadRequestHead();
  bool Send(std::string_view bytes);
  // Waits, ending early when the server is being stopped; answers false then.
  bool Pause(std::chrono::milliseconds time);
  // Waits until the client closes its side (or the server stops).
  void WaitForClientClose();
  // Ends what the server sends (the client sees the end of the body) while
  // the connection stays open to see the client close.
  void FinishSending();
  // Waits until the condition holds, ending early when the server is being
  // stopped; answers false then. Scripts order what two transfers see with it.
  bool WaitUntil(const std::function<bool()>& condition);
  void Close();

 private:
  int fd_;
  LoopbackServer& server_;
};

// The target of a request head: "/a/b.jpg" of "GET /a/b.jpg HTTP/1.0".
std::string RequestTarget(std::string_view head);

// Our own scriptable server on 127.0.0.1 for the faults real servers don't
// make: silence, heads split anywhere, endless heads, short bodies. Each
// connection runs the script on a thread of its own.
class LoopbackServer {
 public:
  using Script = std::function<void(LoopbackConnection&)>;

  explicit LoopbackServer(Script script);
  ~LoopbackServer();

  int port() const { return port_; }
  std::string Url(const std::string& path) const;
  int connections() const { return connections_.load(); }
  // The request heads received so far, in order.
  std::vector<std::string> requests() const;

  bool stopping() const { return stopping_.load(); }
  bool PauseUntilStop(std::chrono::milliseconds time);
  void RecordRequest(std::string head);

 private:
  void AcceptLoop();

  Script script_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::condition_variable stop_signal_;
  std::vector<std::thread> handlers_;
  std::vector<std::string> requests_;
};

// A listening socket on 127.0.0.1 that never accepts, its queue filled, so a
// further connection request goes unanswered like one to a host that drops
// them: the connect neither succeeds nor fails until the client gives up.
class UnansweringListener {
 public:
  UnansweringListener();
  ~UnansweringListener();
  UnansweringListener(const UnansweringListener&) = delete;
  UnansweringListener& operator=(const UnansweringListener&) = delete;

  int port() const { return port_; }
  std::string Url(const std::string& path) const;

 private:
  int listen_fd_ = -1;
  int port_ = 0;
  std::vector<int> fillers_;
};

}  // namespace marovine::testing
