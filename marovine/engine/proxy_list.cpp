#include "marovine/engine/proxy_list.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <string_view>

#include "platform/file_io.h"
#include "platform/path.h"

namespace marovine {
namespace {

constexpr int kRandomMax = 32767;

std::string_view TrimBlanks(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The file's lines, each with its line feed (the last one may have none).
std::vector<std::string_view> RawLines(std::string_view content) {
  std::vector<std::string_view> lines;
  while (!content.empty()) {
    auto end = content.find('\n');
    end = end == std::string_view::npos ? content.size() : end + 1;
    lines.push_back(content.substr(0, end));
    content.remove_prefix(end);
  }
  return lines;
}

// Where the rotation stands: the line that is the proxy, else (a proxy typed
// differently, say without its port) the first line that contains it. An
// exact line wins over an earlier line that merely contains the text, so
// "host" and "host:8080" in one list do not trap the rotation on one of them.
std::size_t PositionOf(const std::vector<std::string>& list, const std::string& proxy) {
  if (proxy.empty()) return list.size();
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == proxy) return i;
  }
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].find(proxy) != std::string::npos) return i;
  }
  return list.size();
}

ProxyList::RandomDraw ClockSeededDraw() {
  auto seed =
      static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
  return [engine = std::minstd_rand(seed)]() mutable {
    return std::uniform_int_distribution<int>(0, kRandomMax)(engine);
  };
}

}  // namespace

std::vector<std::string> ReadProxyList(const std::string& path) {
  std::vector<std::string> entries;
  auto content = platform::ReadWholeFile(path);
  if (!content) return entries;
  for (std::string_view line : RawLines(*content)) {
    line = TrimBlanks(line);
    if (!line.empty()) entries.emplace_back(line);
  }
  return entries;
}

bool WriteProxyList(const std::string& path, const std::vector<std::string>& entries) {
  std::string content;
  for (const std::string& entry : entries) content += entry + "\n";
  return platform::WriteFileAtomically(path, content);
}

ProxyList::ProxyList(const std::string& program_folder, RandomDraw draw)
    : proxy_list_path_(platform::JoinPath(program_folder, "proxy.txt")),
      error_list_path_(platform::JoinPath(program_folder, "error_proxy.txt")),
      draw_(draw ? std::move(draw) : ClockSeededDraw()) {}

std::string ProxyList::last_proxy() const {
  std::lock_guard lock(mutex_);
  return last_proxy_;
}

std::string ProxyList::NextProxy(const ProxySettings& settings) {
  std::lock_guard lock(mutex_);
  std::string chosen;
  if (settings.dont_use_proxy) {
    // direct
  } else if (settings.use_this_proxy) {
    chosen = settings.default_proxy;
  } else if (settings.use_proxy_top_to_under) {
    chosen = Following(last_proxy_);
  } else if (settings.use_proxy_random) {
    chosen = AnyLine();
  }
  last_proxy_ = chosen;
  return chosen;
}

std::string ProxyList::ProxyAfterError(const ProxySettings& settings,
                                       const std::string& failed_proxy) {
  std::lock_guard lock(mutex_);
  std::string failed(TrimBlanks(failed_proxy));
  std::string chosen;
  if (settings.error_dont_use_proxy) {
    // direct
  } else if (settings.error_proxy_top_to_under) {
    chosen = Following(failed);
  } else if (settings.error_proxy_random) {
    chosen = AnyLine();
  } else if (settings.error_use_same_proxy) {
    chosen = failed;
  }
  // An empty text would match every line and wipe the whole list.
  if (!failed.empty() && (settings.error_delete_proxy || settings.error_list_proxy)) {
    StrikeFromList(failed);
    // The error list is a record for the user; the choice of proxy holds without it.
    if (settings.error_list_proxy) (void)platform::AppendToFile(error_list_path_, failed + "\n");
  }
  return chosen;
}

// The line after the proxy's line, wrapping round to the first; the first
// line when the proxy is not in the list.
std::string ProxyList::Following(const std::string& proxy) const {
  std::vector<std::string> list = ReadProxyList(proxy_list_path_);
  if (list.empty()) return {};
  std::size_t at = PositionOf(list, proxy);
  return at + 1 < list.size() ? list[at + 1] : list.front();
}

// Line r * n / 32767 + 1 of n for a draw r, so every draw lands in the list.
std::string ProxyList::AnyLine() const {
  std::vector<std::string> list = ReadProxyList(proxy_list_path_);
  if (list.empty()) return {};
  long long draw = std::clamp(draw_(), 0, kRandomMax);
  auto line = static_cast<std::size_t>(draw * static_cast<long long>(list.size()) / kRandomMax);
  return list[std::min(line, list.size() - 1)];
}

// Only the lines that are the failed proxy go; a line that merely contains it
// ("10.0.0.1:80" in "10.0.0.1:8080") is another proxy and stays. The other
// lines are written back byte for byte.
void ProxyList::StrikeFromList(const std::string& failed_proxy) const {
  auto content = platform::ReadWholeFile(proxy_list_path_);
  if (!content) return;
  std::string kept;
  bool struck = false;
  for (std::string_view line : RawLines(*content)) {
    if (TrimBlanks(line) == failed_proxy) {
      struck = true;
    } else {
      kept += line;
    }
  }
  // Unwritten, the list stays whole and the proxy may be chosen again later.
  if (struck) (void)platform::WriteFileAtomically(proxy_list_path_, kept);
}

}  // namespace marovine
