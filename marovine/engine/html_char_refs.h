#pragma once

#include <string>
#include <string_view>

namespace marovine {

// An attribute value as a browser reads it: each character reference
// ("&amp;", "&#38;", "&#x26;", "&eacute;") becomes the character it stands
// for, so that "list.cgi?page=2&amp;sort=name" names list.cgi?page=2&sort=name.
//
// Like a browser, this is lenient: an unknown name, a "&" alone or "&#" without
// digits stays as written; a named reference without its ";" is taken only for
// the names old pages wrote so (the Latin-1 set, amp, lt, gt, quot) and not when a
// letter, digit or "=" follows, so a query such as "?a=1&copy=2" keeps its
// parameter. A numeric reference without ";" is taken; one to 0, to a
// surrogate or beyond U+10FFFF becomes U+FFFD, and 128 to 159 are read as
// Windows-1252, as browsers do.
//
// A character outside ASCII is written in the page's charset, the way the
// page would hold it had it been written as it is: link values carry the
// page's own bytes, so "&#233;" and a literal "é" give the same address.
// Control characters are written "%XX", never as raw bytes.
std::string DecodeCharRefs(std::string_view value, std::string_view charset);

// A value to put back into an attribute quoted with `quote` ('"', '\'', or 0
// for one that will be written in double quotes): "&" as "&amp;" and the
// quote as a reference, so that a browser reads exactly `value` again.
std::string EscapeAttributeValue(std::string_view value, char quote);

}  // namespace marovine
