// A plain body moves from the socket into its file through a kernel pipe.
// Whatever path it takes, the file holds exactly the body: never a byte of
// the next answer on a kept connection, never more than the size limit, and
// a resumed file continues where it stopped.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "marovine/engine/splice_pipe.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/engine/transfer_fixture.h"
#include "tests/support/loopback_server.h"

namespace marovine {
namespace {

using testing::LoopbackConnection;
using testing::LoopbackServer;
using namespace std::chrono_literals;

// Bytes no two places of which look alike, larger than a pipe's fill.
std::string Pattern(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (std::size_t k = 0; k < size; ++k) {
    seed = seed * 1103515245u + 12345u;
    bytes[k] = static_cast<char>(seed >> 16);
  }
  return bytes;
}

class DirectBodyTest : public TransferFixture {
 protected:
  std::string Local(const std::string& name) {
    return platform::ReadWholeFile(box.Path(name)).value_or("<none>");
  }
};

TEST_F(DirectBodyTest, LargeBodiesArriveWholeWithOrWithoutALength) {
  const std::string body = Pattern(3 * 1024 * 1024 + 17, 1);
  for (bool with_length : {true, false}) {
    LoopbackServer server([&](LoopbackConnection& c) {
      c.ReadRequestHead();
      std::string head = "HTTP/1.0 200 OK\r\n";
      if (with_length) head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
      // The head and the body's start in one piece, the rest in uneven ones
      // with pauses, so that some reads find the socket empty.
      if (!c.Send(head + "\r\n" + body.substr(0, 1000))) return;
      for (std::size_t at = 1000; at < body.size(); at += 300001) {
        if (!c.Send(body.substr(at, 300001)) || !c.Pause(1ms)) return;
      }
    });
    const std::string name = with_length ? "long.zip" : "unsized.zip";
    auto slot = MakeSlot(server.Url("/" + name), name);
    Run(slot);
    EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
    EXPECT_EQ(slot.received, static_cast<std::int64_t>(body.size()));
    EXPECT_TRUE(Local(name) == body) << name << " differs from the body sent";
  }
}

TEST_F(DirectBodyTest, AKeptConnectionsNextAnswerNeverReachesTheFile) {
  WorkerSettings settings;
  settings.retry_wait_time = 0;
  settings.reuse_connections = 1;
  SetWorker(settings);
  const std::string first = Pattern(700 * 1024, 2), second = Pattern(500 * 1024 + 3, 3);
  LoopbackServer server([&](LoopbackConnection& c) {
    // Both answers go out after the first request: the second is already
    // waiting in the socket while the first body is moved.
    c.ReadRequestHead();
    std::string both;
    for (const std::string* body : {&first, &second}) {
      both += "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body->size()) + "\r\n\r\n";
      both += *body;
    }
    if (!c.Send(both)) return;
    c.ReadRequestHead();
    c.WaitForClientClose();
  });
  auto a = MakeSlot(server.Url("/a.zip"), "a.zip");
  Run(a);
  auto b = MakeSlot(server.Url("/b.zip"), "b.zip");
  Run(b);
  EXPECT_EQ(a.status, TS_DONE) << a.status_text;
  EXPECT_EQ(b.status, TS_DONE) << b.status_text;
  EXPECT_TRUE(Local("a.zip") == first);
  EXPECT_TRUE(Local("b.zip") == second);
  EXPECT_EQ(server.connections(), 1);
}

TEST_F(DirectBodyTest, AnUnsizedBodyOverTheLimitIsRefusedAndAResumedFileContinues) {
  const std::string body = Pattern(2 * 1024 * 1024, 4);
  {
    LoopbackServer server([&](LoopbackConnection& c) {
      c.ReadRequestHead();
      (void)c.Send("HTTP/1.0 200 OK\r\n\r\n" + body);
    });
    auto slot = MakeSlot(server.Url("/big.zip"), "big.zip");
    slot.maximum_size = 1024 * 1024;
    Run(slot);
    EXPECT_EQ(slot.status, TS_SIZE_REJECTED) << slot.status_text;
    EXPECT_FALSE(platform::FileExists(box.Path("big.zip")));
  }
  {
    const std::size_t had = 1234567;
    box.WriteFile("part.zip", body.substr(0, had));
    LoopbackServer server([&](LoopbackConnection& c) {
      std::string head = c.ReadRequestHead();
      if (head.find("Range: bytes=" + std::to_string(had) + "-") == std::string::npos) return;
      (void)c.Send("HTTP/1.0 206 Partial Content\r\nContent-Range: bytes " + std::to_string(had) +
                   "-" + std::to_string(body.size() - 1) + "/" + std::to_string(body.size()) +
                   "\r\nContent-Length: " + std::to_string(body.size() - had) + "\r\n\r\n" +
                   body.substr(had));
    });
    auto slot = MakeSlot(server.Url("/part.zip"), "part.zip");
    Run(slot);
    EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
    EXPECT_TRUE(Local("part.zip") == body) << "the resumed file is not the body";
  }
}

// The pipe itself: a file that takes no spliced data (opened for appending)
// gets the bytes through the buffer, and a failed write leaves nothing behind
// for the next body.
TEST(SplicePipeTest, FilesThatRefuseSplicingAndFailedWritesLoseNothingAndLeaveNothing) {
  testing::Sandbox box;
  SplicePipe pipe;
  ASSERT_TRUE(pipe.Ready());
  ASSERT_GE(pipe.capacity(), 4096u);
  char buffer[1000];
  auto fill = [&](const std::string& bytes) {
    ASSERT_EQ(::write(pipe.write_end(), bytes.data(), bytes.size()),
              static_cast<ssize_t>(bytes.size()));
  };

  const std::string first = Pattern(3000, 5);
  fill(first);
  int appending = ::open(box.Path("append.bin").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  ASSERT_GE(appending, 0);
  EXPECT_EQ(pipe.DrainTo(appending, first.size(), buffer, sizeof buffer), 0);
  ::close(appending);
  EXPECT_TRUE(platform::ReadWholeFile(box.Path("append.bin")).value_or("") == first);

  fill("stale bytes");
  int read_only = ::open(box.Path("append.bin").c_str(), O_RDONLY);
  ASSERT_GE(read_only, 0);
  EXPECT_NE(pipe.DrainTo(read_only, 11, buffer, sizeof buffer), 0);
  ::close(read_only);

  ASSERT_TRUE(pipe.Ready());
  fill("next");
  int fresh = ::open(box.Path("next.bin").c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fresh, 0);
  EXPECT_EQ(pipe.DrainTo(fresh, 4, buffer, sizeof buffer), 0);
  ::close(fresh);
  EXPECT_EQ(platform::ReadWholeFile(box.Path("next.bin")).value_or(""), "next");
}

}  // namespace
}  // namespace marovine
