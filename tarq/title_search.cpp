#include "tarq/title_search.h"

#include <array>

namespace marovine::tarq {
namespace {

// Order matters: the first of these that occurs anywhere in a title wins, even
// when another occurs earlier in it. Case-sensitive, as the original compared.
constexpr std::array<std::string_view, 11> kExtensions = {
    ".jpg", ".jpeg", ".gif", ".JPG", ".JPEG", ".zip", ".lzh", ".mpg", ".mpeg", ".ram", ".bmp"};

// Removes everything up to and including the first `mark`, if the text has one.
void DropThroughFirst(std::string& text, std::string_view mark) {
  auto pos = text.find(mark);
  if (pos != std::string::npos) text.erase(0, pos + mark.size());
}

}  // namespace

std::string ShortenedTitle(std::string_view title) {
  if (title.size() <= kMaxTitleBytes) return std::string(title);
  std::size_t cut = kMaxTitleBytes;
  // Step back over continuation bytes to the start of the character that
  // would be split.
  while (cut > 0 && (static_cast<unsigned char>(title[cut]) & 0xC0) == 0x80) --cut;
  return std::string(title.substr(0, cut));
}

std::vector<std::string> TitleTable(const std::vector<std::string>& titles) {
  std::vector<std::string> table;
  for (std::size_t i = 0; i < titles.size() && i < kMaxTitles; ++i) {
    table.push_back(ShortenedTitle(titles[i]));
  }
  return table;
}

std::optional<std::string> FileNameFromTitle(std::string_view title) {
  for (std::string_view extension : kExtensions) {
    auto pos = title.find(extension);
    if (pos == std::string_view::npos) continue;
    std::string name(title.substr(0, pos + extension.size()));
    DropThroughFirst(name, "[");
    DropThroughFirst(name, "(");
    DropThroughFirst(name, " - ");
    return name;
  }
  return std::nullopt;
}

std::optional<TitleMatch> FindFileNameInTitles(const std::vector<std::string>& table) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (auto name = FileNameFromTitle(table[i])) return TitleMatch{i, *name};
  }
  return std::nullopt;
}

}  // namespace marovine::tarq
