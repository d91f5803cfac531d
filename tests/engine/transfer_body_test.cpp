// What a transfer stores of an answer: the status line decides whether there
// is a body at all, and the body goes to disk without its chunk framing and
// its content coding, or not at all.

#include <gtest/gtest.h>
#include <zlib.h>

#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/engine/transfer_fixture.h"
#include "tests/support/loopback_server.h"

namespace marovine {
namespace {

using testing::LoopbackConnection;
using testing::LoopbackServer;
using namespace std::chrono_literals;

constexpr const char* kChunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
constexpr const char* kBadChunks = "チャンク形式が正しくありません。HTTP違反。";

std::string Gzip(const std::string& text) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, text.size()) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

std::string Chunked(const std::string& data, std::size_t chunk) {
  std::string out;
  for (std::size_t at = 0; at < data.size(); at += chunk) {
    std::string piece = data.substr(at, chunk);
    char size[32];
    std::snprintf(size, sizeof size, "%zx", piece.size());
    out += std::string(size) + "\r\n" + piece + "\r\n";
  }
  return out + "0\r\n\r\n";
}

class BodyTest : public TransferFixture {
 protected:
  // Runs one transfer of `name` against a server that answers `response`
  // (in pieces of `piece` bytes) and then closes, or waits for the client to.
  TransferSlot Fetch(const std::string& name, const std::string& response,
                     std::size_t piece = std::string::npos, bool keep_open = false) {
    LoopbackServer server([&](LoopbackConnection& c) {
      c.ReadRequestHead();
      for (std::size_t at = 0; at < response.size(); at += piece) {
        if (!c.Send(response.substr(at, piece)) || !c.Pause(1ms)) return;
      }
      if (keep_open) c.WaitForClientClose();
    });
    auto slot = MakeSlot(server.Url("/" + name), name);
    Run(slot);
    return slot;
  }
  std::string Local(const std::string& name) {
    return platform::ReadWholeFile(box.Path(name)).value_or("<none>");
  }
};

TEST_F(BodyTest, TheStatusLineAloneDecidesWhetherTheBodyIsStored) {
  auto not_found =
      Fetch("a.jpg", "HTTP/1.1 404 Not Found\r\nX-Note: 200 OK\r\nConnection: close\r\n\r\ngone");
  EXPECT_EQ(not_found.status, TS_INCOMPLETE);
  EXPECT_EQ(not_found.status_text, "Forbiddenを返されました。");
  EXPECT_FALSE(platform::FileExists(box.Path("a.jpg")));

  auto no_reason =
      Fetch("b.jpg", "HTTP/1.1 200\r\nContent-Length: 4\r\nConnection: close\r\n\r\ndata");
  EXPECT_EQ(no_reason.status, TS_DONE) << no_reason.status_text;
  EXPECT_EQ(Local("b.jpg"), "data");
}

TEST_F(BodyTest, CodingsWeCannotUndoAreRefusedAndAResumedFileKept) {
  const std::string twice = Gzip(Gzip("picture"));
  for (const char* coding : {"br", "gzip, gzip", "x-custom"}) {
    auto slot = Fetch("c.jpg", std::string("HTTP/1.0 200 OK\r\nContent-Encoding: ") + coding +
                                   "\r\n\r\n" + twice);
    EXPECT_EQ(slot.status, TS_FAILED) << coding;
    EXPECT_EQ(slot.status_text, "対応していない圧縮形式です。") << coding;
    EXPECT_FALSE(platform::FileExists(box.Path("c.jpg"))) << coding;
  }
  box.WriteFile("d.jpg", "01234");
  auto resumed = Fetch("d.jpg",
                       "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 5-9/10\r\n"
                       "Content-Encoding: br\r\n\r\n56789");
  EXPECT_EQ(resumed.status, TS_FAILED);
  EXPECT_EQ(Local("d.jpg"), "01234");
}

TEST_F(BodyTest, ChunkedBodiesAreStoredWithoutTheirFraming) {
  std::string data;
  for (int i = 0; i < 4000; ++i) data += "line " + std::to_string(i) + "\n";
  // Chunk boundaries, reads and extensions anywhere; a trailer at the end;
  // the server keeps the connection open afterwards.
  std::string body = Chunked(data, 1000);
  body.insert(body.find("\r\n"), ";ext=1");
  body.insert(body.size() - 2, "X-Checksum: 1\r\n");
  auto plain = Fetch("e.bin", kChunkedHead + body, 777, /*keep_open=*/true);
  EXPECT_EQ(plain.status, TS_DONE) << plain.status_text;
  EXPECT_EQ(plain.received, static_cast<std::int64_t>(data.size()));
  EXPECT_TRUE(Local("e.bin") == data);

  auto coded = Fetch("f.html",
                     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Encoding: gzip\r\n"
                     "Content-Length: 3\r\n\r\n" +
                         Chunked(Gzip(data), 100));
  EXPECT_EQ(coded.status, TS_DONE) << coded.status_text;
  EXPECT_TRUE(Local("f.html") == data);
}

TEST_F(BodyTest, AChunkedFreeHostPageCutAfterSevenThousandBytesIsDone) {
  LoopbackServer server([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nTransfer-Encoding: chunked\r\n\r\n");
    for (int i = 0; i < 20; ++i) {
      if (!c.Send("3e8\r\n" + std::string(1000, 'h') + "\r\n") || !c.Pause(5ms)) return;
    }
    c.Send("0\r\n\r\n");
  });
  auto slot = MakeSlot(server.Url("/homestead/page.html"), "page.html");
  slot.free_host_cut = 1;
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
  auto size = platform::FileSizeOf(box.Path("page.html")).value_or(0);
  EXPECT_GT(size, 7000);
  EXPECT_LT(size, 20000);
}

TEST_F(BodyTest, ChunkedBodiesResumeAndKeepToTheSizeLimit) {
  box.WriteFile("g.bin", "01234");
  auto resumed = Fetch("g.bin",
                       "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 5-9/10\r\n"
                       "Transfer-Encoding: chunked\r\n\r\n" +
                           Chunked("56789", 2));
  EXPECT_EQ(resumed.status, TS_DONE) << resumed.status_text;
  EXPECT_EQ(resumed.received, 10);
  EXPECT_EQ(Local("g.bin"), "0123456789");

  LoopbackServer server([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send(kChunkedHead + Chunked(std::string(5000, 'z'), 1000));
  });
  auto limited = MakeSlot(server.Url("/h.jpg"), "h.jpg");
  limited.maximum_size = 1000;
  Run(limited);
  EXPECT_EQ(limited.status, TS_SIZE_REJECTED);
  EXPECT_FALSE(platform::FileExists(box.Path("h.jpg")));
}

TEST_F(BodyTest, HostileChunksFailTheItemCleanly) {
  const std::string endless_size = "1" + std::string(100000, '0');
  std::string endless_trailer = "3\r\nabc\r\n0\r\n";
  while (endless_trailer.size() < 200000) endless_trailer += "X-Filler: yyyyyyyyyyyyyyyyyy\r\n";
  for (const std::string& body :
       {std::string("3\r\nabc\r\n10000000000000000\r\n"), std::string("3\r\nabc\r\nzz\r\nabc\r\n"),
        endless_size, endless_trailer, std::string("3\r\nabcdef\r\n0\r\n\r\n")}) {
    auto slot = Fetch("i.jpg", kChunkedHead + body);
    EXPECT_EQ(slot.status, TS_BAD_RESPONSE) << body.substr(0, 30);
    EXPECT_EQ(slot.status_text, kBadChunks) << body.substr(0, 30);
    EXPECT_FALSE(platform::FileExists(box.Path("i.jpg"))) << body.substr(0, 30);
  }

  // Cut short: like a short body, nothing is kept of a new file.
  LoopbackServer cut([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send(std::string(kChunkedHead) + "10\r\nonly eight");
  });
  auto short_slot = MakeSlot(cut.Url("/j.jpg"), "j.jpg");
  Run(short_slot);
  EXPECT_EQ(short_slot.status, TS_INCOMPLETE);
  EXPECT_EQ(short_slot.status_text, "ダウンロードが失敗しました。");
  EXPECT_FALSE(platform::FileExists(box.Path("j.jpg")));

  // A resumed file keeps what arrived before the fault.
  box.WriteFile("k.bin", "01234");
  auto resumed = Fetch("k.bin",
                       "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 5-9/10\r\n"
                       "Transfer-Encoding: chunked\r\n\r\n2\r\n56\r\nzz\r\n789\r\n");
  EXPECT_EQ(resumed.status, TS_BAD_RESPONSE);
  EXPECT_EQ(Local("k.bin"), "0123456");
}

}  // namespace
}  // namespace marovine
