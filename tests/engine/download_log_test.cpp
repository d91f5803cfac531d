#include "marovine/engine/download_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/file_io.h"

#include "tests/support/sandbox.h"

namespace marovine {
namespace {

using testing::Sandbox;

TEST(DownloadLogTest, LogDatMatchesWholeLinesExactly) {
  Sandbox box;
  EXPECT_FALSE(IsInLogDat(box.path(), "http://a.com/x.jpg"));  // no file
  box.WriteFile("log.dat", "http://a.com/x.jpg\nhttp://a.com/Y.jpg\r\nhttp://a.com/last.jpg");
  EXPECT_TRUE(IsInLogDat(box.path(), "http://a.com/x.jpg"));
  EXPECT_TRUE(IsInLogDat(box.path(), "http://a.com/Y.jpg"));   // CR LF from the original platform
  EXPECT_FALSE(IsInLogDat(box.path(), "http://a.com/y.jpg"));  // case-sensitive
  EXPECT_FALSE(IsInLogDat(box.path(), "http://a.com/x.jp"));
  // A last line without its line feed still counts as the whole URL.
  EXPECT_TRUE(IsInLogDat(box.path(), "http://a.com/last.jpg"));
}

TEST(DownloadLogTest, EntryNamesAreTheTailBelowTheReferersFolder) {
  EXPECT_EQ(Log2EntryName("http://a.com/dir/pic.jpg", "http://a.com/dir/index.html"), "/pic.jpg");
  EXPECT_EQ(Log2EntryName("http://a.com/dir/sub/p.jpg", "http://a.com/dir/"), "/sub/p.jpg");
  EXPECT_EQ(Log2EntryName("http://b.com/p.jpg", ""), "http://b.com/p.jpg");
  // A URL shorter than the referer's folder keeps its whole text.
  EXPECT_EQ(Log2EntryName("http://a/p", "http://a.com/long/folder/page.html"), "http://a/p");
  // Nor is one exactly as long as it cut down to nothing.
  const std::string referer = "http://a.com/dir/page.html";
  ASSERT_EQ(referer.rfind('/'), std::string("http://b.com/abc").size());
  EXPECT_EQ(Log2EntryName("http://b.com/abc", referer), "http://b.com/abc");
  // A URL outside the referer's folder is named whole, however long it is:
  // its tail would be a fragment such as ".jpg".
  EXPECT_EQ(Log2EntryName("http://a.com/img/one.jpg", "http://a.com/gallery/"),
            "http://a.com/img/one.jpg");
  EXPECT_EQ(Log2EntryName("http://a.com/dirx/p.jpg", "http://a.com/dir/i.html"),
            "http://a.com/dirx/p.jpg");
  EXPECT_EQ(Log2Key(""), "NoRefer");
  EXPECT_EQ(Log2Key("http://a.com/"), "http://a.com/");
}

TEST(DownloadLogTest, RecordAndLookUpRoundTrip) {
  Sandbox box;
  std::string log = box.Path("log2.dat");
  EXPECT_FALSE(LookUpLog2(log, "http://a.com/i.html", "/p.jpg").found);

  ASSERT_TRUE(RecordLog2(log, "http://a.com/i.html", "/p.jpg", "", 0));
  ASSERT_TRUE(RecordLog2(log, "http://a.com/i.html", "/q.jpg", "mon, 01 jan 2024", 1234));
  ASSERT_TRUE(RecordLog2(log, "NoRefer", "http://c.com/r.zip", "", 77));
  // Same file path under another referer: a second section.
  ASSERT_TRUE(RecordLog2(log, "http://b.com/i.html", "/p.jpg", "", 0));
  EXPECT_EQ(box.ReadFile("log2.dat"),
            "\n[http://a.com/i.html]\n\n/p.jpg\n/q.jpg\n*mon, 01 jan 2024\n!      1234\n"
            "\n[NoRefer]\n\nhttp://c.com/r.zip\n!        77\n"
            "\n[http://b.com/i.html]\n\n/p.jpg\n");

  auto q = LookUpLog2(log, "http://a.com/i.html", "/q.jpg");
  EXPECT_TRUE(q.found);
  EXPECT_EQ(q.date, "mon, 01 jan 2024");
  EXPECT_EQ(q.size, 1234);
  // A size line straight after the name (no date) is found too.
  auto r = LookUpLog2(log, "NoRefer", "http://c.com/r.zip");
  EXPECT_EQ(r.size, 77);
  EXPECT_EQ(r.date, "");
  EXPECT_TRUE(LookUpLog2(log, "http://b.com/i.html", "/p.jpg").found);
  EXPECT_FALSE(LookUpLog2(log, "http://b.com/i.html", "/q.jpg").found);
  // Only whole lines match, for keys and names alike.
  EXPECT_FALSE(LookUpLog2(log, "a.com", "/q.jpg").found);
  EXPECT_FALSE(LookUpLog2(log, "http://a.com/i.html", "q.jpg").found);
}

TEST(DownloadLogTest, PartsOfOtherEntriesAndSectionsNeverMatch) {
  Sandbox box;
  // As an earlier build wrote it, with CR LF lines from the original
  // platform: a fragment entry and a section whose key holds another's.
  box.WriteFile("log2.dat",
                "\r\n[http://h/gallery/]\r\n\r\n.jpg\r\n/a/one.jpg\r\n"
                "\r\n[http://h/gallery/sub/]\r\n\r\n/two.jpg\r\n!      2048\r\n");
  std::string log = box.Path("log2.dat");
  auto name = [](const char* url) { return Log2EntryName(url, "http://h/gallery/"); };
  EXPECT_FALSE(LookUpLog2(log, "http://h/gallery/", name("http://h/img/x.jpg")).found);
  EXPECT_FALSE(LookUpLog2(log, "http://h/gallery/", name("http://h/gallery/one.jpg")).found);
  EXPECT_FALSE(LookUpLog2(log, "http://h/gallery/", name("http://h/gallery/two.jpg")).found);
  // What the file holds is still found, in every section of its key.
  EXPECT_TRUE(LookUpLog2(log, "http://h/gallery/", name("http://h/gallery/a/one.jpg")).found);
  auto two = LookUpLog2(log, "http://h/gallery/sub/", "/two.jpg");
  EXPECT_TRUE(two.found);
  EXPECT_EQ(two.size, 2048);

  // A new entry for the shorter key goes into a section of its own key, not
  // into the longer key's section at the end of the file.
  ASSERT_TRUE(RecordLog2(log, "http://h/gallery/", name("http://h/img/x.jpg"), "", 0));
  EXPECT_TRUE(LookUpLog2(log, "http://h/gallery/", "http://h/img/x.jpg").found);
  EXPECT_FALSE(LookUpLog2(log, "http://h/gallery/sub/", "http://h/img/x.jpg").found);
}

TEST(DownloadLogTest, UpdatingAnEntryNeverOverwritesTheOnesAfterIt) {
  Sandbox box;
  std::string log = box.Path("log2.dat");
  ASSERT_TRUE(RecordLog2(log, "K", "/a.jpg", "", 0));
  ASSERT_TRUE(RecordLog2(log, "K", "/b.jpg", "", 5));
  // /a.jpg gains two lines; /b.jpg and its size must survive.
  ASSERT_TRUE(RecordLog2(log, "K", "/a.jpg", "tue, 02 jan 2024", 42));
  EXPECT_EQ(box.ReadFile("log2.dat"),
            "\n[K]\n\n/a.jpg\n*tue, 02 jan 2024\n!        42\n/b.jpg\n!         5\n");
  // Replacing the date keeps the size, and the other way round.
  ASSERT_TRUE(RecordLog2(log, "K", "/a.jpg", "wed, 03 jan 2024, longer", 0));
  ASSERT_TRUE(RecordLog2(log, "K", "/b.jpg", "", 6));
  EXPECT_EQ(box.ReadFile("log2.dat"),
            "\n[K]\n\n/a.jpg\n*wed, 03 jan 2024, longer\n!        42\n/b.jpg\n!         6\n");
  EXPECT_EQ(LookUpLog2(log, "K", "/b.jpg").size, 6);
}

TEST(DownloadLogTest, UnwritableLogLeavesEverythingAsItWas) {
  Sandbox box;
  // A folder where the log should be: nothing can be written, nothing breaks.
  box.WriteFile("log2.dat/keep", "");
  EXPECT_FALSE(RecordLog2(box.Path("log2.dat"), "K", "/a.jpg", "", 0));
  EXPECT_FALSE(LookUpLog2(box.Path("log2.dat"), "K", "/a.jpg").found);
}

// Entries go to the file under the name, also when another program put a new
// file there by renaming while ours was kept open for appending.
TEST(DownloadLogTest, AppendsFollowAFileReplacedUnderTheName) {
  Sandbox box;
  std::string log = box.Path("log2.dat");
  ASSERT_TRUE(RecordLog2(log, "K", "/a.jpg", "", 0));
  box.WriteFile("other.dat", "\n[K]\n\n/b.jpg\n");
  ASSERT_EQ(std::rename(box.Path("other.dat").c_str(), log.c_str()), 0);
  ASSERT_TRUE(RecordLog2(log, "K", "/c.jpg", "", 0));
  EXPECT_EQ(box.ReadFile("log2.dat"), "\n[K]\n\n/b.jpg\n/c.jpg\n");
  EXPECT_FALSE(LookUpLog2(log, "K", "/a.jpg").found);
}

TEST(DownloadLogTest, LookUpsFollowWhatOthersWriteToTheFiles) {
  Sandbox box;
  std::string log = box.Path("log2.dat");
  ASSERT_TRUE(RecordLog2(log, "K", "/a.jpg", "", 5));
  EXPECT_TRUE(LookUpLog2(log, "K", "/a.jpg").found);
  // Replaced by hand: the next look-up reads the new file.
  box.WriteFile("log2.dat", "\n[K]\n\n/b.jpg\n!         7\n");
  EXPECT_FALSE(LookUpLog2(log, "K", "/a.jpg").found);
  EXPECT_EQ(LookUpLog2(log, "K", "/b.jpg").size, 7);
  // Lengthened by hand, without a last line end; a new entry then ends that
  // line before its own and extends the section.
  ASSERT_TRUE(platform::AppendToFile(log, "/c.jpg"));
  EXPECT_TRUE(LookUpLog2(log, "K", "/c.jpg").found);
  ASSERT_TRUE(RecordLog2(log, "K", "/d.jpg", "", 0));
  EXPECT_EQ(box.ReadFile("log2.dat"), "\n[K]\n\n/b.jpg\n!         7\n/c.jpg\n/d.jpg\n");
  EXPECT_TRUE(LookUpLog2(log, "K", "/c.jpg").found);
  // Removed: nothing is found any more, and recording starts a new file.
  std::filesystem::remove(log);
  EXPECT_FALSE(LookUpLog2(log, "K", "/b.jpg").found);
  ASSERT_TRUE(RecordLog2(log, "K", "/e.jpg", "", 0));
  EXPECT_EQ(box.ReadFile("log2.dat"), "\n[K]\n\n/e.jpg\n");
  // Lengthened by hand right after an entry of ours: seen too.
  ASSERT_TRUE(platform::AppendToFile(log, "/f.jpg\n"));
  EXPECT_TRUE(LookUpLog2(log, "K", "/f.jpg").found);

  box.WriteFile("log.dat", "http://a.com/x.jpg\n");
  EXPECT_TRUE(IsInLogDat(box.path(), "http://a.com/x.jpg"));
  box.WriteFile("log.dat", "http://a.com/y.jpg\n");
  EXPECT_FALSE(IsInLogDat(box.path(), "http://a.com/x.jpg"));
  EXPECT_TRUE(IsInLogDat(box.path(), "http://a.com/y.jpg"));
}

TEST(DownloadLogTest, OddlyShapedSectionsAreReadAsAWalkFromTheTopReadsThem) {
  Sandbox box;
  // A header straight before its entries, a duplicate entry further down
  // (the first one counts), a size after a date, and a date with no size.
  box.WriteFile("log2.dat",
                "[K]\n/a.jpg\n*d1\n!         3\n/b.jpg\n*d2\n\n"
                "[L]\n\n/a.jpg\n!         9\n[K]\n\n/a.jpg\n!         4\n/c.jpg\n\n\n/d.jpg\n");
  std::string log = box.Path("log2.dat");
  auto a = LookUpLog2(log, "K", "/a.jpg");
  EXPECT_EQ(a.date, "d1");
  EXPECT_EQ(a.size, 3);
  auto b = LookUpLog2(log, "K", "/b.jpg");
  EXPECT_EQ(b.date, "d2");
  EXPECT_EQ(b.size, 0);
  EXPECT_EQ(LookUpLog2(log, "L", "/a.jpg").size, 9);  // a header within a section ends it
  EXPECT_TRUE(LookUpLog2(log, "K", "/c.jpg").found);
  EXPECT_FALSE(LookUpLog2(log, "K", "/d.jpg").found);  // after the section's end
  // The file ends outside any section: a new entry starts one.
  ASSERT_TRUE(RecordLog2(log, "K", "/e.jpg", "", 0));
  EXPECT_TRUE(box.ReadFile("log2.dat").ends_with("/d.jpg\n\n[K]\n\n/e.jpg\n"));
  // An entry recorded again as it stands keeps the file as it is.
  std::string before = box.ReadFile("log2.dat");
  ASSERT_TRUE(RecordLog2(log, "K", "/a.jpg", "d1", 3));
  EXPECT_EQ(box.ReadFile("log2.dat"), before);
  ASSERT_TRUE(RecordLog2(log, "K", "/a.jpg", "d5", 0));
  EXPECT_EQ(LookUpLog2(log, "K", "/a.jpg").date, "d5");
  EXPECT_EQ(LookUpLog2(log, "K", "/a.jpg").size, 3);
  EXPECT_EQ(LookUpLog2(log, "K", "/e.jpg").found, true);
}

}  // namespace
}  // namespace marovine
