#include "tarq/dislike_recording.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "marovine/engine/banner_list.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::tarq::ReadDislikedFileSignature;
using marovine::tarq::RecordDislikedFile;
using marovine::tarq::RecordOutcome;
using marovine::testing::Sandbox;

std::string FileWithByte199(std::size_t size, unsigned char value) {
  std::string content(size, 'a');
  content[199] = static_cast<char>(value);
  return content;
}

TEST(DislikedFileSignatureTest, TakesByte199AsSignedAndZeroForShortFiles) {
  Sandbox box;
  auto short_file = ReadDislikedFileSignature(box.WriteFile("short.jpg", std::string(150, 'x')));
  ASSERT_TRUE(short_file);
  EXPECT_EQ(short_file->size, 150);
  EXPECT_EQ(short_file->value, 0);

  auto exactly_200 =
      ReadDislikedFileSignature(box.WriteFile("200.jpg", FileWithByte199(200, 0xC8)));
  ASSERT_TRUE(exactly_200);
  EXPECT_EQ(exactly_200->value, -56);

  auto large = ReadDislikedFileSignature(box.WriteFile("big.jpg", FileWithByte199(5000, 0x7F)));
  ASSERT_TRUE(large);
  EXPECT_EQ(large->size, 5000);
  EXPECT_EQ(large->value, 127);
}

TEST(DislikedFileSignatureTest, FoldersAndMissingFilesAreNotFiles) {
  Sandbox box;
  EXPECT_FALSE(ReadDislikedFileSignature(box.path()));
  EXPECT_FALSE(ReadDislikedFileSignature(box.Path("missing.jpg")));
  ASSERT_EQ(::symlink(box.Path("missing.jpg").c_str(), box.Path("dangling.jpg").c_str()), 0);
  EXPECT_FALSE(ReadDislikedFileSignature(box.Path("dangling.jpg")));
}

TEST(RecordDislikedFileTest, AppendsEntriesTheMainProgramMatches) {
  Sandbox box;
  std::string banner = box.Path("banner.dat");
  ASSERT_EQ(RecordDislikedFile(banner, box.WriteFile("a.gif", FileWithByte199(300, 0xC8))),
            RecordOutcome::kRecorded);
  ASSERT_EQ(RecordDislikedFile(banner, box.WriteFile("b.gif", std::string(150, 'b'))),
            RecordOutcome::kRecorded);
  EXPECT_EQ(box.ReadFile("banner.dat"), ";\n300\n-56\n;\n150\n0\n");
  EXPECT_TRUE(marovine::IsBannerSize(banner, 300));
  EXPECT_TRUE(marovine::IsBannerSize(banner, 150));
  EXPECT_FALSE(marovine::IsBannerSize(banner, 200));

  EXPECT_EQ(RecordDislikedFile(banner, box.Path("gone.gif")), RecordOutcome::kUnreadable);
  EXPECT_EQ(RecordDislikedFile(box.Path("no/such/folder/banner.dat"), box.Path("a.gif")),
            RecordOutcome::kListUnwritable);
}

// Lists written on the original platform end their lines with CR LF, and a
// merged difference file may leave the last line without any line end.
TEST(RecordDislikedFileTest, KeepsEntriesReadableAfterForeignLineEnds) {
  Sandbox box;
  std::string banner = box.WriteFile("banner.dat", ";\r\n4096\r\n12\r\n;\r\n777\r\n-3");
  ASSERT_EQ(RecordDislikedFile(banner, box.WriteFile("c.jpg", std::string(2222, 'c'))),
            RecordOutcome::kRecorded);
  EXPECT_EQ(box.ReadFile("banner.dat"), ";\r\n4096\r\n12\r\n;\r\n777\r\n-3\n;\n2222\n99\n");
  EXPECT_TRUE(marovine::IsBannerSize(banner, 4096));
  EXPECT_TRUE(marovine::IsBannerSize(banner, 777));
  EXPECT_TRUE(marovine::IsBannerSize(banner, 2222));
}

}  // namespace
