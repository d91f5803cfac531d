#include "marovine/engine/response_head.h"

#include <gtest/gtest.h>

#include "marovine/engine/head_reader.h"

namespace marovine {
namespace {

TEST(ResponseHeadTest, PartialContentGivesOffsetAndTotal) {
  auto v = ParseResponseHead(
      "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 100-999/1000\r\n"
      "Last-Modified: Mon, 01 Jan 2024 00:00:00 GMT",
      {});
  EXPECT_TRUE(v.proceed);
  EXPECT_TRUE(v.partial);
  EXPECT_FALSE(v.full_body);
  EXPECT_EQ(v.resume_offset, 100);
  EXPECT_EQ(v.expected_size, 1000);
  EXPECT_EQ(v.last_modified, "mon, 01 jan 2024 00:00:00 gmt");  // read from the lower-cased copy
}

TEST(ResponseHeadTest, OkReadsContentLengthAsLastLineAndTheShortKey) {
  auto v =
      ParseResponseHead("HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 5000", {});
  EXPECT_TRUE(v.proceed);
  EXPECT_TRUE(v.full_body);
  EXPECT_FALSE(v.page);
  EXPECT_EQ(v.expected_size, 5000);
  EXPECT_EQ(ParseResponseHead("HTTP/1.0 200 OK\r\nContent-Len: 77\r\n", {}).expected_size, 77);
  EXPECT_EQ(ParseResponseHead("HTTP/1.0 200 OK\r\nContent-Type: text/html", {}).page, true);
}

TEST(ResponseHeadTest, UnreadableSizesMeanNoSizeGiven) {
  for (const char* value : {"-5", "abc", "99999999999999999999999", "", " 0x10"}) {
    auto v = ParseResponseHead(std::string("HTTP/1.0 200 OK\r\nContent-Length: ") + value, {});
    EXPECT_EQ(v.expected_size, 0) << value;
    EXPECT_TRUE(v.proceed) << value;
  }
  auto v = ParseResponseHead("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes -1-2/-3", {});
  EXPECT_EQ(v.resume_offset, 0);
  EXPECT_EQ(v.expected_size, 0);
  // A key without its value does not borrow the next line's.
  EXPECT_EQ(ParseResponseHead("HTTP/1.0 200 OK\r\nContent-Length:\r\n12345: x", {}).expected_size,
            0);
  EXPECT_EQ(ParseHeaderSize(" 9223372036854775807"), INT64_MAX);
  EXPECT_EQ(ParseHeaderSize("9223372036854775808"), 0);
}

TEST(ResponseHeadTest, SizeLimitsRejectFilesButNeverPages) {
  HeadContext limits;
  limits.minimum_size = 1000;
  limits.maximum_size = 2000;
  auto small = ParseResponseHead("HTTP/1.0 200 OK\r\nContent-Length: 999", limits);
  EXPECT_EQ(small.status, TS_SIZE_REJECTED);
  EXPECT_EQ(small.text, "ファイルサイズにより中止");
  EXPECT_EQ(ParseResponseHead("HTTP/1.0 200 OK\r\nContent-Length: 2001", limits).status,
            TS_SIZE_REJECTED);
  EXPECT_TRUE(ParseResponseHead("HTTP/1.0 200 OK\r\nContent-Length: 1500", limits).proceed);
  EXPECT_TRUE(
      ParseResponseHead("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 5", limits)
          .proceed);
  limits.page_by_extension = true;
  EXPECT_TRUE(ParseResponseHead("HTTP/1.0 200 OK\r\nContent-Length: 5", limits).proceed);
  // No size given: no check.
  limits.page_by_extension = false;
  EXPECT_TRUE(ParseResponseHead("HTTP/1.0 200 OK\r\n", limits).proceed);
}

TEST(ResponseHeadTest, SameLastModifiedEndsAsNotModified) {
  HeadContext context;
  context.stored_last_modified = "mon, 01 jan 2024 00:00:00 gmt";
  auto v = ParseResponseHead("HTTP/1.0 200 OK\r\nLast-Modified: Mon, 01 Jan 2024 00:00:00 GMT\r\n",
                             context);
  EXPECT_EQ(v.status, TS_NOT_MODIFIED);
  EXPECT_EQ(v.text, "更新されていません。中止します。");
  auto changed = ParseResponseHead(
      "HTTP/1.0 200 OK\r\nLast-Modified: Tue, 02 Jan 2024 00:00:00 GMT\r\n", context);
  EXPECT_TRUE(changed.proceed);
  EXPECT_EQ(changed.last_modified, "tue, 02 jan 2024 00:00:00 gmt");
}

TEST(ResponseHeadTest, A304IsNotModifiedOnlyWhenTheRequestAskedForIt) {
  HeadContext context;
  context.conditional_request = true;
  auto v = ParseResponseHead("HTTP/1.1 304 Not Modified\r\nETag: \"x\"\r\n", context);
  EXPECT_EQ(v.status, TS_NOT_MODIFIED);
  EXPECT_EQ(v.text, "更新されていません。中止します。");
  EXPECT_FALSE(v.proceed);
  // Unasked, a 304 is an answer we cannot use.
  context.conditional_request = false;
  EXPECT_EQ(ParseResponseHead("HTTP/1.1 304 Not Modified\r\n", context).status, TS_FAILED);
}

TEST(ResponseHeadTest, RedirectsForbiddenAndOtherAnswers) {
  auto moved =
      ParseResponseHead("HTTP/1.0 302 Found\r\nLocation:   http://b.com/Dir/Pic.JPG\r\n", {});
  EXPECT_EQ(moved.status, TS_REDIRECTED);
  EXPECT_EQ(moved.new_url, "http://b.com/Dir/Pic.JPG");
  EXPECT_EQ(moved.text, "URLは移動しています。");
  auto no_location = ParseResponseHead("HTTP/1.0 302 Found\r\n", {});
  EXPECT_EQ(no_location.status, TS_BAD_RESPONSE);
  EXPECT_EQ(no_location.text, "予期しないエラーです。HTTP違反。");
  auto forbidden = ParseResponseHead("HTTP/1.1 404 Not Found\r\nServer: x", {});
  EXPECT_TRUE(forbidden.forbidden);
  EXPECT_EQ(forbidden.text, "Forbiddenを返されました。");
  EXPECT_TRUE(ParseResponseHead("HTTP/1.1 403 Forbidden", {}).forbidden);
  for (const char* code : {"301", "303", "307", "308"}) {
    auto redirect = ParseResponseHead(
        std::string("HTTP/1.1 ") + code + " Moved\r\nLocation: https://x/y.jpg\r\n", {});
    EXPECT_EQ(redirect.status, TS_REDIRECTED) << code;
    EXPECT_EQ(redirect.new_url, "https://x/y.jpg") << code;
  }
  auto other = ParseResponseHead("HTTP/1.1 300 Multiple Choices\r\nLocation: http://x/", {});
  EXPECT_EQ(other.status, TS_FAILED);
  EXPECT_EQ(other.text, "http/1.1 300 multiple choices");
  EXPECT_EQ(ParseResponseHead("HTTP/1.1 500 Oops", {}).text, "http/1.1 500 oops");
}

TEST(ResponseHeadTest, ABusyServerSaysWhenToComeBack) {
  auto busy = ParseResponseHead("HTTP/1.1 429 Too Many Requests\r\nRetry-After: 120\r\n", {});
  EXPECT_EQ(busy.status, TS_INCOMPLETE);
  EXPECT_EQ(busy.retry_after_seconds, 120);
  EXPECT_EQ(busy.text, "サーバーが混雑しています。120秒後に再試行します。");
  auto unavailable = ParseResponseHead("HTTP/1.1 503 Unavailable\r\nRetry-After: 5\r\n", {});
  EXPECT_EQ(unavailable.retry_after_seconds, 5);
  // Without a time to come back the answer fails as it always did.
  auto plain = ParseResponseHead("HTTP/1.1 503 Service Unavailable\r\n", {});
  EXPECT_EQ(plain.status, TS_FAILED);
  EXPECT_EQ(plain.retry_after_seconds, 0);

  const std::time_t now = 784111777;  // Sun, 06 Nov 1994 08:49:37 GMT
  EXPECT_EQ(RetryAfterSeconds(" 2 ", now), 2);
  EXPECT_EQ(RetryAfterSeconds("0", now), 1);
  EXPECT_EQ(RetryAfterSeconds("99999999999999999999", now), 3600);
  EXPECT_EQ(RetryAfterSeconds("Sun, 06 Nov 1994 08:50:07 GMT", now), 30);
  EXPECT_EQ(RetryAfterSeconds("Sun, 06 Nov 1994 08:00:00 GMT", now), 1);
  EXPECT_EQ(RetryAfterSeconds("Mon, 07 Nov 1994 08:49:37 GMT", now), 3600);
  EXPECT_EQ(RetryAfterSeconds("soon", now), std::nullopt);
  EXPECT_EQ(RetryAfterSeconds("12s", now), std::nullopt);
  EXPECT_EQ(RetryAfterSeconds("", now), std::nullopt);
}

TEST(ResponseHeadTest, TheStatusLineAloneDecides) {
  // Codes in header values or in the reason phrase do not count.
  auto not_found = ParseResponseHead("HTTP/1.1 404 Not Found\r\nX-Note: 200 OK\r\n", {});
  EXPECT_FALSE(not_found.proceed);
  EXPECT_TRUE(not_found.forbidden);
  EXPECT_TRUE(ParseResponseHead("HTTP/1.0 206 Partial Content\r\nX: 200 OK 302 404", {}).partial);
  EXPECT_TRUE(ParseResponseHead("HTTP/1.0 200 Fine\r\nX: 302 404", {}).full_body);
  EXPECT_EQ(ParseResponseHead("HTTP/1.0 302 Found\r\nX: 404", {}).status, TS_BAD_RESPONSE);
  EXPECT_EQ(ParseResponseHead("HTTP/1.0 500 Error\r\nX-Id: 14045", {}).status, TS_FAILED);
  EXPECT_EQ(ParseResponseHead("HTTP/1.0 500 Error 200 OK", {}).status, TS_FAILED);
  // The reason phrase is optional, and other words than the usual ones do.
  for (const char* line : {"HTTP/1.1 200", "HTTP/1.1 200 ", "http/1.0 200 Okay", "HTTP/1.1  200"}) {
    EXPECT_TRUE(ParseResponseHead(line, {}).proceed) << line;
  }
  auto partial = ParseResponseHead("HTTP/1.1 206\r\nContent-Range: bytes 5-9/10", {});
  EXPECT_TRUE(partial.partial);
  EXPECT_EQ(partial.resume_offset, 5);
  // No status line at all: the first line is the server's own word.
  for (const char* head :
       {"200 OK", "HTTP/1.1 2000 OK", "HTTP/1.1 20 OK", "HTTP/1.1", "", "<html>200 OK</html>"}) {
    auto v = ParseResponseHead(head, {});
    EXPECT_EQ(v.status, TS_FAILED) << head;
    EXPECT_FALSE(v.proceed) << head;
  }
  EXPECT_EQ(StatusCodeOf("HTTP/1.0 416 Range Not Satisfiable"), 416);
}

TEST(ResponseHeadTest, HeaderValuesComeFromTheLinesStartingWithTheirKey) {
  auto v = ParseResponseHead(
      "HTTP/1.0 200 OK\r\nX-Content-Length: 5\r\nX-Note: last-modified: x\r\n"
      "Content-Length: 700",
      {});
  EXPECT_EQ(v.expected_size, 700);
  EXPECT_FALSE(v.last_modified_sent);
  auto moved = ParseResponseHead("HTTP/1.0 302 Found\r\nX-Old-Location: http://a/\r\n", {});
  EXPECT_EQ(moved.status, TS_BAD_RESPONSE);
}

TEST(ResponseHeadTest, CodingsWeCannotUndoAreRefused) {
  EXPECT_EQ(BodyEncodingOf("HTTP/1.0 200 OK\r\nContent-Encoding: gzip\r\n"), BodyEncoding::kGzip);
  EXPECT_EQ(BodyEncodingOf("HTTP/1.0 200 OK\r\ncontent-encoding: Deflate"), BodyEncoding::kDeflate);
  EXPECT_EQ(BodyEncodingOf("HTTP/1.0 200 OK\r\nContent-Encoding: identity, gzip "),
            BodyEncoding::kGzip);
  EXPECT_EQ(BodyEncodingOf("HTTP/1.0 200 OK\r\n"), BodyEncoding::kIdentity);
  EXPECT_EQ(BodyEncodingOf("HTTP/1.0 200 OK\r\nX-Content-Encoding: br"), BodyEncoding::kIdentity);
  for (const char* coding : {"br", "compress", "gzip, gzip", "gzip,deflate",
                             "gzip\r\n"
                             "Content-Encoding: gzip"}) {
    std::string head = std::string("HTTP/1.0 200 OK\r\nContent-Encoding: ") + coding;
    EXPECT_EQ(BodyEncodingOf(head), BodyEncoding::kUnknown) << coding;
    auto v = ParseResponseHead(head, {});
    EXPECT_FALSE(v.proceed) << coding;
    EXPECT_EQ(v.status, TS_FAILED) << coding;
    EXPECT_EQ(v.text, "対応していない圧縮形式です。") << coding;
  }

  EXPECT_EQ(BodyFramingOf("HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked"), BodyFraming::kChunked);
  EXPECT_EQ(BodyFramingOf("HTTP/1.1 200 OK\r\nTransfer-Encoding: identity"),
            BodyFraming::kUntilClose);
  auto chunked = ParseResponseHead(
      "HTTP/1.1 200 OK\r\nContent-Length: 10\r\nTransfer-Encoding: chunked\r\n", {});
  EXPECT_TRUE(chunked.proceed);
  EXPECT_EQ(chunked.framing, BodyFraming::kChunked);
  EXPECT_EQ(chunked.expected_size, 0);  // the chunks carry the length
  for (const char* coding : {"gzip, chunked", "chunked, chunked", "foo"}) {
    auto v = ParseResponseHead(std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: ") + coding, {});
    EXPECT_FALSE(v.proceed) << coding;
    EXPECT_EQ(v.status, TS_FAILED) << coding;
    EXPECT_EQ(v.text, "対応していない転送形式です。HTTP違反。") << coding;
  }
}

TEST(ResponseHeadTest, UnsatisfiableRange) {
  EXPECT_EQ(UnsatisfiableRangeTotal("HTTP/1.1 416 Requested Range Not Satisfiable\r\n"
                                    "Content-Range: bytes */4096\r\n"),
            4096);
  EXPECT_FALSE(UnsatisfiableRangeTotal("HTTP/1.1 200 OK\r\nContent-Range: bytes */4096\r\n"));
  EXPECT_FALSE(UnsatisfiableRangeTotal("HTTP/1.1 200 OK 416\r\nContent-Range: bytes */4096\r\n"));
}

TEST(ResponseHeadTest, CharsetComesFromTheContentTypeLine) {
  EXPECT_EQ(CharsetOf("HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=Shift_JIS\r\nX: y"),
            "shift_jis");
  EXPECT_EQ(CharsetOf("HTTP/1.0 200 OK\r\ncontent-type: text/html;charset=\"EUC-JP\"; x=1"),
            "euc-jp");
  EXPECT_EQ(CharsetOf("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nX-Note: charset=utf-8"), "");
  EXPECT_EQ(CharsetOf("HTTP/1.0 200 OK\r\n"), "");
}

TEST(HeadReaderTest, HeadSplitAtEveryPositionGivesTheSameResult) {
  const std::string response = "HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nbody";
  for (std::size_t cut = 0; cut <= response.size(); ++cut) {
    for (std::size_t cut2 = cut; cut2 <= response.size(); ++cut2) {
      std::string_view whole = response;
      HeadReader reader;
      std::string body;
      // As the transfer does: bytes after the head go straight to the body.
      for (auto piece : {whole.substr(0, cut), whole.substr(cut, cut2 - cut), whole.substr(cut2)}) {
        if (reader.state() == HeadReader::State::kComplete) {
          body += piece;
        } else if (reader.Feed(piece) == HeadReader::State::kComplete) {
          body = reader.body();
        }
      }
      ASSERT_EQ(reader.state(), HeadReader::State::kComplete) << cut << "," << cut2;
      EXPECT_EQ(reader.head(), "HTTP/1.0 200 OK\r\nContent-Length: 4") << cut << "," << cut2;
      EXPECT_EQ(body, "body") << cut << "," << cut2;
    }
  }
}

TEST(HeadReaderTest, EndlessHeadIsCutOffAtTheCap) {
  HeadReader reader;
  std::string chunk(2048, 'x');
  int feeds = 0;
  while (reader.Feed(chunk) == HeadReader::State::kNeedMore) ++feeds;
  EXPECT_EQ(reader.state(), HeadReader::State::kTooLong);
  EXPECT_LE(static_cast<std::size_t>(feeds) * chunk.size(), HeadReader::kMaxHeadBytes + 3);
  // A head just under the cap is still taken.
  HeadReader fits;
  std::string head(HeadReader::kMaxHeadBytes - 10, 'y');
  EXPECT_EQ(fits.Feed(head + "\r\n\r\n"), HeadReader::State::kComplete);
}

}  // namespace
}  // namespace marovine
