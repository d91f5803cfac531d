#pragma once

#include <string>
#include <string_view>

namespace marovine {

// The free host whose pages may hold the same link twice on purpose: its
// links are never skipped as duplicates, and a page re-fetched there is not
// parked beside its final name.
inline constexpr std::string_view kFreeHostDomainWord = "geocities";

// A whole-site file that was mirrored before is fetched again beside its
// copy under this suffix and replaces the copy only when it arrived whole, so
// a failed or unchanged fetch never costs the mirror its file.
inline constexpr std::string_view kUpdateSuffix = ".marovine-update";

// Where a relative-address re-fetch is parked by a retry.
inline constexpr std::string_view kRefetchSuffix = "buf";

inline bool ContainsText(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

}  // namespace marovine
