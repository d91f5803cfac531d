#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace marovine::tarq {

// What the drop tool remembers of a file: its size and the byte at offset 199
// as a signed number (0 for files shorter than 200 bytes).
struct DislikedFileSignature {
  std::int64_t size = 0;
  int value = 0;
};

// Nothing when the path is not a regular file we can open and read.
std::optional<DislikedFileSignature> ReadDislikedFileSignature(const std::string& path);

enum class RecordOutcome {
  kRecorded,
  kUnreadable,      // the file could not be opened or read: nothing recorded
  kListUnwritable,  // the banner list could not be written: nothing recorded
};

// Appends the file's entry to the banner list.
RecordOutcome RecordDislikedFile(const std::string& banner_path, const std::string& path);

}  // namespace marovine::tarq
