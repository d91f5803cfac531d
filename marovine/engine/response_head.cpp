#include "marovine/engine/response_head.h"

#include <algorithm>
#include <ctime>
#include <limits>
#include <vector>

namespace marovine {
namespace {

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool Contains(std::string_view text, std::string_view what) {
  return text.find(what) != std::string_view::npos;
}

std::string_view LineEndingAt(std::string_view head, std::size_t start) {
  if (start >= head.size()) return {};
  std::string_view rest = head.substr(start);
  return rest.substr(0, rest.find("\r\n"));
}

// Where a header line starting with `key` (lower case, colon included) begins
// in the lower-cased head: a key inside another header's value, or in the
// status line, is no header.
std::size_t FindHeader(std::string_view lower, std::string_view key, std::size_t from = 0) {
  for (std::size_t at = lower.find('\n', from); at != std::string_view::npos;
       at = lower.find('\n', at + 1)) {
    if (lower.substr(at + 1, key.size()) == key) return at + 1;
  }
  return std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The codings every header line of `key` lists, in order, "identity" left out
// (it means no coding at all).
std::vector<std::string_view> CodingsOf(std::string_view lower, std::string_view key) {
  std::vector<std::string_view> codings;
  for (std::size_t at = FindHeader(lower, key); at != std::string_view::npos;
       at = FindHeader(lower, key, at)) {
    std::string_view value = LineEndingAt(lower, at + key.size());
    while (!value.empty()) {
      auto comma = value.find(',');
      std::string_view coding = TrimBlanks(value.substr(0, comma));
      if (!coding.empty() && coding != "identity") codings.push_back(coding);
      value.remove_prefix(comma == std::string_view::npos ? value.size() : comma + 1);
    }
  }
  return codings;
}

BodyEncoding EncodingOfLower(std::string_view lower) {
  auto codings = CodingsOf(lower, "content-encoding:");
  if (codings.empty()) return BodyEncoding::kIdentity;
  // A body coded twice ("gzip, gzip") would be stored still coded once.
  if (codings.size() > 1) return BodyEncoding::kUnknown;
  if (codings[0] == "gzip" || codings[0] == "x-gzip") return BodyEncoding::kGzip;
  if (codings[0] == "deflate") return BodyEncoding::kDeflate;
  return BodyEncoding::kUnknown;
}

BodyFraming FramingOfLower(std::string_view lower) {
  auto codings = CodingsOf(lower, "transfer-encoding:");
  if (codings.empty()) return BodyFraming::kUntilClose;
  if (codings.size() == 1 && codings[0] == "chunked") return BodyFraming::kChunked;
  return BodyFraming::kUnknown;
}

}  // namespace

std::optional<int> StatusCodeOf(std::string_view head) {
  std::string line = AsciiLower(LineEndingAt(head, 0));
  if (line.rfind("http/", 0) != 0) return std::nullopt;
  std::size_t i = line.find_first_of(" \t");
  if (i == std::string::npos) return std::nullopt;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  int code = 0;
  for (int digits = 0; digits < 3; ++digits, ++i) {
    if (i >= line.size() || line[i] < '0' || line[i] > '9') return std::nullopt;
    code = code * 10 + (line[i] - '0');
  }
  if (i < line.size() && line[i] != ' ' && line[i] != '\t') return std::nullopt;
  return code;
}

std::string_view HeaderValueAt(std::string_view head, std::size_t key_position,
                               std::size_t offset) {
  // A line shorter than the offset has no value; the next line is not it.
  std::string_view line = LineEndingAt(head, key_position);
  if (offset > line.size()) return {};
  return line.substr(offset);
}

std::int64_t ParseHeaderSize(std::string_view value) {
  std::size_t i = 0;
  while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
  if (i >= value.size() || value[i] < '0' || value[i] > '9') return 0;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t result = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    int digit = value[i] - '0';
    if (result > (kMax - digit) / 10) return 0;
    result = result * 10 + digit;
  }
  return result;
}

std::optional<std::int64_t> UnsatisfiableRangeTotal(std::string_view head) {
  if (StatusCodeOf(head) != 416) return std::nullopt;
  std::string lower = AsciiLower(head);
  auto key = FindHeader(lower, "content-range:");
  if (key == std::string::npos) return std::nullopt;
  std::string_view value = LineEndingAt(lower, key + 14);
  auto star = value.find("*/");
  if (star == std::string_view::npos) return std::nullopt;
  std::int64_t total = ParseHeaderSize(value.substr(star + 2));
  if (total == 0) return std::nullopt;
  return total;
}

std::string CharsetOf(std::string_view head) {
  std::string lower = AsciiLower(head);
  auto key = FindHeader(lower, "content-type:");
  if (key == std::string::npos) return {};
  std::string_view line = LineEndingAt(lower, key);
  auto at = line.find("charset=");
  if (at == std::string_view::npos) return {};
  std::string_view value = line.substr(at + 8);
  if (!value.empty() && (value.front() == '"' || value.front() == '\'')) value.remove_prefix(1);
  std::size_t end = 0;
  while (end < value.size() && value[end] != ';' && value[end] != ' ' && value[end] != '\t' &&
         value[end] != '"' && value[end] != '\'') {
    ++end;
  }
  return std::string(value.substr(0, end));
}

BodyEncoding BodyEncodingOf(std::string_view head) { return EncodingOfLower(AsciiLower(head)); }

BodyFraming BodyFramingOf(std::string_view head) { return FramingOfLower(AsciiLower(head)); }

ConnectionReuse ConnectionReuseOf(std::string_view head) {
  ConnectionReuse reuse;
  const std::string lower = AsciiLower(head);
  bool close = false;
  bool keep_alive = false;
  for (std::string_view token : CodingsOf(lower, "connection:")) {
    close = close || token == "close";
    keep_alive = keep_alive || token == "keep-alive";
  }
  if (lower.starts_with("http/1.1 ")) {
    reuse.keep_open = !close;
  } else if (lower.starts_with("http/1.0 ")) {
    reuse.keep_open = keep_alive && !close;
  }
  const int code = StatusCodeOf(head).value_or(0);
  if ((code >= 100 && code < 200) || code == 204 || code == 304) {
    reuse.body_length = 0;
    return reuse;
  }
  if (FramingOfLower(lower) != BodyFraming::kUntilClose) return reuse;
  std::optional<std::int64_t> length;
  for (std::size_t at = FindHeader(lower, "content-length:"); at != std::string::npos;
       at = FindHeader(lower, "content-length:", at)) {
    std::string_view value = TrimBlanks(LineEndingAt(lower, at + 15));
    bool digits = !value.empty() && value.size() <= 18 &&
                  value.find_first_not_of("0123456789") == std::string_view::npos;
    std::int64_t this_length = digits ? ParseHeaderSize(value) : -1;
    // Two lengths that differ leave the end unknown.
    if (this_length < 0 || (length && *length != this_length)) return reuse;
    length = this_length;
  }
  reuse.body_length = length;
  return reuse;
}

HeadVerdict ParseResponseHead(std::string_view head, const HeadContext& context) {
  HeadVerdict v;
  // Lower-casing keeps every byte in its place, so positions found in the copy
  // also address the original (the redirect target keeps its case).
  const std::string lower = AsciiLower(head);

  v.page = Contains(lower, "text/html");
  const std::optional<int> code = StatusCodeOf(head);

  bool ok_answer = false;
  if (code == 206) {
    ok_answer = true;
    v.partial = true;
    v.full_body = false;
    if (auto key = FindHeader(lower, "content-range:"); key != std::string::npos) {
      v.content_range_sent = true;
      std::string_view value = HeaderValueAt(lower, key, 21);
      v.resume_offset = ParseHeaderSize(value.substr(0, value.find('-')));
      auto slash = value.find('/');
      v.expected_size =
          slash == std::string_view::npos ? 0 : ParseHeaderSize(value.substr(slash + 1));
    }
  } else if (code == 200) {
    ok_answer = true;
    v.full_body = true;
  }

  if (ok_answer) {
    v.encoding = EncodingOfLower(lower);
    v.framing = FramingOfLower(lower);
    // A chunked body carries its own length; a Content-Length beside it is
    // not the body's.
    if (v.full_body && v.framing == BodyFraming::kUntilClose) {
      if (auto key = FindHeader(lower, "content-length:"); key != std::string::npos) {
        v.expected_size = ParseHeaderSize(HeaderValueAt(lower, key, 16));
      } else if (auto short_key = FindHeader(lower, "content-len:");
                 short_key != std::string::npos) {
        v.expected_size = ParseHeaderSize(HeaderValueAt(lower, short_key, 13));
      }
    }
    if (v.expected_size != 0) {
      bool too_small = context.minimum_size != 0 && v.expected_size < context.minimum_size;
      bool too_large = context.maximum_size != 0 && v.expected_size > context.maximum_size;
      if ((too_small || too_large) && !v.page && !context.page_by_extension) {
        v.status = TS_SIZE_REJECTED;
        v.text = transfer_text::kSizeRejected;
        return v;
      }
    }
    if (auto key = FindHeader(lower, "last-modified:"); key != std::string::npos) {
      std::string value(HeaderValueAt(lower, key, 15));
      if (!value.empty() && value == context.stored_last_modified) {
        v.status = TS_NOT_MODIFIED;
        v.text = transfer_text::kNotModified;
        return v;
      }
      v.last_modified = std::move(value);
      v.last_modified_sent = true;
    }
    // Stored as it comes, such a body would be reported done while the file
    // holds nothing anyone can open.
    if (v.framing == BodyFraming::kUnknown) {
      v.status = TS_FAILED;
      v.text = transfer_text::kUnknownTransferCoding;
      return v;
    }
    if (v.encoding == BodyEncoding::kUnknown) {
      v.status = TS_FAILED;
      v.text = transfer_text::kUnknownContentCoding;
      return v;
    }
    v.proceed = true;
    return v;
  }

  if (code == 304 && context.conditional_request) {
    v.status = TS_NOT_MODIFIED;
    v.text = transfer_text::kNotModified;
    return v;
  }

  // Every redirect the web uses is followed the same way: the request is a
  // GET whatever the code asks to keep.
  if (code == 301 || code == 302 || code == 303 || code == 307 || code == 308) {
    if (auto key = FindHeader(lower, "location:"); key != std::string::npos) {
      std::string_view value = LineEndingAt(head, key + 9);
      while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
      v.new_url = std::string(value);
      v.status = TS_REDIRECTED;
      v.text = transfer_text::kRedirected;
    } else {
      v.status = TS_BAD_RESPONSE;
      v.text = transfer_text::kHttpViolation;
    }
    return v;
  }

  // A server that is busy (or limits us) and says when to come back: the
  // scheduler holds the item and its host that long.
  if (code == 429 || code == 503) {
    if (auto key = FindHeader(lower, "retry-after:"); key != std::string::npos) {
      if (auto seconds = RetryAfterSeconds(HeaderValueAt(head, key, 12), std::time(nullptr))) {
        v.status = TS_INCOMPLETE;
        v.retry_after_seconds = *seconds;
        v.text = std::string(transfer_text::kServerBusyPrefix) + std::to_string(*seconds) +
                 transfer_text::kServerBusySuffix;
        return v;
      }
    }
  }

  if (code == 404 || code == 403) {
    v.forbidden = true;
    v.text = transfer_text::kForbidden;
    return v;
  }

  v.status = TS_FAILED;
  v.text = std::string(LineEndingAt(lower, 0));
  return v;
}

std::optional<int> RetryAfterSeconds(std::string_view value, std::time_t now) {
  constexpr std::int64_t kLongest = 60 * 60;
  value = TrimBlanks(value);
  if (value.empty()) return std::nullopt;
  std::int64_t seconds = 0;
  if (value.front() >= '0' && value.front() <= '9') {
    for (char c : value) {
      if (c < '0' || c > '9') return std::nullopt;
      seconds = std::min<std::int64_t>(seconds * 10 + (c - '0'), kLongest);
    }
  } else {
    std::tm date{};
    std::string text(value);
    const char* end = ::strptime(text.c_str(), "%a, %d %b %Y %H:%M:%S GMT", &date);
    if (end == nullptr || *end != '\0') return std::nullopt;
    seconds = std::clamp<std::int64_t>(::timegm(&date) - now, 0, kLongest);
  }
  return static_cast<int>(std::max<std::int64_t>(seconds, 1));
}

}  // namespace marovine
