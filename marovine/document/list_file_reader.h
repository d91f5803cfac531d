#pragma once

#include <cstdio>
#include <string>

#include "platform/unique_handle.h"

namespace marovine {

// Reads a text file as the list imports do: line by line, each line without
// its line feed (and the carriage return before it), a line longer than
// kMaxListLineBytes coming in pieces of that size. The bytes are as the file
// has them (lists written on the original platform are CP932; see
// platform::LegacyToUtf8). Memory stays bounded whatever the file holds: a
// huge file without line feeds is read piece by piece.
class ListFileReader {
 public:
  static constexpr std::size_t kMaxListLineBytes = 500;

  explicit ListFileReader(const std::string& path);
  bool is_open() const { return static_cast<bool>(file_); }
  // False at the end of the file (or on a read error).
  bool NextLine(std::string& line);

 private:
  // False when no byte is left to read.
  bool Fill();

  platform::UniqueFile file_;
  std::string buffer_;
  std::size_t position_ = 0;
};

}  // namespace marovine
