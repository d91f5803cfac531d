#include "platform/text_encoding.h"

#include <iconv.h>

#include <cerrno>

namespace platform {

bool IsValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    unsigned char c = *p;
    int extra;
    std::uint32_t code;
    if (c < 0x80) {
      ++p;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      code = c & 0x07;
    } else {
      return false;
    }
    if (end - p <= extra) return false;
    for (int i = 1; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      code = (code << 6) | (p[i] & 0x3F);
    }
    static constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (code < kMinimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    p += extra + 1;
  }
  return true;
}

std::optional<std::string> ConvertEncoding(std::string_view text, const char* from,
                                           const char* to) {
  iconv_t cd = ::iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  out.resize(text.size() * 2 + 16);
  char* in_ptr = const_cast<char*>(text.data());
  std::size_t in_left = text.size();
  std::size_t out_used = 0;
  bool ok = true;
  while (in_left > 0) {
    char* out_ptr = out.data() + out_used;
    std::size_t out_left = out.size() - out_used;
    std::size_t r = ::iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    out_used = out.size() - out_left;
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      ok = false;
      break;
    }
  }
  ::iconv_close(cd);
  if (!ok) return std::nullopt;
  out.resize(out_used);
  return out;
}

std::string LegacyToUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  if (auto converted = ConvertEncoding(text, "CP932", "UTF-8")) return *converted;
  return std::string(text);
}

}  // namespace platform
