#include "marovine/document/archive.h"

#include "platform/text_encoding.h"

namespace marovine {

void ArchiveWriter::WriteByte(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }

void ArchiveWriter::WriteUInt16(std::uint16_t value) {
  WriteByte(static_cast<std::uint8_t>(value & 0xFF));
  WriteByte(static_cast<std::uint8_t>(value >> 8));
}

void ArchiveWriter::WriteUInt32(std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) WriteByte(static_cast<std::uint8_t>(value >> shift));
}

void ArchiveWriter::WriteInt32(std::int32_t value) {
  WriteUInt32(static_cast<std::uint32_t>(value));
}

void ArchiveWriter::WriteString(std::string_view text) {
  std::size_t length = text.size();
  if (length < 0xFF) {
    WriteByte(static_cast<std::uint8_t>(length));
  } else if (length < 0xFFFE) {
    WriteByte(0xFF);
    WriteUInt16(static_cast<std::uint16_t>(length));
  } else {
    WriteByte(0xFF);
    WriteUInt16(0xFFFF);
    WriteUInt32(static_cast<std::uint32_t>(length));
  }
  bytes_.append(text);
}

bool ArchiveReader::Take(std::size_t count, std::string_view& out) {
  if (!ok()) return false;
  if (count > bytes_.size() - position_) {
    error_ = "the file ends in the middle of a record (at byte " + std::to_string(position_) + ")";
    return false;
  }
  out = bytes_.substr(position_, count);
  position_ += count;
  return true;
}

bool ArchiveReader::ReadByte(std::uint8_t& value) {
  std::string_view b;
  if (!Take(1, b)) return false;
  value = static_cast<std::uint8_t>(b[0]);
  return true;
}

bool ArchiveReader::ReadInt32(std::int32_t& value) {
  std::string_view b;
  if (!Take(4, b)) return false;
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[i]);
  value = static_cast<std::int32_t>(v);
  return true;
}

bool ArchiveReader::ReadString(std::string& text) {
  if (!ReadBytes(text)) return false;
  text = platform::LegacyToUtf8(text);
  return true;
}

bool ArchiveReader::ReadBytes(std::string& bytes) {
  std::string_view b;
  if (!Take(1, b)) return false;
  std::uint32_t length = static_cast<std::uint8_t>(b[0]);
  if (length == 0xFF) {
    if (!Take(2, b)) return false;
    length = static_cast<std::uint8_t>(b[0]) | (static_cast<std::uint8_t>(b[1]) << 8);
    if (length == 0xFFFF) {
      if (!Take(4, b)) return false;
      length = 0;
      for (int i = 3; i >= 0; --i) length = (length << 8) | static_cast<std::uint8_t>(b[i]);
    } else if (length == 0xFFFE) {
      error_ = "the file holds a kind of text this program does not write (at byte " +
               std::to_string(position_) + ")";
      return false;
    }
  }
  if (!Take(length, b)) return false;
  bytes.assign(b);
  return true;
}

}  // namespace marovine
