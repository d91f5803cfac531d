#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The one separator of file-system paths. Where the original program joined
// folders with a backslash, we join with this.
inline constexpr char kPathSeparator = '/';

// Joins a folder and a name with exactly one separator between them.
std::string JoinPath(std::string_view folder, std::string_view name);

// Ensures a folder text ends with the separator (empty stays empty).
std::string WithTrailingSeparator(std::string_view folder);

// The folder part of a path, up to and including its last separator; empty
// when the path has none.
std::string FolderOf(std::string_view path);

// The name part of a path, after its last separator.
std::string NameOf(std::string_view path);

// Creates every missing folder of the path's folder part (the part up to and
// including its last separator). Answers true when that folder exists afterwards.
[[nodiscard]] bool MakeFoldersForFile(std::string_view path);

// Creates a folder and its missing parents.
[[nodiscard]] bool MakeFolders(std::string_view folder);

[[nodiscard]] bool FileExists(const std::string& path);
[[nodiscard]] bool IsFolder(const std::string& path);

// Size in bytes of a regular file, or nothing when it does not exist.
[[nodiscard]] std::optional<std::int64_t> FileSizeOf(const std::string& path);

// Removes a file; a missing file counts as removed.
[[nodiscard]] bool RemoveFile(const std::string& path);

}  // namespace platform
