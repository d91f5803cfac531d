#pragma once

#include <string>
#include <string_view>

namespace marovine {

// Text placed between tags or inside a quoted attribute: &, <, >, ' and "
// become entities, so a title or folder name cannot end the markup early.
std::string EscapeHtml(std::string_view text);

// A relative link (as RelativeLink makes it) placed in href or src: bytes that
// would end the attribute or change the link's meaning in a browser (space,
// quotes, '#', '?', '%', ':', '<', '>', '&', control bytes, '\\') are written
// as %XX. UTF-8 text and ordinary file-name characters stay readable.
std::string EscapeLink(std::string_view link);

}  // namespace marovine
