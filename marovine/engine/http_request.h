#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marovine {

inline constexpr const char* kUserAgentBrowser =
    "Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)";
inline constexpr const char* kUserAgentOwn = "Marovine Ver3";

// Standard base64 (RFC 2045 alphabet, "=" padding) of the bytes as they are.
std::string EncodeBase64(std::string_view bytes);

// Where a request goes: the host and port to connect to, the request target,
// and the host part of the URL for the Host line.
struct ConnectionTarget {
  std::string connect_host;
  int connect_port = 80;
  std::string request_target;
  std::string host_header;
};

enum class TargetProblem { kNone, kNotHttp, kBadPort, kBadProxyPort };

// Derives the connection target of a URL, directly or through a proxy
// ("host" or "host:port", port 8080 when none is given). Nothing when the URL
// does not contain "http://" (the test is case-sensitive), or when the port
// given is not a number from 1 to 65535; `problem` then says which.
std::optional<ConnectionTarget> DeriveConnectionTarget(std::string_view url, std::string_view proxy,
                                                       TargetProblem* problem = nullptr);

struct RequestInputs {
  std::string url;
  std::string proxy;  // empty: connect directly
  std::string referer;
  bool send_referer = true;
  bool no_cache = false;
  std::string user_agent = kUserAgentBrowser;
  std::string credentials;  // "user:password" or empty
  // Size of the local file when it exists (a resume attempt), else nothing.
  std::optional<std::int64_t> existing_size;
};

// The request bytes, every line ended by CR LF, the head closed by an empty
// line. Nothing when the URL is not an http:// URL or its port is unusable.
std::optional<std::string> BuildHttpRequest(const RequestInputs& inputs);

}  // namespace marovine
