#include "platform/profile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <unordered_map>

#include "platform/ascii_text.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"

namespace platform {
namespace {

// The section name of a header line, or nothing when the line is no header.
std::optional<std::string_view> SectionHeader(std::string_view line) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimBlanks(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  std::string_view trimmed = TrimBlanks(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
  auto eq = trimmed.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{TrimBlanks(trimmed.substr(0, eq)), TrimBlanks(trimmed.substr(eq + 1))};
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

// Cuts a UTF-8 text to at most limit bytes without splitting a character.
std::string CutToLimit(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return std::string(text);
  std::size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return std::string(text.substr(0, cut));
}

}  // namespace

Profile::Profile(std::string path) : path_(std::move(path)) {}

int Profile::ParseProfileInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  std::uint32_t value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    ++i;
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

void Profile::Refresh() const {
  FileStamp now;
  struct stat st {};
  if (::stat(path_.c_str(), &st) == 0) {
    now.exists = true;
    now.inode = st.st_ino;
    now.size = st.st_size;
#ifdef _WIN32  // plov.exe reads its setup script with this profile too
    now.mtime_ns = static_cast<std::int64_t>(st.st_mtime) * 1000000000;
#else
    now.mtime_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
  }
  if (loaded_ && now == stamp_) return;
  stamp_ = now;
  loaded_ = true;
  std::optional<std::string> content = now.exists ? ReadWholeFile(path_) : std::nullopt;
  Parse(content ? LegacyToUtf8(*content) : std::string());
}

void Profile::Parse(std::string_view content) const {
  lines_.clear();
  while (!content.empty()) {
    auto nl = content.find('\n');
    std::string_view line = content.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.emplace_back(line);
    if (nl == std::string_view::npos) break;
    content.remove_prefix(nl + 1);
  }
}

void Profile::SetRunValue(std::string_view section, std::string_view key, std::string_view value) {
  for (RunValue& run : run_values_) {
    if (EqualsIgnoreCase(run.section, section) && EqualsIgnoreCase(run.key, key)) {
      run.value = value;
      return;
    }
  }
  run_values_.push_back({std::string(section), std::string(key), std::string(value)});
}

std::optional<std::string> Profile::Find(std::string_view section, std::string_view key) const {
  for (const RunValue& run : run_values_) {
    if (EqualsIgnoreCase(run.section, section) && EqualsIgnoreCase(run.key, key)) return run.value;
  }
  Refresh();
  bool in_section = false;
  for (const std::string& line : lines_) {
    if (auto name = SectionHeader(line)) {
      in_section = EqualsIgnoreCase(*name, section);
      continue;
    }
    if (!in_section) continue;
    if (auto kv = ParseKeyLine(line); kv && EqualsIgnoreCase(kv->key, key)) {
      return std::string(Unquote(kv->value));
    }
  }
  return std::nullopt;
}

int Profile::GetInt(std::string_view section, std::string_view key, int default_value) const {
  auto value = Find(section, key);
  if (!value || value->empty()) return default_value;
  return ParseProfileInt(*value);
}

std::string Profile::GetString(std::string_view section, std::string_view key,
                               std::string_view default_value, std::size_t limit) const {
  auto value = Find(section, key);
  return CutToLimit(value ? std::string_view(*value) : default_value, limit);
}

std::vector<std::string> Profile::KeysOf(std::string_view section) const {
  Refresh();
  std::vector<std::string> keys;
  bool in_section = false;
  for (const std::string& line : lines_) {
    if (auto name = SectionHeader(line)) {
      in_section = EqualsIgnoreCase(*name, section);
      continue;
    }
    if (in_section) {
      if (auto kv = ParseKeyLine(line)) keys.emplace_back(kv->key);
    }
  }
  return keys;
}

void Profile::ApplyChange(std::vector<std::string>& lines, std::string_view section,
                          const Change& change) {
  const std::string& key = change.first;
  const std::optional<std::string>& value = change.second;
  std::optional<std::size_t> section_start;  // index of the header line
  std::size_t section_end = lines.size();    // one past the section's last line
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionHeader(lines[i])) {
      if (section_start) {
        section_end = i;
        break;
      }
      if (EqualsIgnoreCase(*name, section)) section_start = i;
    }
  }

