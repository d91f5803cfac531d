#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace marovine {

// URLs are plain "http://" (or "https://") texts; every rule here is a
// substring or position operation on that text, so that links behave exactly
// as they always have.

inline constexpr std::string_view kHttpPrefix = "http://";
inline constexpr std::string_view kSecureHttpPrefix = "https://";

// The length of a leading "http://" or "https://"; 0 for anything else.
std::size_t WebSchemeLength(std::string_view url);
inline bool IsWebUrl(std::string_view url) { return WebSchemeLength(url) != 0; }

// What finds an address under either scheme: "://host/path" of
// "http://host/path" or "https://host/path". The same host under the other
// scheme is the same site. Text without a scheme is answered as it is.
std::string AnySchemeNeedle(std::string_view url_prefix);

// The URL without the "user:password@" before its host: what local names,
// logs and Referer lines carry, so that a password never lands there.
std::string WithoutUserInfo(std::string_view url);

// Scheme and host: the text up to (not including) the first "/" at or after
// position 8; the whole URL when there is none.
std::string HostPartOf(std::string_view url);

// The URL up to (not including) its last "/"; empty when it has none.
std::string UrlFolderOf(std::string_view url);

// The URL cut just after its last "/". A URL whose only slashes belong to
// "http://" (a bare host) gets a "/" appended, so that relative links land on
// the host instead of being glued to "http://".
std::string BaseUrlOf(std::string_view page_url);

// The text after the last "/", or "index.html" when that is empty.
std::string UrlFileName(std::string_view url);

// The URL without its scheme ("http://" or "https://"; else its first 7
// characters), with "/", "?", ",", ">" and "<"
// turned into "_": how a site names its log files and address folders.
std::string UrlToFlatName(std::string_view url);

// The text after the last "."; the whole value when it has none.
std::string_view ExtensionOf(std::string_view value);

// True when word occurs in the blank-separated list as a whole, case-sensitive
// word.
bool HasWholeWord(std::string_view list, std::string_view word);

// Resolves a link value against a base URL that ends with "/". Root-relative
// values start at the host, leading "../" climb (never above the host) and
// leading "./" vanish. With drop_dot_segments set a value that still holds
// "./" afterwards is refused. A value that starts with "http://" is taken as
// it is (a scheme in capitals is written "http://"); one that only carries
// "http://" further on is relative like any other.
// The same holds for "https://". Values naming another scheme ("mailto:",
// "javascript:", ...) are refused: appending them to the base would make an
// address that never existed. A protocol-relative value ("//host/x") gets the
// base's scheme.
std::optional<std::string> ResolveLink(std::string_view value, std::string_view base_url,
                                       bool drop_dot_segments = true);

// Links through redirecting scripts ("http://a/jump?http://b/x.jpg") keep only
// the embedded path on the first host: a second "http://" from position 8 on
// is removed together with the host that follows it.
std::string RemoveSecondHttp(std::string url);

}  // namespace marovine
