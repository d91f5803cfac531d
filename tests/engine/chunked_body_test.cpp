#include "marovine/engine/chunked_body.h"

#include <gtest/gtest.h>

#include <string>

namespace marovine {
namespace {

// Feeds the body in the given pieces; answers the data, or "<malformed>".
std::string Unchunk(const std::string& body, std::size_t piece = std::string::npos,
                    bool* finished = nullptr) {
  ChunkedBody chunks;
  std::string out;
  for (std::size_t at = 0; at < body.size(); at += piece) {
    bool ok = chunks.Decode(std::string_view(body).substr(at, piece), [&](std::string_view data) {
      out.append(data);
      return true;
    });
    if (!ok) return chunks.malformed() ? "<malformed>" : "<stopped>";
  }
  if (finished) *finished = chunks.Finished();
  return out;
}

TEST(ChunkedBodyTest, DataComesOutWhereverTheReadsSplitIt) {
  const std::string body =
      "5\r\nhello\r\n"
      "1A;name=\"value\"\r\n" +
      std::string(26, 'x') +
      "\r\n"
      "b \n world-wide\n"  // bare line ends and a blank before them
      "0\r\n"
      "Expires: never\r\n"
      "\r\n"
      "HTTP/1.1 200 OK\r\n";  // what follows the body is not part of it
  const std::string data = "hello" + std::string(26, 'x') + " world-wide";
  for (std::size_t piece = 1; piece <= body.size(); ++piece) {
    bool finished = false;
    ASSERT_EQ(Unchunk(body, piece, &finished), data) << piece;
    ASSERT_TRUE(finished) << piece;
  }
  bool finished = true;
  EXPECT_EQ(Unchunk("5\r\nhel", std::string::npos, &finished), "hel");
  EXPECT_FALSE(finished);  // cut short
  EXPECT_EQ(Unchunk("0\r\n", std::string::npos, &finished), "");
  EXPECT_FALSE(finished);  // the trailer's end is missing
}

TEST(ChunkedBodyTest, HostileFramingIsMalformed) {
  const std::string endless_line(ChunkedBody::kMaxSizeLineBytes + 1, '0');
  const std::string endless_extension = "5;" + std::string(ChunkedBody::kMaxSizeLineBytes, 'e');
  std::string endless_trailer = "0\r\n";
  while (endless_trailer.size() < ChunkedBody::kMaxTrailerBytes + 100)
    endless_trailer += "X: y\r\n";
  for (const std::string& body : {
           std::string("10000000000000000\r\n"),  // past 62 bits
           std::string("ffffffffffffffffffff\r\n"),
           std::string("zz\r\nab\r\n"),
           std::string("-5\r\nabcde\r\n"),
           std::string("0x5\r\nabcde\r\n"),
           std::string(";ext\r\n"),
           std::string("\r\n"),
           std::string("1\r2\r\nab\r\n"),
           std::string("5 5\r\nhello\r\n"),
           std::string("3\r\nabcd\r\n0\r\n\r\n"),  // more data than announced
           endless_line,
           endless_extension,
           endless_trailer,
       }) {
    EXPECT_EQ(Unchunk(body), "<malformed>") << body.substr(0, 40);
    EXPECT_EQ(Unchunk(body, 1), "<malformed>") << body.substr(0, 40);
  }
  // Leading zeros are no overflow.
  EXPECT_EQ(Unchunk(std::string(40, '0') + "3\r\nabc\r\n0\r\n\r\n"), "abc");
}

TEST(ChunkedBodyTest, ASinkThatStopsEndsTheBodyWithoutCallingItMalformed) {
  ChunkedBody chunks;
  EXPECT_FALSE(chunks.Decode("3\r\nabc\r\n", [](std::string_view) { return false; }));
  EXPECT_FALSE(chunks.malformed());
  EXPECT_FALSE(chunks.Decode("0\r\n\r\n", [](std::string_view) { return true; }));
}

}  // namespace
}  // namespace marovine