  if (!section_start) {
    if (!value) return;
    if (!lines.empty() && !lines.back().empty()) lines.emplace_back();
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(key + "=" + *value);
    return;
  }
  for (std::size_t i = *section_start + 1; i < section_end; ++i) {
    auto kv = ParseKeyLine(lines[i]);
    if (!kv || !EqualsIgnoreCase(kv->key, key)) continue;
    if (value) {
      lines[i] = std::string(kv->key) + "=" + *value;
    } else {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return;
  }
  if (!value) return;
  // New keys go after the section's last non-empty line, so the blank line
  // that separates it from the next section stays where it was.
  std::size_t at = section_end;
  while (at > *section_start + 1 && TrimBlanks(lines[at - 1]).empty()) --at;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), key + "=" + *value);
}

bool Profile::ModifyAndSave(std::string_view section, const std::vector<Change>& changes) {
  loaded_ = false;  // always start from the file as it is now
  Refresh();
  std::vector<std::string> lines = lines_;
  for (const Change& change : changes) ApplyChange(lines, section, change);
  if (lines == lines_) return true;
  std::string content;
  for (const std::string& line : lines) {
    content += line;
    content += '\n';
  }
  bool ok = WriteFileAtomically(path_, content);
  loaded_ = false;
  return ok;
}

bool Profile::WriteSections(const std::vector<SectionValues>& writes) {
  // Sections by their ASCII-lowered name, so each line of the file is looked
  // at once whatever the number of sections written.
  auto lowered = [](std::string_view name) {
    std::string text(TrimBlanks(name));
    for (char& c : text) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
  };
  std::unordered_map<std::string, std::vector<const SectionValues*>> pending;
  std::vector<std::string> order;
  for (const SectionValues& write : writes) {
    auto& list = pending[lowered(write.section)];
    if (list.empty()) order.push_back(lowered(write.section));
    list.push_back(&write);
  }
  auto apply = [](std::vector<std::string>& block, const std::vector<const SectionValues*>& list) {
    for (const SectionValues* write : list) {
      for (const auto& [key, value] : write->values) {
        ApplyChange(block, write->section, Change{key, value});
      }
    }
  };

  loaded_ = false;  // always start from the file as it is now
  Refresh();
  std::vector<std::string> lines;
  lines.reserve(lines_.size());
  std::size_t i = 0;
  while (i < lines_.size()) {
    auto name = SectionHeader(lines_[i]);
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionHeader(lines_[end])) ++end;
    auto found = name ? pending.find(lowered(*name)) : pending.end();
    if (found == pending.end()) {
      lines.insert(lines.end(), lines_.begin() + static_cast<std::ptrdiff_t>(i),
                   lines_.begin() + static_cast<std::ptrdiff_t>(end));
    } else {
      std::vector<std::string> block(lines_.begin() + static_cast<std::ptrdiff_t>(i),
                                     lines_.begin() + static_cast<std::ptrdiff_t>(end));
      apply(block, found->second);
      lines.insert(lines.end(), block.begin(), block.end());
      pending.erase(found);
    }
    i = end;
  }
  for (const std::string& name : order) {
    auto found = pending.find(name);
    if (found == pending.end()) continue;
    std::vector<std::string> block;
    apply(block, found->second);
    if (!lines.empty() && !lines.back().empty()) lines.emplace_back();
    lines.insert(lines.end(), block.begin(), block.end());
  }
  if (lines == lines_) return true;
  std::string content;
  for (const std::string& line : lines) {
    content += line;
    content += '\n';
  }
  bool ok = WriteFileAtomically(path_, content);
  loaded_ = false;
  return ok;
}

bool Profile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  return ModifyAndSave(section, {{std::string(key), std::string(value)}});
}

bool Profile::WriteInt(std::string_view section, std::string_view key, long long value) {
  return ModifyAndSave(section, {{std::string(key), std::to_string(value)}});
}

bool Profile::DeleteKey(std::string_view section, std::string_view key) {
  return ModifyAndSave(section, {{std::string(key), std::nullopt}});
}

bool Profile::WriteStrings(std::string_view section,
                           const std::vector<std::pair<std::string, std::string>>& values) {
  std::vector<Change> changes;
  changes.reserve(values.size());
  for (const auto& [key, value] : values) changes.emplace_back(key, value);
  return ModifyAndSave(section, changes);
}

}  // namespace platform
