#include "marovine/engine/http_request.h"

#include <array>
#include <charconv>

#include "marovine/engine/url_rules.h"
#include "platform/ascii_text.h"

namespace marovine {

std::string EncodeBase64(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    std::uint32_t v = (static_cast<unsigned char>(bytes[i]) << 16) |
                      (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                      static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    std::uint32_t v = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (rest == 2) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

namespace {

// "host:port" -> host and port; without a port (or with an empty one) the
// default. False when the port is anything but a number from 1 to 65535:
// quietly going to another port would fetch from a server nobody named.
bool SplitHostPort(std::string_view text, int default_port, std::string& host, int& port) {
  std::size_t colon = std::string_view::npos;
  if (text.starts_with('[')) {
    // An IPv6 literal: its own colons are inside the brackets.
    auto close = text.find(']');
    if (close == std::string_view::npos) return false;
    host = std::string(text.substr(1, close - 1));
    if (close + 1 < text.size()) {
      if (text[close + 1] != ':') return false;
      colon = close + 1;
    }
  } else {
    colon = text.find(':');
    host = std::string(text.substr(0, colon));
  }
  port = default_port;
  if (colon == std::string_view::npos || colon + 1 == text.size()) return true;
  std::string_view digits = text.substr(colon + 1);
  int value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec != std::errc() || end != digits.data() + digits.size() || value < 1 || value > 65535) {
    return false;
  }
  port = value;
  return true;
}

}  // namespace

std::optional<ConnectionTarget> DeriveConnectionTarget(std::string_view url, std::string_view proxy,
                                                       TargetProblem* problem) {
  auto fail = [problem](TargetProblem why) {
    if (problem) *problem = why;
    return std::nullopt;
  };
  if (problem) *problem = TargetProblem::kNone;
  ConnectionTarget target;
  target.tls = url.starts_with(kHttpsPrefix);
  auto scheme = target.tls ? 0 : url.find("http://");
  if (scheme == std::string_view::npos) return fail(TargetProblem::kNotHttp);
  std::string_view after = url.substr(scheme + (target.tls ? 8 : 7));
  std::string_view authority = after.substr(0, after.find('/'));
  if (auto at = authority.rfind('@'); at != std::string_view::npos) {
    target.user_info = std::string(authority.substr(0, at));
    authority.remove_prefix(at + 1);
  }
  target.host_header = std::string(authority);

  // The URL's port is checked through a proxy too: the item fails the same
  // way whichever road it takes.
  if (!SplitHostPort(target.host_header, target.tls ? 443 : 80, target.connect_host,
                     target.connect_port)) {
    return fail(TargetProblem::kBadPort);
  }
  if (target.tls) {
    target.tls_host = target.connect_host;
    if (!proxy.empty()) {
      std::string name = target.tls_host.find(':') == std::string::npos
                             ? target.tls_host
                             : "[" + target.tls_host + "]";
      target.tunnel = name + ":" + std::to_string(target.connect_port);
    }
  }
  if (proxy.empty() || target.tls) {
    // The path with its query: from the first "/" after the host. Inside a
    // tunnel the request is the one the server itself would get.
    auto from = target.tls ? kHttpsPrefix.size() : 8;
    auto slash = url.size() > from ? url.find('/', from) : std::string_view::npos;
    target.request_target = slash == std::string_view::npos ? "/" : std::string(url.substr(slash));
  }
  if (!proxy.empty()) {
    if (!SplitHostPort(proxy, 8080, target.connect_host, target.connect_port)) {
      return fail(TargetProblem::kBadProxyPort);
    }
    if (!target.tls) {
      // The proxy is told where to go, not the password.
      target.request_target = std::string(url);
      if (!target.user_info.empty()) {
        target.request_target.erase(scheme + 7, target.user_info.size() + 1);
      }
    }
  }
  return target;
}

std::optional<std::string> BuildHttpRequest(const RequestInputs& in) {
  auto target = DeriveConnectionTarget(in.url, in.proxy);
  if (!target) return std::nullopt;
  return BuildHttpRequest(in, *target);
}

std::string BuildHttpRequest(const RequestInputs& in, const ConnectionTarget& target) {
  std::string r;
  r.reserve(512 + in.url.size() + in.referer.size());
  r += "GET ";
  r += target.request_target;
  r += in.keep_alive ? " HTTP/1.1\r\n" : " HTTP/1.0\r\n";
  r += "Accept: */*\r\n";
  // A kept-connection request asks for a range only to resume: a range of a
  // whole file costs the server a partial answer for nothing.
  if (in.existing_size || !in.keep_alive) {
    r += "Range: bytes=" + std::to_string(in.existing_size.value_or(0)) + "-\r\n";
  }
  if (in.send_referer) r += "Referer: " + WithoutUserInfo(in.referer) + "\r\n";
  if (in.no_cache) r += "Pragma: no-cache\r\n";
  r += "Accept-Language: ja\r\n";
  r += "Accept-Encoding: gzip, deflate\r\n";
  r += "User-Agent: " + in.user_agent + "\r\n";
  const std::string& credentials = in.credentials.empty() ? target.user_info : in.credentials;
  if (!credentials.empty()) r += "Authorization: Basic " + EncodeBase64(credentials) + "\r\n";
  if (!in.if_modified_since.empty()) r += "If-Modified-Since: " + in.if_modified_since + "\r\n";
  if (!in.keep_alive) r += "Connection: close\r\n";
  r += "Host: " + target.host_header + "\r\n";
  r += "\r\n";
  return r;
}

std::optional<std::string> HttpDateOf(std::string_view recorded) {
  static constexpr std::array<std::string_view, 7> kDays = {"Mon", "Tue", "Wed", "Thu",
                                                            "Fri", "Sat", "Sun"};
  static constexpr std::array<std::string_view, 12> kMonths = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  // "www, dd mmm yyyy hh:mm:ss gmt", exactly 29 characters.
  if (recorded.size() != 29) return std::nullopt;
  auto named = [&](std::string_view part, const auto& names) -> std::optional<std::string_view> {
    for (std::string_view name : names) {
      if (platform::EqualsIgnoreCase(part, name)) return name;
    }
    return std::nullopt;
  };
  auto digits = [&](std::size_t from, std::size_t count) {
    for (std::size_t k = from; k < from + count; ++k) {
      if (recorded[k] < '0' || recorded[k] > '9') return false;
    }
    return true;
  };
  auto day = named(recorded.substr(0, 3), kDays);
  auto month = named(recorded.substr(8, 3), kMonths);
  if (!day || !month || recorded.substr(3, 2) != ", " || !digits(5, 2) || recorded[7] != ' ' ||
      recorded[11] != ' ' || !digits(12, 4) || recorded[16] != ' ' || !digits(17, 2) ||
      recorded[19] != ':' || !digits(20, 2) || recorded[22] != ':' || !digits(23, 2) ||
      !platform::EqualsIgnoreCase(recorded.substr(25), " gmt")) {
    return std::nullopt;
  }
  std::string date(recorded);
  date.replace(0, 3, *day);
  date.replace(8, 3, *month);
  date.replace(26, 3, "GMT");
  return date;
}

std::string BuildConnectRequest(std::string_view tunnel, std::string_view user_agent) {
  std::string r = "CONNECT " + std::string(tunnel) + " HTTP/1.0\r\n";
  r += "User-Agent: " + std::string(user_agent) + "\r\n";
  r += "Host: " + std::string(tunnel) + "\r\n\r\n";
  return r;
}

}  // namespace marovine
