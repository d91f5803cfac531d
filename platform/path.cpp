#include "platform/path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  while (!name.empty() && name.front() == kPathSeparator && !joined.empty()) name.remove_prefix(1);
  if (!joined.empty() && joined.back() != kPathSeparator) joined += kPathSeparator;
  joined += name;
  return joined;
}

std::string WithTrailingSeparator(std::string_view folder) {
  std::string result(folder);
  if (!result.empty() && result.back() != kPathSeparator) result += kPathSeparator;
  return result;
}

std::string FolderOf(std::string_view path) {
  auto pos = path.rfind(kPathSeparator);
  if (pos == std::string_view::npos) return {};
  return std::string(path.substr(0, pos + 1));
}

std::string NameOf(std::string_view path) {
  auto pos = path.rfind(kPathSeparator);
  if (pos == std::string_view::npos) return std::string(path);
  return std::string(path.substr(pos + 1));
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

std::optional<std::int64_t> FileSizeOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::int64_t>(st.st_size);
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

bool MakeFolders(std::string_view folder) {
  std::string path(folder);
  while (path.size() > 1 && path.back() == kPathSeparator) path.pop_back();
  if (path.empty()) return false;
  if (IsFolder(path)) return true;
  // Walk from the root down, creating each missing level; a level that exists
  // (made by another thread meanwhile, say) is fine.
  for (std::size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos != path.size() && path[pos] != kPathSeparator) continue;
    std::string level = path.substr(0, pos);
    if (::mkdir(level.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return IsFolder(path);
}

bool MakeFoldersForFile(std::string_view path) {
  std::string folder = FolderOf(path);
  if (folder.empty()) return true;
  return MakeFolders(folder);
}

}  // namespace platform
