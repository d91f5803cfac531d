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

inline constexpr std::string_view kHttpsPrefix = "https://";

// Where a request goes: the host and port to connect to, the request target,
// and the host part of the URL for the Host line.
struct ConnectionTarget {
  std::string connect_host;
  int connect_port = 80;
  std::string request_target;
  std::string host_header;
  // https:// only: the name the certificate must carry, and, through a proxy,
  // the "host:port" its tunnel is asked for.
  bool tls = false;
  std::string tls_host;
  std::string tunnel;
  // "user:password" written before the host in the URL; never part of the
  // Host line.
  std::string user_info;
};

enum class TargetProblem { kNone, kNotHttp, kBadPort, kBadProxyPort };

// Derives the connection target of a URL, directly or through a proxy
// ("host" or "host:port", port 8080 when none is given). An https:// URL
// goes to port 443 unless it names one and, through a proxy, through a
// CONNECT tunnel. A host may be an IPv6 literal in brackets. Nothing when the
// URL neither starts with "https://" nor contains "http://" (the test is
// case-sensitive), or when the port given is not a number from 1 to 65535;
// `problem` then says which.
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
  // HTTP/1.1, leaving the connection open for the next request; a range is
  // then asked for only to resume.
  bool keep_alive = false;
  // An HTTP date (see HttpDateOf): a server whose file has not changed since
  // answers 304 without a body.
  std::string if_modified_since;
};

// A recorded Last-Modified value (kept lower-cased, "mon, 01 jan 2024
// 10:00:00 gmt") in the form servers compare ("Mon, 01 Jan 2024 10:00:00
// GMT"); nothing for a value in any other form, which is then not sent.
std::optional<std::string> HttpDateOf(std::string_view recorded);

// The request bytes, every line ended by CR LF, the head closed by an empty
// line. Nothing when the URL is neither http:// nor https:// or its port is
// unusable.
// User information in the URL is sent as Basic authorization when no
// credentials are given.
std::optional<std::string> BuildHttpRequest(const RequestInputs& inputs);
// The same for a target already derived from the inputs' URL and proxy.
std::string BuildHttpRequest(const RequestInputs& inputs, const ConnectionTarget& target);

// The request that opens a tunnel through a proxy to "host:port".
std::string BuildConnectRequest(std::string_view tunnel, std::string_view user_agent);

}  // namespace marovine
