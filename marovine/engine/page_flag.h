#pragma once

#include <string_view>

namespace marovine {

// A transfer counts as a page when the URL's extension (the text after its
// last ".") occurs in the blank-separated page extension list, or the URL ends
// with "/". (The answer's "text/html" makes it a page too; that is decided
// when the head arrives.)
bool IsPageByUrl(std::string_view url, std::string_view page_extensions);

// A URL whose path (without its query) ends in ".css", in any case.
bool IsStylesheetUrl(std::string_view url);

}  // namespace marovine
