#include "marovine/engine/page_charset.h"

#include "platform/text_encoding.h"

namespace marovine {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsUtf8Name(std::string_view charset) { return charset == "utf-8" || charset == "utf8"; }

}  // namespace

std::string CharsetParameterOf(std::string_view text) {
  static constexpr std::string_view kKey = "charset=";
  for (std::size_t i = 0; i + kKey.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < kKey.size() && Lower(text[i + k]) == kKey[k]) ++k;
    if (k != kKey.size()) continue;
    std::size_t from = i + kKey.size();
    while (from < text.size() && (text[from] == '"' || text[from] == '\'' || text[from] == ' ')) {
      ++from;
    }
    std::string name;
    for (std::size_t j = from; j < text.size() && name.size() < 40; ++j) {
      char c = text[j];
      bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == ':' || c == '.';
      if (!allowed) break;
      name += Lower(c);
    }
    return name;
  }
  return {};
}

std::string TitleToUtf8(std::string_view title, std::string_view charset) {
  if (title.empty()) return {};
  if (!charset.empty() && !IsUtf8Name(charset)) {
    std::string from(charset);
    // iconv's Shift_JIS lacks the vendor characters pages actually use.
    if (from == "shift_jis" || from == "sjis" || from == "x-sjis" || from == "shift-jis") {
      from = "CP932";
    }
    if (auto converted = platform::ConvertEncoding(title, from.c_str(), "UTF-8")) {
      return *converted;
    }
  }
  return platform::LegacyToUtf8(title);
}

}  // namespace marovine
