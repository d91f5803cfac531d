#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "marovine/engine/proxy_settings.h"

namespace marovine {

// "proxy.txt" holds one proxy per line ("host" or "host:port"). Reading takes
// LF and CR LF lines alike, trims blanks, skips empty lines and keeps a last
// line that has no line feed whole. A missing file is an empty list.
std::vector<std::string> ReadProxyList(const std::string& path);
// Replaces the list (the proxy dialog's OK): each entry followed by "\n".
bool WriteProxyList(const std::string& path, const std::vector<std::string>& entries);

// Chooses the proxy of each transfer from the settings and the list files in
// the program folder, and deals with proxies that failed. It remembers the
// proxy it handed out last, for all transfer slots together, for the whole run.
class ProxyList {
 public:
  // A draw like the C library's rand(): 0 to 32767.
  using RandomDraw = std::function<int()>;

  // Without a draw, a generator seeded from the clock is used.
  explicit ProxyList(const std::string& program_folder, RandomDraw draw = {});

  const std::string& proxy_list_path() const { return proxy_list_path_; }
  const std::string& error_list_path() const { return error_list_path_; }

  // The proxy for a transfer that starts now; empty means a direct
  // connection. The answer becomes the last proxy.
  std::string NextProxy(const ProxySettings& settings);

  // The proxy for the retry of a transfer whose connection through
  // failed_proxy failed; empty means a direct connection. Afterwards the
  // failed proxy is struck from "proxy.txt" and recorded in
  // "error_proxy.txt" as the settings say. The last proxy stays as it was.
  std::string ProxyAfterError(const ProxySettings& settings, const std::string& failed_proxy);

  std::string last_proxy() const;

 private:
  std::string Following(const std::string& proxy) const;
  std::string AnyLine() const;
  void StrikeFromList(const std::string& failed_proxy) const;

  std::string proxy_list_path_;
  std::string error_list_path_;
  RandomDraw draw_;
  // The scheduler calls from one thread; the lock only keeps a second caller
  // from ever tearing the rotation state or interleaving the file rewrites.
  mutable std::mutex mutex_;
  std::string last_proxy_;
};

}  // namespace marovine
