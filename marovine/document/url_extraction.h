#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marovine {

// Where a URL comes from decides one of the cuts: text copied from a page
// often closes an address in an ASCII parenthesis, a list file does not.
enum class UrlTextSource { kListFile, kClipboard };

// The URL one line of text carries, or empty: the text from the first
// "http://" up to the first blank, ideographic space, "<", ">", '"', "～" or
// "（" (and "(" for clipboard text). A control byte ends the URL too, so
// binary text never makes one span NULs or line ends.
std::string ExtractUrl(std::string_view line, UrlTextSource source);

// Clipboard text in lines: split at CR LF, or at LF where there is no CR LF.
std::vector<std::string_view> SplitTextLines(std::string_view text);

}  // namespace marovine
