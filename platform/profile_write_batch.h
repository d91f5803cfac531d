#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/profile.h"

namespace platform {

// Profile keys written often (a line per fetched file) collected in memory
// and written in batches: each file is rewritten at most once per Flush, and
// only when what waits for it is a good part of its size (or has waited
// long), so the bytes written grow linearly with the keys, not with their
// square. Reads through the batch see the keys that wait.
//
// Used from one thread.
class ProfileWriteBatch {
 public:
  using Clock = std::chrono::steady_clock;

  void Write(const std::string& path, std::string_view section, std::string_view key,
             std::string_view value);
  // The value waiting for the key, else the one in the file; nothing when
  // neither holds it.
  std::optional<std::string> Find(const std::string& path, std::string_view section,
                                  std::string_view key) const;
  // Forgets what waits for a file (the file is being deleted).
  void Discard(const std::string& path);

  // Writes the files whose keys are due; `all` writes every file with keys
  // waiting (the end of a site, a stop, the exit). Answers false when a
  // file could not be written; its keys wait for the next try.
  [[nodiscard]] bool Flush(bool all, Clock::time_point now = Clock::now());

  bool empty() const { return files_.empty(); }

  // A file is due once its waiting keys are 1/kShareOfFile of its size, or
  // have waited kLongestWait.
  static constexpr std::uint64_t kShareOfFile = 4;
  static constexpr std::chrono::seconds kLongestWait{30};

 private:
  struct Pending {
    std::vector<Profile::SectionValues> sections;
    std::map<std::string, std::size_t> index;  // section -> position in sections
    std::uint64_t bytes = 0;
    std::uint64_t file_bytes = 0;  // the file's size when it was last written or first seen
    Clock::time_point since;
  };
  std::map<std::string, Pending> files_;
  // Readers kept per file: a Profile parses its file again only when it
  // changed, and a crawl asks for every file it starts.
  mutable std::map<std::string, Profile> readers_;
};

}  // namespace platform
