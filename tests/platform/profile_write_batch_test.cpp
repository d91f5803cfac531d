#include "platform/profile_write_batch.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "tests/support/sandbox.h"

namespace platform {
namespace {

TEST(ProfileWriteBatchTest, KeysWaitVisiblyUntilDueAndLandInOneRewrite) {
  marovine::testing::Sandbox box;
  std::string path = box.WriteFile("h.txt",
                                   "[Head]\nVER=1\n\n[http://a/x.jpg]\nModifiedDate=old\n"
                                   "FileSize=1\n\n[Tail]\nK=" +
                                       std::string(1000, 'v') + "\n");
  ProfileWriteBatch batch;
  batch.Write(path, "HTTP://A/X.JPG", "ModifiedDate", "new");  // sections ignore case
  batch.Write(path, "http://a/y.jpg", "ModifiedDate", "y");
  batch.Write(path, "http://a/y.jpg", "FileSize", "7");
  batch.Write(path, "http://a/y.jpg", "FileSize", "8");  // the last value counts
  EXPECT_EQ(batch.Find(path, "http://a/y.jpg", "FileSize"), "8");
  EXPECT_EQ(batch.Find(path, "Head", "VER"), "1");  // from the file
  EXPECT_EQ(batch.Find(path, "Tail", "none"), std::nullopt);

  // A little waiting beside a larger file is not due yet, unless it waited long.
  std::string before = *ReadWholeFile(path);
  ASSERT_TRUE(batch.Flush(false));
  EXPECT_EQ(*ReadWholeFile(path), before);
  ASSERT_TRUE(batch.Flush(false, ProfileWriteBatch::Clock::now() + std::chrono::minutes(1)));
  EXPECT_TRUE(batch.empty());
  EXPECT_EQ(*ReadWholeFile(path),
            "[Head]\nVER=1\n\n[http://a/x.jpg]\nModifiedDate=new\nFileSize=1\n\n[Tail]\nK=" +
                std::string(1000, 'v') + "\n\n[http://a/y.jpg]\nModifiedDate=y\nFileSize=8\n");

  // A file that does not exist yet is written at the first flush; a discarded
  // one never.
  std::string fresh = box.Path("log/site.ini");
  std::string gone = box.Path("log/gone.ini");
  batch.Write(fresh, "a.jpg", "Url", "http://a/a.jpg");
  batch.Write(gone, "b.jpg", "Url", "http://a/b.jpg");
  batch.Discard(gone);
  ASSERT_TRUE(batch.Flush(false));
  EXPECT_EQ(ReadWholeFile(fresh), "[a.jpg]\nUrl=http://a/a.jpg\n");
  EXPECT_FALSE(ReadWholeFile(gone));
}

}  // namespace
}  // namespace platform
