// Transfers against our own loopback server making the faults real servers
// rarely make: silence, heads split anywhere, endless heads, short bodies.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <functional>

#include "marovine/engine/banner_list.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/engine/transfer_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/loopback_server.h"

namespace marovine {
namespace {

using testing::LoopbackConnection;
using testing::LoopbackServer;
using namespace std::chrono_literals;

std::string Response(const std::string& body, const std::string& extra_headers = "") {
  return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" +
         extra_headers + "\r\n" + body;
}

class FaultTest : public TransferFixture {
 protected:
  std::string Local(const std::string& name) {
    return platform::ReadWholeFile(box.Path(name)).value_or("<none>");
  }
};

TEST_F(FaultTest, SilentServerTimesOut) {
  LoopbackServer server([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.WaitForClientClose();
  });
  auto slot = MakeSlot(server.Url("/x.jpg"), "x.jpg");
  slot.timeout_ms = 300;
  Run(slot);
  EXPECT_EQ(slot.status, TS_TIMEOUT);
  EXPECT_EQ(slot.status_text, "タイムアウトしました。");
}

TEST_F(FaultTest, StopIsSeenWithinASecondEvenWithoutTimeOut) {
  LoopbackServer server([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\npartial");
    c.WaitForClientClose();
  });
  auto slot = MakeSlot(server.Url("/x.jpg"), "x.jpg");
  slot.timeout_ms = 0;  // wait forever
  Start(slot);
  ASSERT_TRUE(testing::WaitFor([&] {
    engine.SyncTransferSlot(slot);
    return slot.received == 7;
  }));
  slot.stop_request = 1;
  auto asked = std::chrono::steady_clock::now();
  ASSERT_TRUE(testing::WaitFor([&] {
    engine.SyncTransferSlot(slot);
    return slot.status != TS_RUNNING;
  }));
  // One poll slice of a second, and room for a busy machine.
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 2500ms);
  EXPECT_EQ(slot.status, TS_STOPPED);
  EXPECT_EQ(slot.status_text, "ユーザーによって切断されました。");
  EXPECT_EQ(Local("x.jpg"), "partial");  // the partial file stays for a resume
}

TEST_F(FaultTest, StopEndsTheRetryWait) {
  WorkerSettings slow;
  slow.retry_wait_time = 60;
  SetWorker(slow);
  auto slot =
      MakeSlot("http://127.0.0.1:" + std::to_string(testing::FreeLoopbackPort()) + "/", "x.html");
  Start(slot);
  ASSERT_TRUE(testing::WaitFor([&] {
    engine.SyncTransferSlot(slot);
    return slot.status_text == "127.0.0.1に接続できません。";
  }));
  slot.stop_request = 1;
  ASSERT_TRUE(testing::WaitFor(
      [&] {
        engine.SyncTransferSlot(slot);
        return slot.status != TS_RUNNING;
      },
      2s));
  EXPECT_EQ(slot.status, TS_STOPPED);
}

TEST_F(FaultTest, AConnectNobodyAnswersEndsAtTheTimeOutOrAtAStop) {
  testing::UnansweringListener listener;
  auto slot = MakeSlot(listener.Url("/x.jpg"), "x.jpg");
  slot.timeout_ms = 500;
  Run(slot);
  EXPECT_EQ(slot.status, TS_FAILED);
  EXPECT_EQ(slot.status_text, "127.0.0.1に接続できません。");
  EXPECT_FALSE(platform::FileExists(box.Path("x.jpg")));

  auto endless = MakeSlot(listener.Url("/y.jpg"), "y.jpg");
  endless.timeout_ms = 0;  // wait forever
  Start(endless);
  ASSERT_TRUE(testing::WaitFor([&] {
    engine.SyncTransferSlot(endless);
    return endless.status_text == "サーバーに接続しています。";
  }));
  endless.stop_request = 1;
  ASSERT_TRUE(testing::WaitFor([&] {
    engine.SyncTransferSlot(endless);
    return endless.status != TS_RUNNING;
  }));
  EXPECT_EQ(endless.status, TS_STOPPED);
}

TEST_F(FaultTest, RefusedConnectionsRetryOnlyWhenAsked) {
  std::string url = "http://127.0.0.1:" + std::to_string(testing::FreeLoopbackPort()) + "/a.jpg";
  auto slot = MakeSlot(url, "a.jpg");
  Run(slot);
  EXPECT_EQ(slot.status, TS_FAILED);
  WorkerSettings retry;
  retry.retry_wait_time = 0;
  retry.retry_s_error = 1;
  SetWorker(retry);
  auto again = MakeSlot(url, "a.jpg");
  Run(again);
  EXPECT_EQ(again.status, TS_CONNECT_RETRY);
}

TEST_F(FaultTest, HeadSplitAnywhereIsReadTheSame) {
  const std::string response = Response("picture-bytes", "Content-Type: image/jpeg\r\n");
  for (std::size_t cut = 1; cut < response.size(); ++cut) {
    LoopbackServer server([&](LoopbackConnection& c) {
      c.ReadRequestHead();
      c.Send(response.substr(0, cut));
      c.Pause(15ms);
      c.Send(response.substr(cut));
    });
    auto slot = MakeSlot(server.Url("/p.jpg"), "p" + std::to_string(cut) + ".jpg");
    Run(slot);
    ASSERT_EQ(slot.status, TS_DONE) << "cut at " << cut << ": " << slot.status_text;
    ASSERT_EQ(Local("p" + std::to_string(cut) + ".jpg"), "picture-bytes") << cut;
  }
}

TEST_F(FaultTest, EndlessHeadEndsAsBadResponse) {
  LoopbackServer server([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send("HTTP/1.0 200 OK\r\n");
    std::string header = "X-Filler: " + std::string(1000, 'x') + "\r\n";
    while (c.Send(header)) {
    }
  });
  auto slot = MakeSlot(server.Url("/x.jpg"), "x.jpg");
  Run(slot);
  EXPECT_EQ(slot.status, TS_BAD_RESPONSE);
  EXPECT_EQ(slot.status_text, "応答ヘッダーが長すぎます。HTTP違反。");
  EXPECT_FALSE(platform::FileExists(box.Path("x.jpg")));
}

TEST_F(FaultTest, ShortBodyIsIncompleteAndNotKept) {
  LoopbackServer server([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + std::string(500, 'b'));
  });
  auto slot = MakeSlot(server.Url("/x.jpg"), "x.jpg");
  Run(slot);
  EXPECT_EQ(slot.status, TS_INCOMPLETE);
  EXPECT_EQ(slot.status_text, "ダウンロードが失敗しました。");
  EXPECT_EQ(slot.received, 500);
  EXPECT_FALSE(platform::FileExists(box.Path("x.jpg")));
}

