#include "marovine/engine/connection_pool.h"

#include <openssl/ssl.h>

namespace marovine {

ConnectionPool::Idle ConnectionPool::Take(const std::string& server) {
  std::lock_guard lock(mutex_);
  auto found = idle_.find(server);
  if (found == idle_.end() || found->second.empty()) return {};
  // The newest is the least likely to have been closed by the server meanwhile.
  Idle idle = std::move(found->second.back());
  found->second.pop_back();
  return idle;
}

void ConnectionPool::Give(const std::string& server, Idle idle) {
  if (!idle.socket || !idle.socket->is_open()) return;
  std::unique_ptr<CSocketX> dropped;
  std::lock_guard lock(mutex_);
  auto& list = idle_[server];
  list.push_back(std::move(idle));
  if (list.size() > kMaxIdlePerServer) {
    dropped = std::move(list.front().socket);
    list.pop_front();
  }
}

ConnectionPool::Session ConnectionPool::SessionOf(const std::string& server) const {
  std::lock_guard lock(mutex_);
  auto found = sessions_.find(server);
  return found == sessions_.end() ? nullptr : found->second;
}

void ConnectionPool::KeepSession(const std::string& server, SSL_SESSION* session) {
  if (!session) return;
  Session kept(session, SSL_SESSION_free);
  std::lock_guard lock(mutex_);
  // The one replaced is freed once no handshake uses it any more.
  sessions_[server].swap(kept);
}

std::size_t ConnectionPool::idle_count(const std::string& server) const {
  std::lock_guard lock(mutex_);
  auto found = idle_.find(server);
  return found == idle_.end() ? 0 : found->second.size();
}

}  // namespace marovine
