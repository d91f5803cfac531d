#include "marovine/album/html_text.h"

#include <cstdio>

namespace marovine {

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '\'':
        out += "&#39;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

namespace {

bool KeptInLink(unsigned char c) {
  if (c >= 0x80) return true;
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  switch (c) {
    case '-':
    case '.':
    case '_':
    case '~':
    case '/':
    case '!':
    case '$':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
    case '@':
    case '[':
    case ']':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string EscapeLink(std::string_view link) {
  std::string out;
  out.reserve(link.size());
  for (char c : link) {
    auto byte = static_cast<unsigned char>(c);
    if (KeptInLink(byte)) {
      out += c;
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", byte);
      out += hex;
    }
  }
  return out;
}

}  // namespace marovine
