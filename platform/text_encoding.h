#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

bool IsValidUtf8(std::string_view text);

// Converts between encodings with iconv; nothing when a byte sequence cannot be
// converted or the encoding is unknown.
std::optional<std::string> ConvertEncoding(std::string_view text, const char* from, const char* to);

// Text read from files that may have been written on the original platform:
// valid UTF-8 passes unchanged, anything else is taken as CP932 (Shift_JIS)
// and converted; bytes that are neither are kept as they are.
std::string LegacyToUtf8(std::string_view text);

}  // namespace platform
