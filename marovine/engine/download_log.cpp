#include "marovine/engine/download_log.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cinttypes>
#include <cstdio>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "marovine/engine/log2_index.h"
#include "marovine/engine/url_rules.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/unique_handle.h"

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

// What identifies one state of a file cheaply: a rewrite replaces the file
// (another inode), an append changes its size, an edit in place its time.
struct FileStamp {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t modified_ns = 0;
  std::int64_t changed_ns = 0;
  bool operator==(const FileStamp&) const = default;
};

FileStamp StampOfInfo(const struct stat& info) {
  FileStamp stamp;
  if (!S_ISREG(info.st_mode)) return stamp;
  stamp.exists = true;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  stamp.modified_ns = std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
  stamp.changed_ns = std::int64_t{info.st_ctim.tv_sec} * 1000000000 + info.st_ctim.tv_nsec;
  return stamp;
}

bool SameFileAndSize(const FileStamp& a, const FileStamp& b) {
  return a.exists && b.exists && a.device == b.device && a.inode == b.inode && a.size == b.size;
}

FileStamp StampOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return StampOfInfo(info);
}

// The download logs as last read or written, per path: a look-up answers
// from memory, and reads the file again only when it changed on disk since.
// Transfer threads look up while the scheduler records, hence the lock.
class LogCache {
 public:
  static LogCache& Instance() {
    static LogCache cache;
    return cache;
  }

  std::mutex& mutex() { return mutex_; }

  // The index of "log2.dat" as the file now stands (empty for a missing one).
  Log2Index& Log2(const std::string& path) {
    Cached& cached = log2_[path];
    FileStamp now = StampOf(path);
    if (cached.times_unknown) {
      // Just as our own appends left it, or changed by someone else since.
      if (SameFileAndSize(now, cached.stamp)) cached.stamp = now;
      cached.times_unknown = false;
    }
    if (!cached.read || now != cached.stamp) {
      // Someone else changed or replaced the file: appends go to it afresh.
      cached.append.reset();
      cached.index.Reset(now.exists ? platform::ReadWholeFile(path).value_or("") : std::string());
      cached.stamp = now;
      cached.read = true;
    }
    return cached.index;
  }

  // After writing the file: what is now on disk is what the index holds.
  void Written(const std::string& path) {
    Cached& cached = log2_[path];
    cached.append.reset();  // a rewrite put another file under the name
    cached.stamp = StampOf(path);
    cached.times_unknown = false;
  }
  void Forget(const std::string& path) { log2_.erase(path); }

  // Appends to the file the index was just brought up to date with. The
  // file stays open for the next entry while nobody else changes it, so a
  // crawl's entries cost a write each, not an open and a close.
  bool Append(const std::string& path, std::string_view bytes) {
    Cached& cached = log2_[path];
    if (!cached.append) {
      cached.append.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
      struct stat info {};
      if (!cached.append || ::fstat(cached.append.get(), &info) != 0) {
        log2_.erase(path);  // the index holds what never reached the file
        return false;
      }
      cached.stamp = StampOfInfo(info);
      cached.times_unknown = false;
    }
    if (!platform::WriteAll(cached.append.get(), bytes)) {
      log2_.erase(path);  // a part may have been written
      return false;
    }
    // The file grew by what was written, at a time the next look learns: a
    // look at the file after each entry would double its cost.
    cached.stamp.size += static_cast<off_t>(bytes.size());
    cached.times_unknown = true;
    return true;
  }

  // The lines of "log.dat" as the file now stands.
  const std::unordered_set<std::string>& LogDatLines(const std::string& path) {
    CachedLines& cached = log_dat_[path];
    FileStamp now = StampOf(path);
    if (!cached.read || now != cached.stamp) {
      cached.lines.clear();
      if (auto content = platform::ReadWholeFile(path)) {
        for (std::string_view line : SplitLines(*content)) cached.lines.emplace(line);
      }
      cached.stamp = now;
      cached.read = true;
    }
    return cached.lines;
  }

 private:
  struct Cached {
    bool read = false;
    FileStamp stamp;
    Log2Index index;
    platform::UniqueFd append;  // open on the file the stamp describes
    // Set by an append: the stamp's size is known, its times are not yet.
    bool times_unknown = false;
  };
  struct CachedLines {
    bool read = false;
    FileStamp stamp;
    std::unordered_set<std::string> lines;
  };
  std::mutex mutex_;
  std::unordered_map<std::string, Cached> log2_;
  std::unordered_map<std::string, CachedLines> log_dat_;
};

}  // namespace

bool IsInLogDat(const std::string& log_folder, std::string_view url) {
  const std::string bare = WithoutUserInfo(url);
  LogCache& cache = LogCache::Instance();
  std::lock_guard lock(cache.mutex());
  return cache.LogDatLines(platform::JoinPath(log_folder, "log.dat")).contains(bare);
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
  LogCache& cache = LogCache::Instance();
  std::lock_guard lock(cache.mutex());
  const Log2Index::Entry* entry = cache.Log2(log2_path).Find(key, entry_name);
  if (entry == nullptr) return result;
  result.found = true;
  result.date = entry->date;
  result.size = entry->size;
  return result;
}

bool RecordLog2(const std::string& log2_path, std::string_view key, std::string_view entry_name,
                std::string_view date, std::int64_t size) {
  LogCache& cache = LogCache::Instance();
  std::lock_guard lock(cache.mutex());
  Log2Index& index = cache.Log2(log2_path);
  const std::string& content = index.content();

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

  if (index.Find(key, entry_name) == nullptr) {
    // The last section of the file is the one to extend when it has the key;
    // otherwise a new section starts at the end.
    std::string addition;
    if (!content.empty() && content.back() != '\n') addition += "\n";
    if (!index.EndsInOpenSectionOf(key)) addition += "\n[" + std::string(key) + "]\n\n";
    addition += std::string(entry_name) + "\n" + detail_lines;
    // The index is brought up to date before the file: an append that fails
    // forgets both.
    index.Append(addition);
    return cache.Append(log2_path, addition);
  }

  if (detail_lines.empty()) return true;
  auto lines = SplitLines(content);
  auto at = FindEntry(lines, key, entry_name);
  if (!at) {  // the index and the walk disagree: read the file anew next time
    cache.Forget(log2_path);
    return false;
  }
  // What is not given anew keeps its recorded line.
  if (date_line.empty() && at->date_line) date_line = lines[*at->date_line];
  if (size_line.empty() && at->size_line) size_line = lines[*at->size_line];
  // An entry recorded again as it stands leaves the file alone.
  auto recorded = [&](const std::optional<std::size_t>& line) {
    return line ? std::string(lines[*line]) : std::string();
  };
  if (date_line == recorded(at->date_line) && size_line == recorded(at->size_line)) return true;

  // Rebuild the file with the entry's detail lines replaced; the lines after
  // the entry stay whole whatever the new lines' lengths.
  std::string rebuilt;
  rebuilt.reserve(content.size() + detail_lines.size());
  std::size_t skip_until = at->entry_line + 1;
  if (at->date_line) skip_until = *at->date_line + 1;
  if (at->size_line) skip_until = *at->size_line + 1;
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
  if (!platform::WriteFileAtomically(log2_path, rebuilt)) return false;
  index.Reset(rebuilt);
  cache.Written(log2_path);
  return true;
}

}  // namespace marovine
