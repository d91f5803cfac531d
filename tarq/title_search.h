#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marovine::tarq {

// The title table keeps the first 100 titles, each cut to at most 127 bytes.
inline constexpr std::size_t kMaxTitles = 100;
inline constexpr std::size_t kMaxTitleBytes = 127;

// Cuts a title to kMaxTitleBytes without splitting a UTF-8 character, so the
// rest still converts for display.
std::string ShortenedTitle(std::string_view title);

// The first kMaxTitles titles, shortened.
std::vector<std::string> TitleTable(const std::vector<std::string>& titles);

// The file name a window title shows, or nothing when the title names none of
// the extensions we look for. Viewers put the name in many places: "app -
// [name.jpg]", "name.jpg - app", "app (name.jpg)"; the cut keeps the name.
std::optional<std::string> FileNameFromTitle(std::string_view title);

struct TitleMatch {
  std::size_t title_index = 0;
  std::string name;
};

// The first title of the table that names a file, and that name.
std::optional<TitleMatch> FindFileNameInTitles(const std::vector<std::string>& table);

}  // namespace marovine::tarq
