#include "marovine/engine/safe_name.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/path.h"

namespace marovine {

namespace {

std::uint64_t Fnv1a(std::string_view text) {
  std::uint64_t hash = 1469598103934665603ULL;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ULL;
  }
  return hash;
}

// Largest cut <= limit that does not split a UTF-8 sequence.
std::size_t Utf8Cut(std::string_view text, std::size_t limit) {
  if (limit >= text.size()) return text.size();
  std::size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}

}  // namespace

std::string ShortenName(std::string_view name, std::size_t max_bytes) {
  if (name.size() <= max_bytes) return std::string(name);
  char hash[18];
  std::snprintf(hash, sizeof hash, "~%016llx", static_cast<unsigned long long>(Fnv1a(name)));
  std::string_view hash_text(hash, 17);

  std::string_view extension;
  auto dot = name.rfind('.');
  // A long "extension" is not one worth keeping; it would eat the whole budget.
  if (dot != std::string_view::npos && dot > 0 && name.size() - dot <= 32) {
    extension = name.substr(dot);
  }
  std::string_view stem = name.substr(0, name.size() - extension.size());
  std::size_t room = max_bytes > hash_text.size() + extension.size()
                         ? max_bytes - hash_text.size() - extension.size()
                         : 0;
  std::string result(stem.substr(0, Utf8Cut(stem, room)));
  result += hash_text;
  result += extension;
  if (result.size() > max_bytes) result.resize(Utf8Cut(result, max_bytes));
  return result;
}

std::string SanitizeNameComponent(std::string_view name) {
  if (name.empty()) return "_";
  if (name == ".") return "_";
  if (name == "..") return "__";
  std::string result(name);
  for (char& c : result) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '/' || c == '\\' || c == platform::kPathSeparator) {
      c = '_';
    }
  }
  return ShortenName(result);
}

std::string SanitizeRelativePath(std::string_view relative) {
  std::vector<std::string_view> parts;
  std::size_t from = 0;
  while (from <= relative.size()) {
    auto slash = relative.find('/', from);
    if (slash == std::string_view::npos) slash = relative.size();
    std::string_view part = relative.substr(from, slash - from);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    from = slash + 1;
  }
  std::string joined;
  for (auto part : parts) {
    if (!joined.empty()) joined += platform::kPathSeparator;
    joined += SanitizeNameComponent(part);
  }
  return joined;
}

}  // namespace marovine
