// A transfer writes only into a file it made or resumes: a file that appears
// under its name while it waits for the answer is someone else's, whatever
// the answer is.

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/engine/transfer_fixture.h"
#include "tests/support/loopback_server.h"

namespace marovine {
namespace {

using testing::LoopbackConnection;
using testing::LoopbackServer;

class ForeignFileTest : public TransferFixture {};

TEST_F(ForeignFileTest, AFileThatAppearedMeanwhileIsNeitherWrittenNorDeleted) {
  struct Case {
    const char* answer;
    TransferStatus status;
  };
  const Case cases[] = {
      {"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nbody", TS_BAD_RESPONSE},
      {"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n", TS_INCOMPLETE},
      {"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nxy", TS_SIZE_REJECTED},  // below the minimum
      {"HTTP/1.0 200 OK\r\nContent-Length: 9\r\n\r\nshort", TS_BAD_RESPONSE},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.answer);
    const std::string path = box.Path("x.jpg");
    EXPECT_TRUE(platform::RemoveFile(path));
    LoopbackServer server([&](LoopbackConnection& c) {
      c.ReadRequestHead();
      // The transfer has looked for a file to resume and found none.
      EXPECT_TRUE(platform::WriteFileAtomically(path, "someone else's"));
      c.Send(test.answer);
    });
    auto slot = MakeSlot(server.Url("/x.jpg"), "x.jpg");
    slot.minimum_size = 3;
    Run(slot);
    EXPECT_EQ(static_cast<int>(slot.status), static_cast<int>(test.status)) << slot.status_text;
    EXPECT_EQ(platform::ReadWholeFile(path).value_or("<gone>"), "someone else's");
  }
}

TEST_F(ForeignFileTest, ANameSeenFreeBeforeTheStartIsNotResumedOntoAFileThatAppearedSince) {
  const std::string path = box.Path("y.jpg");
  // Made after the scheduler found the name free, before the transfer ran.
  ASSERT_TRUE(platform::WriteFileAtomically(path, "someone else's"));
  std::string request;
  LoopbackServer server([&](LoopbackConnection& c) {
    request = c.ReadRequestHead();
    c.Send("HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nbody");
  });
  auto slot = MakeSlot(server.Url("/y.jpg"), "y.jpg");
  slot.target_absent = true;
  Run(slot);
  EXPECT_EQ(static_cast<int>(slot.status), static_cast<int>(TS_BAD_RESPONSE)) << slot.status_text;
  EXPECT_NE(request.find("Range: bytes=0-\r\n"), std::string::npos) << request;  // not resumed
  EXPECT_EQ(platform::ReadWholeFile(path).value_or("<gone>"), "someone else's");
}

}  // namespace
}  // namespace marovine
