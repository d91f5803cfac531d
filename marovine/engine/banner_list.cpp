#include "marovine/engine/banner_list.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/file_io.h"
#include "platform/unique_handle.h"

namespace marovine {
namespace {

// True for a missing or empty file too: nothing there to glue onto.
bool EndsWithLineEnd(const std::string& path) {
  platform::UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file) return true;
  return std::fseek(file.get(), -1, SEEK_END) != 0 || std::fgetc(file.get()) == '\n';
}

}  // namespace

bool AppendBannerEntry(const std::string& banner_path, std::int64_t size, int signature) {
  return AppendBannerLines(banner_path,
                           ";\n" + std::to_string(size) + "\n" + std::to_string(signature) + "\n");
}

bool AppendBannerLines(const std::string& banner_path, std::string_view lines) {
  std::string text(lines);
  // A list merged from a file without a final line end would otherwise have
  // our first line glued to its last, and that entry never be read.
  if (!EndsWithLineEnd(banner_path)) text.insert(0, "\n");
  return platform::AppendToFile(banner_path, text);
}

std::optional<int> TextSignatureOf(const std::string& path) {
  constexpr int kSignatureCharacter = 200;
  platform::UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  int value = EOF;
  for (int n = 0; n < kSignatureCharacter; ++n) {
    value = std::fgetc(file.get());
    if (value == 0x1A) value = EOF;
    if (value == EOF) break;
    if (value == '\r') {
      int next = std::fgetc(file.get());
      if (next == '\n') {
        value = '\n';
      } else if (next != EOF) {
        std::ungetc(next, file.get());
      }
    }
  }
  return value == EOF ? -1 : value;
}

bool IsBannerDifferenceLine(std::string_view line) {
  if (line.empty()) return false;
  if (line.front() == '0' || line.front() == ';') return true;
  std::size_t at = line.find_first_not_of(" \t\n\v\f\r");
  if (at == std::string_view::npos) return false;
  if (line[at] == '+' || line[at] == '-') ++at;
  // Any digit other than leading zeros makes the number non-zero.
  while (at < line.size() && line[at] == '0') ++at;
  return at < line.size() && line[at] >= '1' && line[at] <= '9';
}

std::vector<std::int64_t> BannerSizes(std::string_view contents) {
  std::vector<std::string_view> lines;
  while (!contents.empty()) {
    auto end = contents.find('\n');
    std::string_view line = contents.substr(0, end);
    contents.remove_prefix(end == std::string_view::npos ? contents.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
  }
  auto is_marker = [](std::string_view line) { return !line.empty() && line.front() == ';'; };

  std::vector<std::int64_t> sizes;
  std::size_t i = 0;
  while (i < lines.size()) {
    if (!is_marker(lines[i++])) continue;
    // A marker where the size or the signature should be starts the next
    // entry: the entry before it was cut off.
    if (i >= lines.size() || is_marker(lines[i])) continue;
    std::string size_line(lines[i++]);
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(size_line.c_str(), &end, 10);
    if (end != size_line.c_str() && errno == 0) sizes.push_back(value);
    if (i < lines.size() && !is_marker(lines[i])) ++i;  // the signature
  }
  return sizes;
}

bool IsBannerSize(const std::string& banner_path, std::int64_t size) {
  auto contents = platform::ReadWholeFile(banner_path);
  if (!contents) return false;
  for (std::int64_t listed : BannerSizes(*contents)) {
    if (listed == size) return true;
  }
  return false;
}

}  // namespace marovine
