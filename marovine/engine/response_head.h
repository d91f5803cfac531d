#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "marovine/engine/transfer_status.h"

namespace marovine {

// The Content-Encoding the body carries, as far as we decode it; kUnknown for
// any other coding and for more than one.
enum class BodyEncoding { kIdentity, kGzip, kDeflate, kUnknown };

// How the body is delimited: by the server closing the connection, or in
// chunks (Transfer-Encoding: chunked); kUnknown for any other transfer coding.
enum class BodyFraming { kUntilClose, kChunked, kUnknown };

// What the classification of a response head needs from the transfer.
struct HeadContext {
  bool page_by_extension = false;    // the URL's extension names a page
  std::int64_t minimum_size = 0;     // bytes; 0 = none
  std::int64_t maximum_size = 0;     // bytes; 0 = none
  std::string stored_last_modified;  // from the site history or the download log
  bool conditional_request = false;  // If-Modified-Since was sent: 304 means unchanged
};

// The outcome of a response head. With `proceed` the body follows; otherwise
// `status` and `text` say how the transfer ends — except that a 404/403 asks
// the caller to wait as before a retry first (`forbidden`), then to decide
// between stopped, incomplete and failed.
struct HeadVerdict {
  bool proceed = false;
  TransferStatus status = TS_RUNNING;
  std::string text;
  bool forbidden = false;
  bool page = false;                // the head names "text/html"
  bool full_body = false;           // 200: the whole file follows; 206: a part
  bool partial = false;             // 206
  std::int64_t expected_size = 0;   // 0 = not given
  std::int64_t resume_offset = 0;   // only meaningful for 206
  bool content_range_sent = false;  // a 206 that says where its part starts
  std::string new_url;              // a redirect's location
  int retry_after_seconds = 0;      // 429/503 with Retry-After: wait this long, at least 1
  std::string last_modified;        // the server's value (lower case), when sent
  bool last_modified_sent = false;
  BodyEncoding encoding = BodyEncoding::kIdentity;
  BodyFraming framing = BodyFraming::kUntilClose;
};

// The three-digit status code of the head's status line ("HTTP/1.1 200",
// reason phrase optional); nothing when the first line is no status line.
std::optional<int> StatusCodeOf(std::string_view head);

// Classifies a response head (the text before the first CR LF CR LF) by the
// code of its status line alone, in the order that decides which answer
// wins: 206, 200, 302, 404/403, anything else. Header values are read from
// the lines that start with their key. A body we could only store still
// coded (an unknown content or transfer coding) is refused.
HeadVerdict ParseResponseHead(std::string_view head, const HeadContext& context);

// A Retry-After value in seconds from `now`: delta seconds or an HTTP date,
// at least 1 and at most an hour; nothing when it is neither.
std::optional<int> RetryAfterSeconds(std::string_view value, std::time_t now);

// Reads a size from a header value: blanks, then digits. Anything that does
// not start with a digit, or overflows 63 bits, reads as 0 ("no size given").
std::int64_t ParseHeaderSize(std::string_view value);

// The value of a header line that starts `offset` bytes after the key's start,
// running to the end of its line. Empty when the line is shorter.
std::string_view HeaderValueAt(std::string_view head, std::size_t key_position, std::size_t offset);

// For a 416 answer ("range not satisfiable"), the full size the server gives
// in "Content-Range: bytes */N"; nothing for any other answer.
std::optional<std::int64_t> UnsatisfiableRangeTotal(std::string_view head);

// The charset the Content-Type line names ("text/html; charset=Shift_JIS"),
// lower-cased, or empty.
std::string CharsetOf(std::string_view head);

// Whether the connection may carry another request after this answer, and how
// long its body is on the wire. A server keeps it open when it answers
// HTTP/1.1 without "Connection: close", or HTTP/1.0 with "Connection:
// keep-alive". The length is known from a Content-Length of digits alone, or
// is 0 for the answers that have no body (1xx, 204, 304); a chunked body
// tells its end itself, so it has none here.
struct ConnectionReuse {
  bool keep_open = false;
  std::optional<std::int64_t> body_length;
};
ConnectionReuse ConnectionReuseOf(std::string_view head);

BodyEncoding BodyEncodingOf(std::string_view head);
BodyFraming BodyFramingOf(std::string_view head);

}  // namespace marovine
