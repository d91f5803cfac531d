#include "marovine/document/banner_list.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/file_io.h"

namespace marovine {
namespace {

// Reads one line of at most `limit` characters the way fgets does: a longer
// line is returned in pieces. The line end (LF or CR LF) is removed.
bool ReadLimitedLine(std::FILE* file, std::size_t limit, std::string& line) {
  line.clear();
  int c;
  while (line.size() < limit && (c = std::fgetc(file)) != EOF) {
    if (c == '\n') break;
    line.push_back(static_cast<char>(c));
  }
  if (line.empty() && std::feof(file)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

// True for a missing or empty file too: nothing there to glue onto.
bool EndsWithLineEnd(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return true;
  bool ends = true;
  if (std::fseek(file, -1, SEEK_END) == 0) ends = std::fgetc(file) == '\n';
  std::fclose(file);
  return ends;
}

}  // namespace

bool AppendBannerEntry(const std::string& banner_path, std::int64_t size, int signature) {
  std::string entry = ";\n" + std::to_string(size) + "\n" + std::to_string(signature) + "\n";
  // A merged difference file may leave the list without a final line end; our
  // marker would then be glued to that last line and the entry never be read.
  if (!EndsWithLineEnd(banner_path)) entry.insert(0, "\n");
  return platform::AppendToFile(banner_path, entry);
}

bool IsBannerSize(const std::string& banner_path, std::int64_t size) {
  std::FILE* file = std::fopen(banner_path.c_str(), "rb");
  if (!file) return false;
  bool found = false;
  std::string line, size_line, signature_line;
  while (!found && ReadLimitedLine(file, 99, line)) {
    if (line.empty() || line.front() != ';') continue;
    if (!ReadLimitedLine(file, 99, size_line) || !ReadLimitedLine(file, 4, signature_line)) break;
    char* end = nullptr;
    long long value = std::strtoll(size_line.c_str(), &end, 10);
    found = end != size_line.c_str() && value == size;
  }
  std::fclose(file);
  return found;
}

}  // namespace marovine
