#include "marovine/document/list_file_reader.h"

#include <algorithm>
#include <cstring>

namespace marovine {

namespace {

constexpr std::size_t kReadBlock = 64 * 1024;

bool IsUtf8Continuation(int byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

ListFileReader::ListFileReader(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}

bool ListFileReader::Fill() {
  if (position_ < buffer_.size()) return true;
  if (!file_) return false;
  buffer_.resize(kReadBlock);
  std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
  buffer_.resize(got);
  position_ = 0;
  return got > 0;
}

bool ListFileReader::NextLine(std::string& line) {
  line.clear();
  if (!Fill()) return false;
  for (;;) {
    if (!Fill()) break;
    const char* start = buffer_.data() + position_;
    std::size_t available = buffer_.size() - position_;
    std::size_t room = kMaxListLineBytes - line.size();
    const void* feed = std::memchr(start, '\n', std::min(available, room));
    if (feed != nullptr) {
      std::size_t length = static_cast<std::size_t>(static_cast<const char*>(feed) - start);
      line.append(start, length);
      position_ += length + 1;
      break;
    }
    std::size_t taken = std::min(available, room);
    line.append(start, taken);
    position_ += taken;
    if (line.size() >= kMaxListLineBytes) {
      // A piece ends after a whole UTF-8 character, so a long UTF-8 line
      // is never cut inside one.
      for (int extra = 0; extra < 3 && Fill() &&
                          IsUtf8Continuation(static_cast<unsigned char>(buffer_[position_]));
           ++extra) {
        line.push_back(buffer_[position_++]);
      }
      break;
    }
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace marovine
