#include "marovine/document/ram_file.h"

#include <algorithm>
#include <array>

#include "platform/text_encoding.h"

namespace marovine {

namespace {

// Lines longer than this were never read whole.
constexpr std::size_t kMaxLineBytes = 499;

// Where an address ends: a blank, a full-width blank, "<", ">", a double
// quote, "～" or "（".
constexpr std::array<std::string_view, 7> kUtf8Stops = {" ", "　", "<", ">", "\"", "～", "（"};
constexpr std::array<std::string_view, 7> kCp932Stops = {" ",  "\x81\x40", "<",       ">",
                                                         "\"", "\x81\x60", "\x81\x69"};

std::size_t Utf8AddressEnd(std::string_view line) {
  // UTF-8 never lets one character's bytes start inside another's.
  std::size_t end = line.size();
  for (std::string_view stop : kUtf8Stops) end = std::min(end, line.find(stop));
  return end;
}

bool IsCp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::size_t Cp932AddressEnd(std::string_view line) {
  // Walked a character at a time: the second byte of a double-byte character
  // may look like the first of a stop.
  std::size_t i = 0;
  while (i < line.size()) {
    std::size_t width = IsCp932LeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1;
    std::string_view character = line.substr(i, width);
    for (std::string_view stop : kCp932Stops) {
      if (character == stop) return i;
    }
    i += width;
  }
  return line.size();
}

}  // namespace

std::vector<std::string> RealMediaLinks(std::string_view text) {
  // Files written on the original platform are CP932; newer ones may be UTF-8.
  const bool utf8 = platform::IsValidUtf8(text);
  std::vector<std::string> links;
  while (!text.empty()) {
    auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.size() > kMaxLineBytes) line = line.substr(0, kMaxLineBytes);
    // Only the line end goes: a last line without one keeps its last letter.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    auto start = std::min(line.find("http://"), line.find("https://"));
    if (start == std::string_view::npos) continue;
    line.remove_prefix(start);
    line = line.substr(0, utf8 ? Utf8AddressEnd(line) : Cp932AddressEnd(line));
    if (line.find(".rm") != std::string_view::npos || line.find(".ra") != std::string_view::npos) {
      links.emplace_back(line);
    }
  }
  return links;
}

}  // namespace marovine
