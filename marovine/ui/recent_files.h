#pragma once

#include <string>
#include <vector>

#include "platform/profile.h"

namespace marovine::ui {

// The four documents opened last, newest first, kept in a section of
// marovine.ini of their own ("Recent File List", keys "File1".."File4") so
// that the program folder holds everything the program remembers.
class RecentFiles {
 public:
  static constexpr int kCapacity = 4;

  explicit RecentFiles(platform::Profile& profile) : profile_(profile) {}

  std::vector<std::string> Load() const;
  // Puts the path first (moving it up when listed) and drops the oldest
  // beyond four. False when the file could not be written.
  bool Add(const std::string& path);
  // A listed document that can no longer be opened leaves the list.
  bool Remove(const std::string& path);

 private:
  bool Store(const std::vector<std::string>& paths);

  platform::Profile& profile_;
};

}  // namespace marovine::ui
