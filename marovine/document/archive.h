#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace marovine {

// The binary record format of the document file: little-endian integers and
// length-prefixed strings. A length below 255 is one byte; up to 65533 it is
// 0xFF and 16 bits; longer, 0xFF, 0xFFFF and 32 bits.
class ArchiveWriter {
 public:
  void WriteInt32(std::int32_t value);
  void WriteByte(std::uint8_t value);
  void WriteString(std::string_view text);
  const std::string& bytes() const { return bytes_; }

 private:
  void WriteUInt16(std::uint16_t value);
  void WriteUInt32(std::uint32_t value);
  std::string bytes_;
};

// Reads what ArchiveWriter wrote. Every read checks the bytes that are left,
// so a damaged length never makes it allocate more than the file holds; the
// first failure sticks and names what went wrong.
class ArchiveReader {
 public:
  explicit ArchiveReader(std::string_view bytes) : bytes_(bytes) {}

  bool ReadInt32(std::int32_t& value);
  bool ReadByte(std::uint8_t& value);
  // Texts for display and local paths: written on the original platform
  // (CP932), they come back as UTF-8.
  bool ReadString(std::string& text);
  // Bytes that must stay exactly as stored (URLs a server is asked for).
  bool ReadBytes(std::string& bytes);

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  std::size_t position() const { return position_; }

 private:
  bool Take(std::size_t count, std::string_view& out);
  std::string_view bytes_;
  std::size_t position_ = 0;
  std::string error_;
};

}  // namespace marovine
