#include "marovine/engine/connection_pool.h"

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

std::size_t ConnectionPool::idle_count(const std::string& server) const {
  std::lock_guard lock(mutex_);
  auto found = idle_.find(server);
  return found == idle_.end() ? 0 : found->second.size();
}

}  // namespace marovine
