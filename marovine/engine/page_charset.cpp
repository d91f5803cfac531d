#include "marovine/engine/page_charset.h"

#include "platform/text_encoding.h"

namespace marovine {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsUtf8Name(std::string_view charset) { return charset == "utf-8" || charset == "utf8"; }

// The name iconv knows the charset by: its Shift_JIS lacks the vendor
// characters pages actually use.
std::string IconvName(std::string_view charset) {
  if (charset == "shift_jis" || charset == "sjis" || charset == "x-sjis" ||
      charset == "shift-jis") {
    return "CP932";
  }
  return std::string(charset);
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

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
    std::string from = IconvName(charset);
    if (auto converted = platform::ConvertEncoding(title, from.c_str(), "UTF-8")) {
      return *converted;
    }
  }
  return platform::LegacyToUtf8(title);
}

std::string CharacterInCharset(char32_t code_point, std::string_view charset) {
  std::string utf8;
  AppendUtf8(utf8, code_point);
  if (code_point < 0x80 || charset.empty() || IsUtf8Name(charset)) return utf8;
  std::string to = IconvName(charset);
  if (auto converted = platform::ConvertEncoding(utf8, "UTF-8", to.c_str())) return *converted;
  return utf8;
}

}  // namespace marovine
