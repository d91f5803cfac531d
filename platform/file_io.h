#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Reads a whole file as bytes; nothing when it cannot be read.
[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes a file so that readers see either the old or the new content, never a
// part: the bytes go to a temporary file beside it, are flushed, and the
// temporary file is renamed over the target. Missing folders are created.
// Answers false (and leaves the old file as it was) on any failure; the errno
// of the failure is kept for the caller.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Writes all of the bytes to an open descriptor, going on after short writes
// and interruptions; false (errno kept) on a failure.
[[nodiscard]] bool WriteAll(int fd, std::string_view bytes);

// Appends bytes to a file (created when absent).
[[nodiscard]] bool AppendToFile(const std::string& path, std::string_view bytes);

}  // namespace platform
