#include "marovine/document/banner_commands.h"

#include <gtest/gtest.h>

#include "marovine/engine/banner_list.h"
#include "platform/path.h"
#include "tests/document/command_fixture.h"

namespace {

using namespace marovine;
using marovine::testing::CommandFixture;

// Three downloads whose files lie in the sandbox: 150 bytes, 300 bytes with
// CR LF line ends (the 200th text character is two bytes later), and one
// whose file is gone.
struct BannerFixture : CommandFixture {
  explicit BannerFixture(const std::string& ini = "") : CommandFixture(ini) {
    Add("short.jpg");
    Add("crlf.jpg");
    Add("gone.jpg");
    std::string crlf;
    for (int i = 0; i < 99; ++i) crlf += "\r\n";  // 99 text characters, 198 bytes
    crlf += "ab";                                 // characters 100..101
    crlf += std::string(98, 'c') + "Z" + std::string(2, 'd');
    crlf.resize(300, 'e');
    box.WriteFile("direct/short.jpg", std::string(150, 'x'));
    box.WriteFile("direct/crlf.jpg", crlf);
  }
};

TEST(BannerCommandsTest, RegistersSizeAndTextSignatureThenDeletesFileAndItem) {
  BannerFixture f;
  CMarovineDoc& doc = *f.doc;
  doc.download_items[0].state = DS_DONE;
  EXPECT_EQ(RegisterDownloadsAsBanners(doc, {0, 1, 2}), 2);
  // From the last selected row up: the gone file is skipped.
  EXPECT_EQ(f.box.ReadFile("banner.dat"), ";\n300\n90\n;\n150\n-1\n");
  EXPECT_TRUE(IsBannerSize(doc.paths.banner_list_path, 150));
  EXPECT_FALSE(platform::FileExists(f.box.Path("direct/short.jpg")));
  ASSERT_EQ(doc.download_items.size(), 1u);
  EXPECT_EQ(doc.download_items[0].url, "http://h/gone.jpg");
  EXPECT_EQ(f.downloads.RowCount(), 1);
}

TEST(BannerCommandsTest, KeepsFilesWhenAskedAndSkipsRunningTransfers) {
  BannerFixture f("[Banner]\nDeleteBanner=0\n");
  CMarovineDoc& doc = *f.doc;
  doc.download_items[1].state = DS_RUNNING;
  EXPECT_EQ(RegisterDownloadsAsBanners(doc, {0, 1}), 1);
  EXPECT_EQ(f.box.ReadFile("banner.dat"), ";\n150\n-1\n");
  EXPECT_TRUE(platform::FileExists(f.box.Path("direct/short.jpg")));
  EXPECT_EQ(doc.download_items.size(), 3u);
}

TEST(BannerCommandsTest, UnwritableListStopsTheCommandWithNothingDeleted) {
  BannerFixture f;
  CMarovineDoc& doc = *f.doc;
  f.box.WriteFile("banner.dat/x", "");  // a folder where the list should be
  EXPECT_EQ(RegisterDownloadsAsBanners(doc, {0, 1}), 0);
  EXPECT_TRUE(platform::FileExists(f.box.Path("direct/short.jpg")));
  EXPECT_EQ(doc.download_items.size(), 3u);
}

TEST(BannerCommandsTest, MergeKeepsEntryLinesAndNumbersAndMayDeleteTheDifference) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  f.box.WriteFile("banner.dat", ";\n10\n1");  // no final line end
  std::string diff = f.box.WriteFile(
      "diff.txt", ";\r\n2048\r\n-5\r\n\r\n# a comment\r\n 0\r\n0\r\n  +7 px\r\nabc\r\n;x\r\n");
  f.ui.QueueFileChoice(diff);
  f.ui.QueueAnswer(false);
  MergeBannerDifferenceCommand(doc, f.ui);
  EXPECT_EQ(f.ui.dialog_log().back(), std::string("open ") + kBannerDifferenceFilter);
  EXPECT_EQ(f.box.ReadFile("banner.dat"), ";\n10\n1\n;\n2048\n-5\n0\n  +7 px\n;x\n");
  EXPECT_EQ(f.ui.questions().back(), kDeleteDifferenceQuestion);
  EXPECT_TRUE(platform::FileExists(diff));
  EXPECT_EQ(BannerSizes(f.box.ReadFile("banner.dat")), (std::vector<std::int64_t>{10, 2048}));

  // Merging twice doubles the entries; Yes deletes the difference file.
  f.ui.QueueAnswer(true);
  EXPECT_TRUE(MergeBannerDifferenceFile(doc, f.ui, diff));
  EXPECT_EQ(BannerSizes(f.box.ReadFile("banner.dat")).size(), 3u);
  EXPECT_FALSE(platform::FileExists(diff));

  EXPECT_FALSE(MergeBannerDifferenceFile(doc, f.ui, diff));
  EXPECT_EQ(f.ui.messages().back(), kCannotOpenDifference);
}

TEST(BannerCommandsTest, MergeIntoAnUnwritableListSaysSo) {
  CommandFixture f;
  f.box.WriteFile("banner.dat/x", "");
  std::string diff = f.box.WriteFile("diff.txt", ";\n5\n0\n");
  EXPECT_FALSE(MergeBannerDifferenceFile(*f.doc, f.ui, diff));
  EXPECT_EQ(f.ui.messages(), (std::vector<std::string>{kCannotOpen}));
  EXPECT_TRUE(platform::FileExists(diff));
}

}  // namespace
