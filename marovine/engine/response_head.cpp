#include "marovine/engine/response_head.h"

#include <limits>

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

}  // namespace

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
  std::string lower = AsciiLower(head);
  std::string_view status_line = LineEndingAt(lower, 0);
  if (status_line.find(" 416") == std::string_view::npos) return std::nullopt;
  auto key = lower.find("content-range:");
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
  auto key = lower.find("content-type:");
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

BodyEncoding BodyEncodingOf(std::string_view head) {
  std::string lower = AsciiLower(head);
  auto key = lower.find("content-encoding:");
  if (key == std::string::npos) return BodyEncoding::kIdentity;
  std::string_view value = LineEndingAt(lower, key + 17);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  if (value.empty() || value == "identity") return BodyEncoding::kIdentity;
  if (value == "gzip" || value == "x-gzip") return BodyEncoding::kGzip;
  if (value == "deflate") return BodyEncoding::kDeflate;
  return BodyEncoding::kUnknown;
}

HeadVerdict ParseResponseHead(std::string_view head, const HeadContext& context) {
  HeadVerdict v;
  // Lower-casing keeps every byte in its place, so positions found in the copy
  // also address the original (the redirect target keeps its case).
  const std::string lower = AsciiLower(head);

  v.page = Contains(lower, "text/html");

  bool ok_answer = false;
  if (Contains(lower, "206 partial content")) {
    ok_answer = true;
    v.partial = true;
    v.full_body = false;
    if (auto key = lower.find("content-range:"); key != std::string::npos) {
      v.content_range_sent = true;
      std::string_view value = HeaderValueAt(lower, key, 21);
      v.resume_offset = ParseHeaderSize(value.substr(0, value.find('-')));
      auto slash = value.find('/');
      v.expected_size =
          slash == std::string_view::npos ? 0 : ParseHeaderSize(value.substr(slash + 1));
    }
  } else if (Contains(lower, "200 ok")) {
    ok_answer = true;
    v.full_body = true;
    if (auto key = lower.find("content-length:"); key != std::string::npos) {
      v.expected_size = ParseHeaderSize(HeaderValueAt(lower, key, 16));
    } else if (auto short_key = lower.find("content-len:"); short_key != std::string::npos) {
      v.expected_size = ParseHeaderSize(HeaderValueAt(lower, short_key, 13));
    }
  }

  if (ok_answer) {
    if (v.expected_size != 0) {
      bool too_small = context.minimum_size != 0 && v.expected_size < context.minimum_size;
      bool too_large = context.maximum_size != 0 && v.expected_size > context.maximum_size;
      if ((too_small || too_large) && !v.page && !context.page_by_extension) {
        v.status = TS_SIZE_REJECTED;
        v.text = transfer_text::kSizeRejected;
        return v;
      }
    }
    if (auto key = lower.find("last-modified:"); key != std::string::npos) {
      std::string value(HeaderValueAt(lower, key, 15));
      if (!value.empty() && value == context.stored_last_modified) {
        v.status = TS_NOT_MODIFIED;
        v.text = transfer_text::kNotModified;
        return v;
      }
      v.last_modified = std::move(value);
      v.last_modified_sent = true;
    }
    v.proceed = true;
    return v;
  }

  if (Contains(lower, "302")) {
    if (auto key = lower.find("location:"); key != std::string::npos) {
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

  if (Contains(lower, "404") || Contains(lower, "403")) {
    v.forbidden = true;
    v.text = transfer_text::kForbidden;
    return v;
  }

  v.status = TS_FAILED;
  v.text = std::string(LineEndingAt(lower, 0));
  return v;
}

}  // namespace marovine
