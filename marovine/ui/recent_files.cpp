#include "marovine/ui/recent_files.h"

#include <algorithm>
#include <utility>

namespace marovine::ui {
namespace {

constexpr const char* kSection = "Recent File List";

std::string KeyOf(int index) { return "File" + std::to_string(index + 1); }

}  // namespace

std::vector<std::string> RecentFiles::Load() const {
  std::vector<std::string> paths;
  for (int i = 0; i < kCapacity; ++i) {
    // Paths are longer than the 255 bytes of an ordinary setting.
    std::string path = profile_.GetString(kSection, KeyOf(i), "", 4096);
    if (!path.empty() && std::find(paths.begin(), paths.end(), path) == paths.end()) {
      paths.push_back(std::move(path));
    }
  }
  return paths;
}

bool RecentFiles::Add(const std::string& path) {
  if (path.empty()) return true;
  std::vector<std::string> paths = Load();
  std::erase(paths, path);
  paths.insert(paths.begin(), path);
  if (paths.size() > kCapacity) paths.resize(kCapacity);
  return Store(paths);
}

bool RecentFiles::Remove(const std::string& path) {
  std::vector<std::string> paths = Load();
  if (std::erase(paths, path) == 0) return true;
  return Store(paths);
}

bool RecentFiles::Store(const std::vector<std::string>& paths) {
  std::vector<std::pair<std::string, std::string>> values;
  for (int i = 0; i < kCapacity; ++i) {
    values.emplace_back(KeyOf(i), i < static_cast<int>(paths.size()) ? paths[i] : "");
  }
  return profile_.WriteStrings(kSection, values);
}

}  // namespace marovine::ui
