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
