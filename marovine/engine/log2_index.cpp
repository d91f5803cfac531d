#include "marovine/engine/log2_index.h"

#include <cstdint>

namespace marovine {
namespace {

std::string IndexKey(std::string_view key, std::string_view entry_name) {
  std::string joined;
  joined.reserve(key.size() + 1 + entry_name.size());
  joined.append(key);
  joined += '\n';  // no key or name holds a line end
  joined.append(entry_name);
  return joined;
}

bool StartsWith(std::string_view line, char c) { return !line.empty() && line.front() == c; }

}  // namespace

std::int64_t ParseLog2Size(std::string_view digits) {
  std::int64_t value = 0;
  std::size_t k = 0;
  while (k < digits.size() && digits[k] == ' ') ++k;
  for (; k < digits.size() && digits[k] >= '0' && digits[k] <= '9'; ++k) {
    if (value > (INT64_MAX - 9) / 10) return 0;
    value = value * 10 + (digits[k] - '0');
  }
  return value;
}

void Log2Index::Reset(std::string_view content) {
  *this = Log2Index();
  Append(content);
}

void Log2Index::Append(std::string_view addition) {
  // A last line without its line end was read as a whole line already: a
  // line end written after it only ends it. Anything else lengthens that
  // line, which is then read anew with the rest.
  if (!content_.empty() && content_.back() != '\n') {
    if (!addition.starts_with('\n')) {
      Reset(content_ + std::string(addition));
      return;
    }
    content_ += '\n';
    addition.remove_prefix(1);
  }
  std::size_t start = content_.size();
  content_.append(addition);
  std::string_view text = std::string_view(content_).substr(start);
  while (!text.empty()) {
    auto nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ReadLine(line);
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
}

void Log2Index::ReadLine(std::string_view line) {
  // The end of the file, as the next new entry sees it.
  if (StartsWith(line, '[')) {
    tail_ = Tail::kJustHeader;
    tail_key_.reset();
    if (line.size() >= 2 && line.back() == ']')
      tail_key_ = std::string(line.substr(1, line.size() - 2));
  } else if (tail_ == Tail::kJustHeader) {
    tail_ = line.empty() ? Tail::kOpen : Tail::kClosed;
  } else if (tail_ == Tail::kOpen && line.empty()) {
    tail_ = Tail::kClosed;
  }

  Entry* one_up = entry_one_up_;
  Entry* two_up = entry_two_up_;
  bool one_up_is_date = line_one_up_is_date_;
  entry_two_up_ = entry_one_up_;
  entry_one_up_ = nullptr;
  line_one_up_is_date_ = false;

  // Sections: a header names its key whole; its blank line, then entries up
  // to the next blank line or the next line starting with "[".
  if (StartsWith(line, '[')) {
    in_section_ = line.size() >= 2 && line.back() == ']';
    header_blank_pending_ = in_section_;
    if (in_section_) section_key_ = std::string(line.substr(1, line.size() - 2));
    return;
  }
  if (line.empty()) {
    if (!header_blank_pending_) in_section_ = false;
    header_blank_pending_ = false;
    return;
  }
  header_blank_pending_ = false;
  if (!in_section_) return;

  if (StartsWith(line, '*') && one_up != nullptr) one_up->date = std::string(line.substr(1));
  if (StartsWith(line, '!')) {
    std::int64_t size = ParseLog2Size(line.substr(1));
    if (one_up != nullptr) one_up->size = size;
    if (one_up_is_date && two_up != nullptr) two_up->size = size;
  }
  // Every line of a section is an entry name, detail lines included, as a
  // walk comparing whole lines would take them.
  auto [it, inserted] = entries_.try_emplace(IndexKey(section_key_, line));
  if (inserted) entry_one_up_ = &it->second;
  line_one_up_is_date_ = StartsWith(line, '*');
}

const Log2Index::Entry* Log2Index::Find(std::string_view key, std::string_view entry_name) const {
  auto it = entries_.find(IndexKey(key, entry_name));
  return it == entries_.end() ? nullptr : &it->second;
}

bool Log2Index::EndsInOpenSectionOf(std::string_view key) const {
  return tail_ == Tail::kOpen && tail_key_ && *tail_key_ == key;
}

}  // namespace marovine
