#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace marovine {

// What "log2.dat" holds, read once and answered from memory: the entries of
// every section by key and name (the first one in the file wins, as a walk
// from the top would find it), and what an appended entry needs to know
// about the end of the file.
class Log2Index {
 public:
  struct Entry {
    std::string date;       // empty when none was recorded
    std::int64_t size = 0;  // 0 when none was recorded
  };

  // Forgets everything and reads `content` as the whole file.
  void Reset(std::string_view content);
  // Reads `addition` as text written after what the index holds.
  void Append(std::string_view addition);

  [[nodiscard]] const Entry* Find(std::string_view key, std::string_view entry_name) const;
  // True when the file ends in a section of `key` in the usual shape (header,
  // blank line, entries), which a new entry of that key then extends.
  [[nodiscard]] bool EndsInOpenSectionOf(std::string_view key) const;
  [[nodiscard]] const std::string& content() const { return content_; }

 private:
  void ReadLine(std::string_view line);

  std::string content_;
  std::unordered_map<std::string, Entry> entries_;  // "key\nname" -> entry

  // Where the walk through the lines stands.
  bool in_section_ = false;
  bool header_blank_pending_ = false;  // the blank line after a header is part of it
  std::string section_key_;
  // The entries on the two lines before this one (nullptr when that line was
  // no entry or not the first of its name): a date line belongs to the entry
  // just above, a size line to the entry above or to the one above the date.
  Entry* entry_one_up_ = nullptr;
  Entry* entry_two_up_ = nullptr;
  bool line_one_up_is_date_ = false;

  // The last line starting with "[": the key it heads (none when it is no
  // header), and whether the lines after it are a blank line then entries.
  enum class Tail { kNone, kJustHeader, kOpen, kClosed };
  Tail tail_ = Tail::kNone;
  std::optional<std::string> tail_key_;
};

// Parses the digits of a size line ("!" already removed); 0 when it holds
// none or too many.
std::int64_t ParseLog2Size(std::string_view digits);

}  // namespace marovine
