// The small readers and writers of the crawl: .ram files and the link log.

#include <gtest/gtest.h>

#include "marovine/document/ram_file.h"
#include "marovine/document/site_link_log.h"
#include "platform/file_io.h"
#include "tests/support/sandbox.h"

namespace marovine {
namespace {

TEST(RamFileTest, TakesRealMediaAddressesCutAtTheirEnd) {
  std::string text =
      "rtsp://stream.example/x.rm\r\n"
      "see http://a.example/clip.rm here\n"
      "<a href=\"http://b.example/song.ra\">song</a>\n"
      "http://c.example/page.html\n"
      "http://d.example/movie.rm　全角\n"
      "http://e.example/last.rm";  // no line end: nothing of it is lost
  EXPECT_EQ(RealMediaLinks(text),
            (std::vector<std::string>{"http://a.example/clip.rm", "http://b.example/song.ra",
                                      "http://d.example/movie.rm", "http://e.example/last.rm"}));
}

TEST(RamFileTest, CutsCp932FilesAtTheirOwnFullWidthStops) {
  // "　", "～" and "（" as CP932 bytes, and a kanji whose second byte is 0x81
  // followed by "@": together they look like a full-width blank but are not one.
  std::string text =
      "http://a.example/one.rm\x81\x40\x91\x53\x8a\x70\r\n"
      "http://a.example/two.rm\x81\x60\x82\xa0\r\n"
      "http://a.example/three.ra\x81\x69\x8b\xc8\x81\x6a\r\n"
      "http://a.example/\x88\x81@four.rm\r\n";
  EXPECT_EQ(
      RealMediaLinks(text),
      (std::vector<std::string>{"http://a.example/one.rm", "http://a.example/two.rm",
                                "http://a.example/three.ra", "http://a.example/\x88\x81@four.rm"}));
}

TEST(SiteLinkLogTest, EachAddressIsNewOnceEvenInsideALongerLine) {
  testing::Sandbox box;
  std::string log = box.Path("Log/site_link.txt");
  EXPECT_TRUE(AppendSiteLinkLog(log, "http://a.example/x/"));
  EXPECT_FALSE(AppendSiteLinkLog(log, "http://a.example/x/"));
  EXPECT_FALSE(AppendSiteLinkLog(log, "http://a.example/"));  // contained in a line
  EXPECT_TRUE(AppendSiteLinkLog(log, "http://b.example/"));
  EXPECT_EQ(*platform::ReadWholeFile(log), "http://a.example/x/\nhttp://b.example/\n");
}

}  // namespace
}  // namespace marovine
