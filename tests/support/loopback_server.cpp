#include "tests/support/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace marovine::testing {

LoopbackConnection::~LoopbackConnection() { Close(); }

std::string LoopbackConnection::ReadRequestHead() {
  std::string head;
  char buffer[1024];
  while (head.find("\r\n\r\n") == std::string::npos && !server_.stopping()) {
    pollfd p{fd_, POLLIN, 0};
    int r = ::poll(&p, 1, 100);
    if (r <= 0) continue;
    ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    head.append(buffer, static_cast<std::size_t>(n));
  }
  server_.RecordRequest(head);
  return head;
}

bool LoopbackConnection::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool LoopbackConnection::Pause(std::chrono::milliseconds time) {
  return server_.PauseUntilStop(time);
}

void LoopbackConnection::WaitForClientClose() {
  char buffer[1024];
  while (!server_.stopping()) {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    if (::recv(fd_, buffer, sizeof buffer, 0) <= 0) return;
  }
}

void LoopbackConnection::FinishSending() {
  if (fd_ >= 0) ::shutdown(fd_, SHUT_WR);
}

bool LoopbackConnection::WaitUntil(const std::function<bool()>& condition) {
  while (!condition()) {
    if (!server_.PauseUntilStop(std::chrono::milliseconds(5))) return false;
  }
  return true;
}

void LoopbackConnection::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

std::string RequestTarget(std::string_view head) {
  auto from = head.find(' ');
  if (from == std::string_view::npos) return {};
  auto to = head.find(' ', from + 1);
  return std::string(head.substr(from + 1, to == std::string_view::npos ? to : to - from - 1));
}

LoopbackServer::LoopbackServer(Script script) : script_(std::move(script)) {
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int one = 1;
  ::setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  ::listen(listen_fd_, 64);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stop_signal_.notify_all();
  acceptor_.join();
  ::close(listen_fd_);
  std::vector<std::thread> handlers;
  {
    std::lock_guard lock(mutex_);
    handlers.swap(handlers_);
  }
  for (auto& t : handlers) t.join();
}

std::string LoopbackServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LoopbackServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void LoopbackServer::RecordRequest(std::string head) {
  std::lock_guard lock(mutex_);
  requests_.push_back(std::move(head));
}

bool LoopbackServer::PauseUntilStop(std::chrono::milliseconds time) {
  std::unique_lock lock(mutex_);
  return !stop_signal_.wait_for(lock, time, [this] { return stopping_.load(); });
}

void LoopbackServer::AcceptLoop() {
  while (!stopping_) {
    pollfd p{listen_fd_, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++connections_;
    std::lock_guard lock(mutex_);
    handlers_.emplace_back([this, fd] {
      LoopbackConnection connection(fd, *this);
      script_(connection);
    });
  }
}

UnansweringListener::UnansweringListener() {
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  // With a backlog of 0 the kernel queues one connection and then drops
  // every further request. Connections are made until one stays unanswered,
  // so the queue is known to be full.
  ::listen(listen_fd_, 0);
  for (int i = 0; i < 16; ++i) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    fillers_.push_back(fd);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) continue;
    if (errno != EINPROGRESS) break;
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, 300) == 0) break;
  }
}

UnansweringListener::~UnansweringListener() {
  for (int fd : fillers_) ::close(fd);
  ::close(listen_fd_);
}

std::string UnansweringListener::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace marovine::testing