TEST_F(FaultTest, CloseBeforeAnyBody) {
  LoopbackServer server([](LoopbackConnection& c) { c.ReadRequestHead(); });
  auto slot = MakeSlot(server.Url("/x.jpg"), "x.jpg");
  Run(slot);
  EXPECT_EQ(slot.status, TS_FAILED);
  EXPECT_EQ(slot.status_text, "サーバーに切断されました。");
  WorkerSettings retry;
  retry.retry_wait_time = 0;
  retry.retry_s_error = 1;
  SetWorker(retry);
  auto again = MakeSlot(server.Url("/x.jpg"), "x.jpg");
  Run(again);
  EXPECT_EQ(again.status, TS_INCOMPLETE);
}

TEST_F(FaultTest, ServerIgnoringRangeFollowsTheResumePolicy) {
  const std::string whole = "0123456789abcdef";
  LoopbackServer server([&](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send(Response(whole));
  });
  box.WriteFile("f.bin", "01234");
  auto refused = MakeSlot(server.Url("/f.bin"), "f.bin");
  refused.resume_policy = 1;
  Run(refused);
  EXPECT_EQ(refused.status, TS_INCOMPLETE);
  EXPECT_EQ(refused.status_text, "レジュームできません。");
  EXPECT_EQ(Local("f.bin"), "01234");
  EXPECT_NE(server.requests().back().find("Range: bytes=5-\r\n"), std::string::npos);

  auto restarted = MakeSlot(server.Url("/f.bin"), "f.bin");
  restarted.resume_policy = 0;
  Run(restarted);
  EXPECT_EQ(restarted.status, TS_DONE);
  EXPECT_EQ(Local("f.bin"), whole);
}

TEST_F(FaultTest, APartWithoutItsRangeLeavesTheResumedFileAlone) {
  LoopbackServer server([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send("HTTP/1.0 206 Partial Content\r\n\r\n56789");
  });
  box.WriteFile("f.bin", "01234");
  auto slot = MakeSlot(server.Url("/f.bin"), "f.bin");
  Run(slot);
  EXPECT_EQ(slot.status, TS_BAD_RESPONSE);
  EXPECT_EQ(slot.status_text, "予期しないエラーです。HTTP違反。");
  EXPECT_EQ(Local("f.bin"), "01234");
}

TEST_F(FaultTest, EmptyLeftoverFileIsNoResume) {
  LoopbackServer server([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send(Response("fresh"));
  });
  box.WriteFile("f.bin", "");
  auto slot = MakeSlot(server.Url("/f.bin"), "f.bin");
  slot.resume_policy = 1;
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
  EXPECT_EQ(Local("f.bin"), "fresh");
}

