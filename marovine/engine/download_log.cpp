#include "marovine/engine/download_log.h"

#include <cinttypes>
#include <cstdio>
#include <optional>
#include <vector>

#include "marovine/engine/url_rules.h"
#include "platform/file_io.h"
#include "platform/path.h"

namespace marovine {
namespace {

// Lines without their line ends (LF or CR LF).
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    auto nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
  return lines;
}

// A section header names its key whole: the key of one page is often part of
// another's ("http://h/a/" of "http://h/a/b/"), whose entries mean other files.
bool IsHeaderOf(std::string_view line, std::string_view key) {
  return line.size() == key.size() + 2 && line.front() == '[' && line.back() == ']' &&
         line.substr(1, key.size()) == key;
}

std::string SizeLine(std::int64_t size) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "!%10" PRId64, size);
  return buffer;
}

struct EntryPosition {
  std::size_t entry_line = 0;
  std::optional<std::size_t> date_line;
  std::optional<std::size_t> size_line;
};

// Walks the sections headed by the key and finds the entry line that is the
// entry name: a name is part of many others ("/one.jpg" of "/a/one.jpg"), so
// only a whole line is the entry.
std::optional<EntryPosition> FindEntry(const std::vector<std::string_view>& lines,
                                       std::string_view key, std::string_view entry_name) {
  std::size_t i = 0;
  while (i < lines.size()) {
    const auto& line = lines[i];
    if (!IsHeaderOf(line, key)) {
      ++i;
      continue;
    }
    // The header's blank line, then entries until the next blank line. A
    // header where an entry should be (a file written without the blank
    // lines) ends the section too, so that it is still found as a header.
    std::size_t j = i + 1;
    if (j < lines.size() && lines[j].empty()) ++j;
    for (; j < lines.size() && !lines[j].empty() && lines[j].front() != '['; ++j) {
      if (lines[j] != entry_name) continue;
      EntryPosition at{j, std::nullopt, std::nullopt};
      std::size_t next = j + 1;
      if (next < lines.size() && !lines[next].empty() && lines[next].front() == '*') {
        at.date_line = next++;
      }
      // The size line follows the date line, or the name directly when no
      // date was recorded.
      if (next < lines.size() && !lines[next].empty() && lines[next].front() == '!') {
        at.size_line = next;
      }
      return at;
    }
    i = j;
  }
  return std::nullopt;
}

std::int64_t ParseSize(std::string_view digits) {
  std::int64_t value = 0;
  std::size_t k = 0;
  while (k < digits.size() && digits[k] == ' ') ++k;
  for (; k < digits.size() && digits[k] >= '0' && digits[k] <= '9'; ++k) {
    if (value > (INT64_MAX - 9) / 10) return 0;
    value = value * 10 + (digits[k] - '0');
  }
  return value;
}

}  // namespace

bool IsInLogDat(const std::string& log_folder, std::string_view url) {
  const std::string bare = WithoutUserInfo(url);
  auto content = platform::ReadWholeFile(platform::JoinPath(log_folder, "log.dat"));
  if (!content) return false;
  for (std::string_view line : SplitLines(*content)) {
    if (line == bare) return true;
  }
  return false;
}

std::string Log2EntryName(std::string_view full_url, std::string_view full_referer) {
  // The log never holds a password, and finds an entry without one.
  std::string url = WithoutUserInfo(full_url);  // returned whole on two ways out
  const std::string referer = WithoutUserInfo(full_referer);
  auto slash = referer.rfind('/');
  if (slash == std::string::npos) return url;
  // Only a URL inside the referer's folder is named by its part below it: the
  // same-length tail of a URL elsewhere is a fragment such as ".jpg" that
  // every other file of the section would then be taken for.
  std::string_view folder = std::string_view(referer).substr(0, slash + 1);
  if (!url.starts_with(folder)) return url;
  return url.substr(slash);
}

std::string Log2Key(std::string_view referer) {
  return referer.empty() ? std::string(kNoReferKey) : WithoutUserInfo(referer);
}

Log2Entry LookUpLog2(const std::string& log2_path, std::string_view key,
                     std::string_view entry_name) {
  Log2Entry result;
  auto content = platform::ReadWholeFile(log2_path);
  if (!content) return result;
  auto lines = SplitLines(*content);
  auto at = FindEntry(lines, key, entry_name);
  if (!at) return result;
  result.found = true;
  if (at->date_line) result.date = std::string(lines[*at->date_line].substr(1));
  if (at->size_line) result.size = ParseSize(lines[*at->size_line].substr(1));
  return result;
}

bool RecordLog2(const std::string& log2_path, std::string_view key, std::string_view entry_name,
                std::string_view date, std::int64_t size) {
  std::string content = platform::ReadWholeFile(log2_path).value_or("");
  auto lines = SplitLines(content);

  // The entry's detail lines as they are to be written (empty = none given).
  std::string date_line;
  if (!date.empty()) {
    date_line += '*';
    date_line += date;
  }
  std::string size_line = size != 0 ? SizeLine(size) : std::string();
  std::string detail_lines;
  for (const std::string* line : {&date_line, &size_line}) {
    if (line->empty()) continue;
    detail_lines += *line;
    detail_lines += '\n';
  }

  auto at = FindEntry(lines, key, entry_name);
  if (!at) {
    // The last section of the file is the one to extend when it has the key;
    // otherwise a new section starts at the end.
    bool extend_last = false;
    for (std::size_t i = lines.size(); i-- > 0;) {
      if (lines[i].empty() || lines[i].front() != '[') continue;
      // Only a section in the usual shape (header, blank line, entries) can
      // take the entry; a blank line after the header's own would end it.
      extend_last = IsHeaderOf(lines[i], key) && i + 1 < lines.size() && lines[i + 1].empty();
      for (std::size_t j = i + 2; j < lines.size(); ++j) {
        if (lines[j].empty()) extend_last = false;
      }
      break;
    }
    std::string addition;
    if (!content.empty() && content.back() != '\n') addition += "\n";
    if (!extend_last) addition += "\n[" + std::string(key) + "]\n\n";
    addition += std::string(entry_name) + "\n" + detail_lines;
    return platform::AppendToFile(log2_path, addition);
  }

  if (detail_lines.empty()) return true;
  // Rebuild the file with the entry's detail lines replaced; the lines after
  // the entry stay whole whatever the new lines' lengths.
  std::string rebuilt;
  rebuilt.reserve(content.size() + detail_lines.size());
  std::size_t skip_until = at->entry_line + 1;
  if (at->date_line) skip_until = *at->date_line + 1;
  if (at->size_line) skip_until = *at->size_line + 1;
  // What is not given anew keeps its recorded line.
  if (date_line.empty() && at->date_line) date_line = lines[*at->date_line];
  if (size_line.empty() && at->size_line) size_line = lines[*at->size_line];
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > at->entry_line && i < skip_until) continue;
    rebuilt.append(lines[i]);
    rebuilt += '\n';
    if (i != at->entry_line) continue;
    for (const std::string* detail : {&date_line, &size_line}) {
      if (detail->empty()) continue;
      rebuilt += *detail;
      rebuilt += '\n';
    }
  }
  return platform::WriteFileAtomically(log2_path, rebuilt);
}

}  // namespace marovine
