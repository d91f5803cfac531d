#include "marovine/engine/http_request.h"

#include <charconv>

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
  auto colon = text.find(':');
  host = std::string(text.substr(0, colon));
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
  auto scheme = url.find("http://");
  if (scheme == std::string_view::npos) return fail(TargetProblem::kNotHttp);
  ConnectionTarget target;
  std::string_view after = url.substr(scheme + 7);
  target.host_header = std::string(after.substr(0, after.find('/')));

  // The URL's port is checked through a proxy too: the item fails the same
  // way whichever road it takes.
  if (!SplitHostPort(target.host_header, 80, target.connect_host, target.connect_port)) {
    return fail(TargetProblem::kBadPort);
  }
  if (proxy.empty()) {
    // The path with its query: from the first "/" at or after position 8.
    auto slash = url.size() > 8 ? url.find('/', 8) : std::string_view::npos;
    target.request_target = slash == std::string_view::npos ? "/" : std::string(url.substr(slash));
  } else {
    if (!SplitHostPort(proxy, 8080, target.connect_host, target.connect_port)) {
      return fail(TargetProblem::kBadProxyPort);
    }
    target.request_target = std::string(url);
  }
  return target;
}

std::optional<std::string> BuildHttpRequest(const RequestInputs& in) {
  auto target = DeriveConnectionTarget(in.url, in.proxy);
  if (!target) return std::nullopt;
  std::string r;
  r.reserve(512 + in.url.size() + in.referer.size());
  r += "GET " + target->request_target + " HTTP/1.0\r\n";
  r += "Accept: */*\r\n";
  r += "Range: bytes=" + std::to_string(in.existing_size.value_or(0)) + "-\r\n";
  if (in.send_referer) r += "Referer: " + in.referer + "\r\n";
  if (in.no_cache) r += "Pragma: no-cache\r\n";
  r += "Accept-Language: ja\r\n";
  r += "Accept-Encoding: gzip, deflate\r\n";
  r += "User-Agent: " + in.user_agent + "\r\n";
  if (!in.credentials.empty()) r += "Authorization: Basic " + EncodeBase64(in.credentials) + "\r\n";
  r += "Connection: close\r\n";
  r += "Host: " + target->host_header + "\r\n";
  r += "\r\n";
  return r;
}

}  // namespace marovine