std::string Compress(const std::string& text, int window_bits) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, window_bits, 8, Z_DEFAULT_STRATEGY);
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

TEST_F(FaultTest, EncodedBodiesAreDecodedAndCorruptOnesRefused) {
  std::string page = "<html>";
  for (int i = 0; i < 3000; ++i) page += "<a href=\"p" + std::to_string(i) + ".jpg\">x</a>";
  struct Case {
    const char* name;
    std::string header;
    std::string body;
  } cases[] = {
      {"gzip.html", "Content-Encoding: gzip\r\n", Compress(page, 15 + 16)},
      {"zlib.html", "Content-Encoding: deflate\r\n", Compress(page, 15)},
      {"raw.html", "Content-Encoding: deflate\r\n", Compress(page, -15)},
  };
  for (const auto& c : cases) {
    LoopbackServer server([&](LoopbackConnection& conn) {
      conn.ReadRequestHead();
      conn.Send(Response(c.body, c.header));
    });
    auto slot = MakeSlot(server.Url("/page.html"), c.name);
    Run(slot);
    EXPECT_EQ(slot.status, TS_DONE) << c.name << ": " << slot.status_text;
    EXPECT_TRUE(Local(c.name) == page) << c.name;
  }

  std::string corrupt = Compress(page, 15 + 16);
  corrupt[corrupt.size() / 2] ^= 0x55;
  corrupt[corrupt.size() / 2 + 1] ^= 0x55;
  LoopbackServer bad([&](LoopbackConnection& conn) {
    conn.ReadRequestHead();
    conn.Send(Response(corrupt, "Content-Encoding: gzip\r\n"));
  });
  auto slot = MakeSlot(bad.Url("/page.html"), "bad.html");
  Run(slot);
  EXPECT_EQ(slot.status, TS_INCOMPLETE);
  EXPECT_EQ(slot.status_text, "圧縮されたデータを展開できません。");
  EXPECT_FALSE(platform::FileExists(box.Path("bad.html")));
}

TEST_F(FaultTest, AnEncodedWholeBodyOnAResumeFollowsTheResumePolicy) {
  const std::string whole = "0123456789abcdef";
  const std::string gzipped = Compress(whole, 15 + 16);
  LoopbackServer server([&](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send(Response(gzipped, "Content-Encoding: gzip\r\n"));
  });
  box.WriteFile("f.bin", "01234");
  auto refused = MakeSlot(server.Url("/f.bin"), "f.bin");
  refused.resume_policy = 1;
  Run(refused);
  EXPECT_EQ(refused.status, TS_INCOMPLETE);
  EXPECT_EQ(refused.status_text, "レジュームできません。");
  EXPECT_EQ(Local("f.bin"), "01234");

  auto restarted = MakeSlot(server.Url("/f.bin"), "f.bin");
  restarted.resume_policy = 0;
  Run(restarted);
  EXPECT_EQ(restarted.status, TS_DONE) << restarted.status_text;
  EXPECT_EQ(Local("f.bin"), whole);
}

TEST_F(FaultTest, InflatedBodiesAreHeldToTheSizeLimitAndBombsRefused) {
  // 1 MB of text compresses to a few KB; the limit is about the file on disk.
  std::string text;
  while (text.size() < 1000000) text += "picture bytes that compress well ";
  std::string small_body = Compress(text, 15 + 16);
  LoopbackServer limited([&](LoopbackConnection& conn) {
    conn.ReadRequestHead();
    conn.Send(Response(small_body, "Content-Encoding: gzip\r\n"));
  });
  auto slot = MakeSlot(limited.Url("/x.jpg"), "x.jpg");
  slot.maximum_size = 100 * 1024;
  Run(slot);
  EXPECT_EQ(slot.status, TS_SIZE_REJECTED);
  EXPECT_FALSE(platform::FileExists(box.Path("x.jpg")));

  // A page has no size limit, but 100 MB out of ~100 KB is no page.
  std::string bomb = Compress(std::string(100 << 20, '\0'), 15 + 16);
  LoopbackServer bomber([&](LoopbackConnection& conn) {
    conn.ReadRequestHead();
    conn.Send(Response(bomb, "Content-Encoding: gzip\r\nContent-Type: text/html\r\n"));
  });
  auto page = MakeSlot(bomber.Url("/b.html"), "b.html");
  Run(page);
  EXPECT_EQ(page.status, TS_FAILED);
  EXPECT_EQ(page.status_text, "圧縮されたデータを展開できません。");
  EXPECT_FALSE(platform::FileExists(box.Path("b.html")));
}

