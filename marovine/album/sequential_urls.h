#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace marovine {

// URLs of numbered files (001.jpg, 002.jpg, ...) made from a base, a number
// range, a digit count and an extension.
struct SequentialUrlRequest {
  std::string base;  // prefix, or a pattern whose first "*" takes the number
  long long first = 0;
  long long last = 0;     // inclusive
  std::string extension;  // without the dot; unused with a "*" pattern
  int digits = 0;         // minimum digits; shorter numbers get leading zeros
};

// More lines than this in one go are refused (a typo in the range would
// otherwise fill memory); the list is left as it was.
inline constexpr long long kMaxSequentialUrls = 1000000;
// Likewise for the digit count: no file name is numbered with more digits.
inline constexpr int kMaxSequentialDigits = 64;

// Appends the URLs for first..last (nothing when first > last) to `list`: the
// base with its first "*" replaced by the padded number, or base + padded
// number + "." + extension. Answers false, appending nothing, when the range
// holds more than kMaxSequentialUrls numbers or more than kMaxSequentialDigits digits
// are asked for.
bool AppendSequentialUrls(const SequentialUrlRequest& request, std::vector<std::string>* list);

// The text handed back to the caller: every line followed by one space.
std::string SequentialUrlResult(const std::vector<std::string>& list);

// The caller's side: takes the URLs off the front of the result one at a time
// and hands each to `register_url`. Runs of spaces give no empty URLs.
// Answers how many URLs were handed over.
std::size_t ForEachResultUrl(std::string_view result,
                             const std::function<void(const std::string&)>& register_url);

// Writes the list as a text file, one line each; false when it cannot be
// written (the caller shows "開けません！").
bool WriteSequentialUrlList(const std::string& path, const std::vector<std::string>& list);

inline constexpr const char* kCannotOpenListMessage = "開けません！";

}  // namespace marovine
