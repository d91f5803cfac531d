#include "marovine/engine/html_char_refs.h"

#include <array>

#include "marovine/engine/page_charset.h"

namespace marovine {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kMaxCodePoint = 0x10FFFF;

// U+00A0 to U+00FF in order: every one of them may also be written without
// its ";".
constexpr std::array<std::string_view, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

struct OtherName {
  std::string_view name;
  char32_t code_point;
  bool without_semicolon;  // old pages wrote it without ";"
};

constexpr std::array<OtherName, 11> kOtherNames = {{
    {"amp", '&', true},
    {"AMP", '&', true},
    {"lt", '<', true},
    {"LT", '<', true},
    {"gt", '>', true},
    {"GT", '>', true},
    {"quot", '"', true},
    {"QUOT", '"', true},
    {"apos", '\'', false},
    {"COPY", 0xA9, true},
    {"REG", 0xAE, true},
}};

// What 128 to 159 stand for in Windows-1252, which pages that write them
// mean; 0 where it has no character and the number is taken as it is.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsAlphanumeric(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

struct Named {
  char32_t code_point = 0;
  bool without_semicolon = false;
};

bool FindName(std::string_view name, Named& found) {
  for (std::size_t i = 0; i < kLatin1Names.size(); ++i) {
    if (kLatin1Names[i] == name) {
      found = {static_cast<char32_t>(0xA0 + i), true};
      return true;
    }
  }
  for (const OtherName& other : kOtherNames) {
    if (other.name == name) {
      found = {other.code_point, other.without_semicolon};
      return true;
    }
  }
  return false;
}

char32_t FromNumber(char32_t number, bool overflowed) {
  if (overflowed || number == 0 || number > kMaxCodePoint ||
      (number >= 0xD800 && number <= 0xDFFF)) {
    return kReplacementCharacter;
  }
  if (number >= 0x80 && number <= 0x9F && kWindows1252High[number - 0x80] != 0) {
    return kWindows1252High[number - 0x80];
  }
  return number;
}

bool IsBlank(char32_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

void AppendCharacter(std::string& out, char32_t c, std::string_view charset) {
  if ((c < 0x20 && !IsBlank(c)) || c == 0x7F) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
    return;
  }
  out += CharacterInCharset(c, charset);
}

// Reads the numeric reference whose "#" is at `at`; answers the offset just
// past it, or `at` when no digit follows (the text is then no reference).
std::size_t ReadNumber(std::string_view value, std::size_t at, char32_t& code_point) {
  std::size_t pos = at + 1;
  bool hex = pos < value.size() && (value[pos] == 'x' || value[pos] == 'X');
  if (hex) ++pos;
  const std::size_t digits_begin = pos;
  char32_t number = 0;
  bool overflowed = false;
  while (pos < value.size()) {
    int digit = hex ? HexValue(value[pos]) : (IsDigit(value[pos]) ? value[pos] - '0' : -1);
    if (digit < 0) break;
    number = number * (hex ? 16 : 10) + static_cast<char32_t>(digit);
    // Any more digits cannot bring it back in range; keep the number small.
    if (number > kMaxCodePoint) {
      overflowed = true;
      number = kMaxCodePoint + 1;
    }
    ++pos;
  }
  if (pos == digits_begin) return at;
  if (pos < value.size() && value[pos] == ';') ++pos;
  code_point = FromNumber(number, overflowed);
  return pos;
}

}  // namespace

std::string DecodeCharRefs(std::string_view value, std::string_view charset) {
  auto amp = value.find('&');
  if (amp == std::string_view::npos) return std::string(value);
  std::string out(value.substr(0, amp));
  std::size_t pos = amp;
  while (pos < value.size()) {
    if (value[pos] != '&') {
      auto next = value.find('&', pos);
      if (next == std::string_view::npos) next = value.size();
      out.append(value.substr(pos, next - pos));
      pos = next;
      continue;
    }
    const std::size_t after = pos + 1;
    if (after < value.size() && value[after] == '#') {
      char32_t code_point = 0;
      std::size_t end = ReadNumber(value, after, code_point);
      if (end != after) {
        AppendCharacter(out, code_point, charset);
        pos = end;
        continue;
      }
    } else {
      std::size_t end = after;
      while (end < value.size() && IsAlphanumeric(value[end])) ++end;
      Named named;
      if (end > after && FindName(value.substr(after, end - after), named)) {
        bool semicolon = end < value.size() && value[end] == ';';
        bool taken_bare = named.without_semicolon && (end == value.size() || value[end] != '=');
        if (semicolon || taken_bare) {
          AppendCharacter(out, named.code_point, charset);
          pos = semicolon ? end + 1 : end;
          continue;
        }
      }
    }
    out += '&';
    pos = after;
  }
  return out;
}

std::string EscapeAttributeValue(std::string_view value, char quote) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '"' && quote != '\'') {
      out += "&quot;";
    } else if (c == '\'' && quote == '\'') {
      out += "&#39;";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace marovine