TEST_F(FaultTest, FreeHostPagesAreCutAfterSevenThousandBytes) {
  LoopbackServer server([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n");
    for (int i = 0; i < 20; ++i) {
      if (!c.Send(std::string(1000, 'h')) || !c.Pause(5ms)) return;
    }
  });
  auto slot = MakeSlot(server.Url("/homestead/page.html"), "page.html");
  slot.free_host_cut = 1;
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE);
  auto size = platform::FileSizeOf(box.Path("page.html")).value_or(0);
  EXPECT_GT(size, 7000);
  EXPECT_LT(size, 20000);
}

TEST_F(FaultTest, TheAnswersCharsetReachesTheSlot) {
  LoopbackServer server([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send(Response("<title>\x82\xdc</title>", "Content-Type: text/html; charset=Shift_JIS\r\n"));
  });
  auto slot = MakeSlot(server.Url("/p.html"), "p.html");
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE);
  EXPECT_EQ(slot.charset, "shift_jis");
  EXPECT_EQ(slot.page_flag, 1);
  engine.ResetTransferSlot(0, slot);
  EXPECT_EQ(slot.charset, "");
}

TEST_F(FaultTest, UnusableUrlsFailBeforeConnecting) {
  auto slot = MakeSlot("ftp://127.0.0.1/x.jpg", "x.jpg");
  Run(slot);
  EXPECT_EQ(slot.status, TS_FAILED);
  EXPECT_EQ(slot.status_text, "HTTPサーバーではありません。");

  // Port 65536 + the server's: cut to 16 bits it would reach the server.
  LoopbackServer server([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send(Response("wrong server"));
  });
  auto wrapped =
      MakeSlot("http://127.0.0.1:" + std::to_string(65536 + server.port()) + "/x.jpg", "x.jpg");
  Run(wrapped);
  EXPECT_EQ(wrapped.status, TS_FAILED);
  EXPECT_EQ(wrapped.status_text, "ポート番号が正しくありません。");
  EXPECT_EQ(server.connections(), 0);
  EXPECT_FALSE(platform::FileExists(box.Path("x.jpg")));

  // A proxy entry with such a port fails like a proxy that does not answer,
  // so the item may be tried through another.
  WorkerSettings retry;
  retry.retry_wait_time = 0;
  retry.retry_s_error = 1;
  SetWorker(retry);
  auto proxied = MakeSlot(server.Url("/x.jpg"), "x.jpg");
  proxied.proxy = "127.0.0.1:" + std::to_string(65536 + server.port());
  Run(proxied);
  EXPECT_EQ(proxied.status, TS_CONNECT_RETRY);
  EXPECT_EQ(proxied.status_text, "ポート番号が正しくありません。");
  EXPECT_EQ(server.connections(), 0);
}

TEST_F(FaultTest, AnEmptyFileInTheBannerListDoesNotMatchAnUnannouncedSize) {
  LoopbackServer server([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send("HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n\r\n" + std::string(500, 'j'));
  });
  ASSERT_TRUE(AppendBannerEntry(box.Path("banner.dat"), 0, -1));
  auto slot = MakeSlot(server.Url("/x.jpg"), "x.jpg");
  slot.banner_check = 1;
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
  EXPECT_EQ(Local("x.jpg"), std::string(500, 'j'));
}

// Runs `check` in a child process that cannot start threads; answers its
// exit code, or -1 when threads could not be forbidden here. Root is not
// bound by the process limit, so the child becomes an unprivileged user first.
int ExitCodeWithoutThreads(const std::function<bool()>& check) {
  pid_t pid = ::fork();
  if (pid == 0) {
    if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    rlimit none{0, 0};
    if (::setrlimit(RLIMIT_NPROC, &none) != 0) ::_exit(3);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return 2;
  return WEXITSTATUS(status) == 3 ? -1 : WEXITSTATUS(status);
}

TEST_F(FaultTest, AThreadThatCannotStartLeavesTheSlotFailedNotRunning) {
  int code = ExitCodeWithoutThreads([this] {
    TransferEngine fresh;  // no slot thread made yet
    auto slot = MakeSlot("http://127.0.0.1:1/x.jpg", "x.jpg");
    fresh.StartTransferThread(slot);
    if (slot.status != TS_FAILED) return false;
    // The tick syncs the slot before it collects it.
    fresh.SyncTransferSlot(slot);
    return slot.status == TS_FAILED && slot.status_text == "スレッドを起動できません。";
  });
  if (code == -1) GTEST_SKIP() << "threads cannot be forbidden here";
  EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace marovine
