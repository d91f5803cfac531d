// What a crawl leaves on disk and in its lists when transfers end badly.

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/loopback_server.h"

namespace marovine {
namespace {

using testing::Sandbox;

std::string UnusedPortUrl(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(testing::FreeLoopbackPort()) + path;
}

TEST(CrawlResultTest, GivingUpOnAnUnreachableServerKeepsTheFileThatWasThere) {
  Sandbox home;
  CrawlDoc c(home, "[DownLoad]\nRetrySError=1\nResume Dwonload=1\nRetry Time=1\n");
  ASSERT_EQ(c.doc->RegisterUrl(UnusedPortUrl("/part.zip")), 1);
  ASSERT_EQ(c.doc->RegisterUrl(UnusedPortUrl("/empty.zip")), 1);
  const std::string part = c.doc->download_items[0].local_path;
  const std::string empty = c.doc->download_items[1].local_path;
  EXPECT_TRUE(platform::MakeFoldersForFile(part));
  ASSERT_TRUE(platform::WriteFileAtomically(part, "the first half"));
  ASSERT_TRUE(platform::WriteFileAtomically(empty, ""));

  c.Crawl();

  EXPECT_EQ(c.doc->download_items[0].state, DS_ERROR);
  EXPECT_EQ(c.doc->download_items[1].state, DS_ERROR);
  EXPECT_EQ(platform::ReadWholeFile(part).value_or("<gone>"), "the first half");
  EXPECT_FALSE(platform::FileExists(empty));
}

}  // namespace
}  // namespace marovine
