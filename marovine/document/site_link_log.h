#pragma once

#include <string>
#include <string_view>

namespace marovine {

// The link log of a link-site search ("Log/<site>_link.txt"): every other site
// a site has led to, one address a line, so that each is registered once.
// Appends the address unless a line already contains it; answers whether it
// was new. A log that cannot be written answers true: the site is then
// registered rather than lost.
bool AppendSiteLinkLog(const std::string& log_path, std::string_view url);

}  // namespace marovine
