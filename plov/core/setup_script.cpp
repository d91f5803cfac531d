#include "plov/core/setup_script.h"

#include "platform/ascii_text.h"

namespace plov {
namespace {

std::string_view SkipLeadingBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

std::string CutBytes(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return std::string(text);
  std::size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return std::string(text.substr(0, cut));
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

OwnPaths OwnPathsOf(const std::string& executable, char separator) {
  OwnPaths own;
  own.path = executable;
  auto slash = executable.find_last_of(separator);
  own.folder = slash == std::string::npos ? std::string() : executable.substr(0, slash + 1);
  own.folder_bare = own.folder.empty() ? own.folder : own.folder.substr(0, own.folder.size() - 1);
  own.file_name = executable.substr(own.folder.size());
  auto dot = own.file_name.find_last_of('.');
  std::string base = dot == std::string::npos ? own.file_name : own.file_name.substr(0, dot);
  own.script = own.folder + base + ".inf";
  return own;
}

std::vector<std::string> ReadItems(const platform::Profile& script, std::string_view section) {
  std::vector<std::string> items;
  for (int i = 1; i <= kMaxItems; ++i) {
    std::string item = script.GetString(section, "Item" + std::to_string(i), "", kLongText);
    if (item.empty()) break;
    items.push_back(std::move(item));
  }
  return items;
}

std::optional<ShortcutItem> ParseShortcutItem(std::string_view item) {
  auto first = item.find(',');
  if (first == std::string_view::npos) return std::nullopt;
  ShortcutItem shortcut;
  shortcut.name = CutBytes(item.substr(0, first), kShortText);
  std::string_view rest = SkipLeadingBlanks(item.substr(first + 1));
  auto second = rest.find(',');
  shortcut.target = CutBytes(rest.substr(0, second), kShortText);
  if (second != std::string_view::npos) {
    shortcut.arguments = CutBytes(SkipLeadingBlanks(rest.substr(second + 1)), 63);
  }
  // The name becomes a file name in a shell folder; it must not reach out.
  if (shortcut.name.empty() || shortcut.name == "." || shortcut.name == "..") return std::nullopt;
  for (char c : shortcut.name) {
    if (IsSeparator(c)) return std::nullopt;
  }
  return shortcut;
}

std::optional<RegistryPath> ParseRegistryPath(std::string_view text) {
  auto slash = text.find('\\');
  if (slash == std::string_view::npos) return std::nullopt;
  std::string_view root = text.substr(0, slash);
  RegistryPath path;
  if (root == "HKEY_CURRENT_USER") {
    path.root = RegistryRoot::kCurrentUser;
  } else if (root == "HKEY_LOCAL_MACHINE") {
    path.root = RegistryRoot::kLocalMachine;
  } else {
    return std::nullopt;
  }
  path.key = std::string(text.substr(slash + 1));
  while (!path.key.empty() && path.key.back() == '\\') path.key.pop_back();
  // An empty key path would name the root itself.
  if (path.key.empty()) return std::nullopt;
  return path;
}

bool IsContainedRelativePath(std::string_view item) {
  if (item.empty() || IsSeparator(item.front())) return false;
  if (item.size() >= 2 && item[1] == ':') return false;
  std::size_t start = 0;
  while (start <= item.size()) {
    std::size_t end = start;
    while (end < item.size() && !IsSeparator(item[end])) ++end;
    std::string_view part = item.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace plov
