#include "marovine/album/album_index.h"

#include <string_view>
#include <vector>

#include "marovine/album/album_writer.h"
#include "marovine/album/html_text.h"
#include "marovine/album/relative_link.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/text_encoding.h"

namespace marovine {
namespace {

std::string NewIndex() {
  return std::string(kAlbumMarkLine) + "<!-- Notice!! Don't Remake This File!!!-->\n" + "<HTML>\n" +
         kAlbumMetaLine + "<TITLE>Marovine Html Album Index</TITLE>\n" + "</HEAD>\n" +
         "<BODY bgcolor='#FFFFFF' text='#000000'>\n" +
         "<P align='center'><FONT size='4'><STRONG>Album Index</STRONG></FONT></P>\n";
}

// Lines without their ends (LF or CR LF: indexes written on the original
// platform have CR LF).
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool Contains(const std::string& line, std::string_view part) {
  return line.find(part) != std::string::npos;
}

// An index from the original platform declares Shift_JIS; its text is UTF-8
// once read, and the entries we add are UTF-8 too, so keeping the old
// declaration made browsers show every Japanese title garbled.
std::string DeclaringUtf8(std::string line) {
  constexpr std::string_view kLegacy = "charset=shift_jis";
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t at = 0; at + kLegacy.size() <= line.size(); ++at) {
    std::size_t i = 0;
    while (i < kLegacy.size() && lower(line[at + i]) == kLegacy[i]) ++i;
    if (i == kLegacy.size()) {
      line.replace(at, kLegacy.size(), "charset=UTF-8");
      break;
    }
  }
  return line;
}

}  // namespace

bool UpdateAlbumIndex(const std::string& index_path, const std::string& entry_html,
                      const std::string& album_path) {
  if (!platform::MakeFoldersForFile(index_path)) return false;
  std::string old_index;
  if (platform::FileExists(index_path)) {
    auto content = platform::ReadWholeFile(index_path);
    if (!content) return false;
    old_index = platform::LegacyToUtf8(*content);
  } else {
    old_index = NewIndex();
  }

  std::string link = RelativeLink(index_path, album_path);
  // The entry's own comment line, matched whole so that one site's link inside
  // another's longer link (or inside a title) is not taken for it.
  std::string entry_comment = "<!-- " + link + " contents -->";
  std::vector<std::string> lines = SplitLines(old_index);

  std::string index;
  std::size_t at = 0;
  bool existed = false;
  for (; at < lines.size(); ++at) {
    if (Contains(lines[at], entry_comment)) {
      existed = true;
      at += 2;  // the comment and the link line after it
      break;
    }
    if (Contains(lines[at], kAlbumIndexEndMarker)) break;
    index += DeclaringUtf8(lines[at]) + "\n";
  }
  index += entry_comment + "\n";
  index += "<FONT size='3'><A href='" + EscapeLink(link) + "' target='_blank'>" + entry_html +
           "</FONT><BR>\n";
  if (existed) {
    for (; at < lines.size() && !Contains(lines[at], kAlbumIndexEndMarker); ++at) {
      index += DeclaringUtf8(lines[at]) + "\n";
    }
  }
  index += std::string("<!--") + kAlbumIndexEndMarker + "-->\n";
  index += "</BODY>\n</HTML>\n";
  return platform::WriteFileAtomically(index_path, index);
}

}  // namespace marovine
