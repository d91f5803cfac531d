#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marovine {

// "banner.dat" remembers unwanted files by their size. An entry is three lines:
// ";", the size in bytes, and a signature value chosen by the writer. Lines end
// with "\n" when we write them; readers accept CR LF (files written on the
// original platform) and skip every line that is not part of an entry.

// Appends one entry (the file is created when absent). Answers false when the
// file cannot be written.
bool AppendBannerEntry(const std::string& banner_path, std::int64_t size, int signature);

// Appends lines (each ending with "\n") as they stand, starting on a line of
// their own. False when the file cannot be written.
bool AppendBannerLines(const std::string& banner_path, std::string_view lines);

// The signature the main program records for a downloaded file: the 200th
// character of the file read as text the way the original platform read it
// (a CR LF pair counts as one character, a byte 0x1A ends the text), as
// 0..255, or -1 when the text is shorter. Nothing when the file cannot be
// read.
std::optional<int> TextSignatureOf(const std::string& path);

// Whether a line of a banner difference file is merged into the list: an
// entry marker, or a line whose leading number (blanks, a sign, digits) is
// not 0 or that starts with "0". Blank and comment lines are not.
bool IsBannerDifferenceLine(std::string_view line);

// The sizes the entries of a banner list's text carry, in file order. A line
// starting with ";" always begins an entry, even where an entry cut off by a
// crash or a full disk left its size or signature line missing: the entry
// appended after it is read as written.
std::vector<std::int64_t> BannerSizes(std::string_view contents);

// True when an entry of the list carries this size. A missing file holds no
// banners. The signature is not compared.
bool IsBannerSize(const std::string& banner_path, std::int64_t size);

}  // namespace marovine
