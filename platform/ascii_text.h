#pragma once

#include <string_view>

namespace platform {

// Comparisons and trimming the INI-style files need: ASCII letters only, so
// UTF-8 text passes untouched.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Without leading and trailing blanks (space, tab, CR, VT, FF).
std::string_view TrimBlanks(std::string_view text);

}  // namespace platform
