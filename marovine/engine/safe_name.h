#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace marovine {

// Local names are built from what servers send (URLs, page titles). These
// helpers make sure such a name stays one harmless component of the folder the
// user chose: nothing may climb out of it, and nothing may be refused by the
// file system for its length.

inline constexpr std::size_t kMaxNameBytes = 255;

// One file or folder name: separators, backslashes and control bytes become
// "_", "." and ".." become "_" and "__", an empty name becomes "_", and a name
// longer than kMaxNameBytes is shortened (see ShortenName).
std::string SanitizeNameComponent(std::string_view name);

// Shortens a name to at most max_bytes deterministically: the start of the
// stem (cut on a UTF-8 character boundary), "~", a hash of the whole name in
// hex, and the extension. Equal long names give equal short names; different
// ones almost surely differ.
std::string ShortenName(std::string_view name, std::size_t max_bytes = kMaxNameBytes);

// A relative path taken from a URL ("a/b/c.jpg"): split at "/", empty and "."
// components dropped, ".." takes back the previous component (never above the
// start), each remaining component sanitised; joined with the platform
// separator. Empty when nothing is left.
std::string SanitizeRelativePath(std::string_view relative);

}  // namespace marovine
