#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marovine {

// A ".ram" file is a small text that points at the real stream. These are the
// ".rm" and ".ra" addresses it names, one per line at most, each cut at the
// first blank, full-width blank, "<", ">", double quote, "～" or "（".
std::vector<std::string> RealMediaLinks(std::string_view text);

}  // namespace marovine
