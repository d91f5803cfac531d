// The banner list as the main program and the drop tool both write it.

#include "marovine/engine/banner_list.h"

#include <gtest/gtest.h>

#include "tests/support/sandbox.h"

namespace marovine {
namespace {

TEST(BannerListTest, AnEntryAppendedAfterACutOffOneIsReadAsWritten) {
  // What a crash or a full disk may leave at the end of the list.
  for (std::string cut_off : {";", ";\n", ";\r\n", ";\n1234", ";\n1234\n", ";\r\n1234\r\n"}) {
    testing::Sandbox box;
    std::string path = box.WriteFile("banner.dat", "; \n300\n12\n" + cut_off);
    ASSERT_TRUE(AppendBannerEntry(path, 5000, -1));
    EXPECT_TRUE(IsBannerSize(path, 5000)) << cut_off;
    EXPECT_TRUE(IsBannerSize(path, 300)) << cut_off;
    ASSERT_TRUE(AppendBannerEntry(path, 6000, 255));
    EXPECT_TRUE(IsBannerSize(path, 6000)) << cut_off;
  }
}

TEST(BannerListTest, OnlyTheSizeLinesOfEntriesCount) {
  // Lines of a merged difference file around the entries; the signature line
  // is never taken for a size, and the signature itself plays no part.
  std::string list =
      "5000\r\n"
      "comment\r\n"
      ";\r\n700\r\n-1\r\n"
      ";\n800\n800000\n"
      "900\n"
      ";\n  42abc\n1\n";
  EXPECT_EQ(BannerSizes(list), (std::vector<std::int64_t>{700, 800, 42}));
  EXPECT_EQ(BannerSizes(";\n99999999999999999999\n1\n;\n7\n"), (std::vector<std::int64_t>{7}));
  EXPECT_TRUE(BannerSizes("").empty());

  testing::Sandbox box;
  EXPECT_FALSE(IsBannerSize(box.Path("missing.dat"), 700));
}

}  // namespace
}  // namespace marovine
