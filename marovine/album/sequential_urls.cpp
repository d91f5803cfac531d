#include "marovine/album/sequential_urls.h"

#include "platform/file_io.h"

namespace marovine {

bool AppendSequentialUrls(const SequentialUrlRequest& request, std::vector<std::string>* list) {
  if (request.digits > kMaxSequentialDigits) return false;
  if (request.first > request.last) return true;
  // Unsigned difference: first and last may be any two values without overflow.
  unsigned long long span = static_cast<unsigned long long>(request.last) -
                            static_cast<unsigned long long>(request.first);
  if (span >= static_cast<unsigned long long>(kMaxSequentialUrls)) return false;
  auto star = request.base.find('*');
  for (unsigned long long step = 0; step <= span; ++step) {
    long long number =
        static_cast<long long>(static_cast<unsigned long long>(request.first) + step);
    std::string decimal = std::to_string(number);
    long long missing =
        static_cast<long long>(request.digits) - static_cast<long long>(decimal.size());
    std::string padded = missing > 0 ? std::string(static_cast<std::size_t>(missing), '0') : "";
    padded += decimal;
    if (star != std::string::npos) {
      std::string line = request.base;
      line.replace(star, 1, padded);
      list->push_back(std::move(line));
    } else {
      list->push_back(request.base + padded + "." + request.extension);
    }
  }
  return true;
}

std::string SequentialUrlResult(const std::vector<std::string>& list) {
  std::string result;
  for (const auto& line : list) result += line + " ";
  return result;
}

std::size_t ForEachResultUrl(std::string_view result,
                             const std::function<void(const std::string&)>& register_url) {
  std::size_t handed = 0;
  while (!result.empty()) {
    if (result.front() == ' ') {
      result.remove_prefix(1);
      continue;
    }
    auto space = result.find(' ');
    std::string url(result.substr(0, space));
    result.remove_prefix(space == std::string_view::npos ? result.size() : space);
    register_url(url);
    ++handed;
  }
  return handed;
}

bool WriteSequentialUrlList(const std::string& path, const std::vector<std::string>& list) {
  std::string text;
  for (const auto& line : list) text += line + "\n";
  return platform::WriteFileAtomically(path, text);
}

}  // namespace marovine
