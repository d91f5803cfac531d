#include "marovine/album/relative_link.h"

#include <algorithm>

#include "platform/path.h"

namespace marovine {
namespace {

std::size_t Depth(std::string_view folder) {
  return static_cast<std::size_t>(
      std::count(folder.begin(), folder.end(), platform::kPathSeparator));
}

// Cuts the last folder off a folder text that ends with a separator and
// answers it (without separator): "/a/b/" becomes "/a/" and gives "b".
std::string RemoveLastFolder(std::string* folder) {
  std::string_view text(*folder);
  if (!text.empty() && text.back() == platform::kPathSeparator) text.remove_suffix(1);
  auto cut = text.rfind(platform::kPathSeparator);
  std::string component;
  if (cut == std::string_view::npos) {
    component = std::string(text);
    folder->clear();
  } else {
    component = std::string(text.substr(cut + 1));
    folder->resize(cut + 1);
  }
  return component;
}

}  // namespace

std::string RelativeLink(std::string_view from, std::string_view to) {
  // An absolute and a relative path share no folder we could climb to (a
  // storage folder given relative while the log holds absolute paths, say);
  // counting folders across them gave links like "../..//d/p.jpg".
  auto absolute = [](std::string_view path) {
    return !path.empty() && path.front() == platform::kPathSeparator;
  };
  if (absolute(from) != absolute(to)) return std::string(to);
  std::string a = platform::FolderOf(from);
  std::string b = platform::FolderOf(to);
  std::string down;
  std::size_t ups = 0;

  std::size_t depth_a = Depth(a);
  std::size_t depth_b = Depth(b);
  for (; depth_b > depth_a; --depth_b) {
    down.insert(0, RemoveLastFolder(&b) + platform::kPathSeparator);
  }
  for (; depth_a > depth_b; --depth_a) {
    RemoveLastFolder(&a);
    ++ups;
  }
  while (a != b) {
    if (b.find(platform::kPathSeparator) == std::string::npos) return std::string(to);
    ++ups;
    down.insert(0, RemoveLastFolder(&b) + platform::kPathSeparator);
    RemoveLastFolder(&a);
  }

  std::string link;
  for (std::size_t i = 0; i < ups; ++i) link += "../";
  link += down;
  link += platform::NameOf(to);
  return link;
}

}  // namespace marovine
