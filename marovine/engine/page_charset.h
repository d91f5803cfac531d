#pragma once

#include <string>
#include <string_view>

namespace marovine {

// The charset named by a "charset=" parameter anywhere in the text (a
// Content-Type header value, or a meta tag), lower-cased; empty when none.
std::string CharsetParameterOf(std::string_view text);

// A page title in UTF-8. The declared charset wins when iconv knows it;
// otherwise valid UTF-8 stays and anything else is taken as CP932, the
// encoding the sites this program grew up with use without saying so.
std::string TitleToUtf8(std::string_view title, std::string_view charset);

// One character in the bytes a page of that charset writes it with; UTF-8
// when the charset is empty, unknown to iconv or has no such character.
std::string CharacterInCharset(char32_t code_point, std::string_view charset);

}  // namespace marovine
