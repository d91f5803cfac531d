#include "marovine/document/local_name_reservations.h"

#include "marovine/engine/local_path.h"
#include "platform/path.h"

namespace marovine {

void LocalNameReservations::Add(const std::string& path) {
  if (!path.empty()) ++holders_[path];
}

void LocalNameReservations::Remove(const std::string& path) {
  auto at = holders_.find(path);
  if (at == holders_.end()) return;
  if (--at->second <= 0) holders_.erase(at);
}

void LocalNameReservations::Clear() {
  holders_.clear();
  last_number_.clear();
}

int LocalNameReservations::Holders(const std::string& path) const {
  auto at = holders_.find(path);
  return at == holders_.end() ? 0 : at->second;
}

bool LocalNameReservations::HeldByOther(const std::string& path, const std::string& own) const {
  int holders = Holders(path);
  if (!own.empty() && path == own) --holders;
  return holders > 0;
}

std::string LocalNameReservations::FreeName(const std::string& path, const std::string& own,
                                            bool check_disk) {
  auto taken = [&](const std::string& candidate) {
    return HeldByOther(candidate, own) || (check_disk && platform::FileExists(candidate));
  };
  if (!taken(path)) return path;
  // "x(3).jpg" counts on from where "x.jpg" stopped: both are numbered from
  // "x.jpg".
  int& counter = last_number_[UnnumberedLocalPath(path)];
  return FreeLocalPath(path, counter, taken);
}

}  // namespace marovine
