#include "platform/profile_write_batch.h"

#include <sys/stat.h>

namespace platform {
namespace {

std::uint64_t FileBytes(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

}  // namespace

void ProfileWriteBatch::Write(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view value) {
  auto [it, added] = files_.try_emplace(path);
  Pending& pending = it->second;
  if (added) {
    pending.file_bytes = FileBytes(path);
    pending.since = Clock::now();
  }
  auto [at, fresh] = pending.index.try_emplace(std::string(section), pending.sections.size());
  if (fresh) pending.sections.push_back({std::string(section), {}});
  auto& values = pending.sections[at->second].values;
  for (auto& [k, v] : values) {
    if (k == key) {
      v = value;
      return;
    }
  }
  values.emplace_back(std::string(key), std::string(value));
  pending.bytes += section.size() + key.size() + value.size() + 2;
}

std::optional<std::string> ProfileWriteBatch::Find(const std::string& path,
                                                   std::string_view section,
                                                   std::string_view key) const {
  auto it = files_.find(path);
  if (it != files_.end()) {
    auto at = it->second.index.find(std::string(section));
    if (at != it->second.index.end()) {
      for (const auto& [k, v] : it->second.sections[at->second].values) {
        if (k == key) return v;
      }
    }
  }
  return readers_.try_emplace(path, path).first->second.Find(section, key);
}

void ProfileWriteBatch::Discard(const std::string& path) {
  files_.erase(path);
  readers_.erase(path);
}

bool ProfileWriteBatch::Flush(bool all, Clock::time_point now) {
  bool ok = true;
  for (auto it = files_.begin(); it != files_.end();) {
    Pending& pending = it->second;
    bool due = all || pending.bytes * kShareOfFile >= pending.file_bytes ||
               now - pending.since >= kLongestWait;
    if (!due) {
      ++it;
      continue;
    }
    if (!Profile(it->first).WriteSections(pending.sections)) {
      ok = false;
      ++it;
      continue;
    }
    it = files_.erase(it);
  }
  return ok;
}

}  // namespace platform
