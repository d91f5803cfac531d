// Fast mode: an update run asks for every file with the date its history
// recorded, so an unchanged file costs a 304 and no body, and ends as the
// comparison of dates ends it.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/file_io.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/nginx_server.h"

namespace marovine {
namespace {

using testing::NginxServer;
using testing::Sandbox;

int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ConditionalUpdateTest, AnUnchangedFileCostsA304AndEndsAsNotModified) {
  Sandbox site;
  Sandbox logs;
  site.WriteFile("m/index.html", "<html><body><img src='a.jpg'><img src='b.jpg'></body></html>");
  site.WriteFile("m/a.jpg", Jpeg('a'));
  site.WriteFile("m/b.jpg", Jpeg('b'));
  // Pages are sent as they are, so that every answer has a length and the
  // connection serves the next one.
  NginxServer server(site.path(),
                     "location /m/ { gzip off; }\naccess_log " + logs.Path("requests.log") + ";\n");
  ASSERT_TRUE(server.ok()) << server.error_log();

  Sandbox home;
  const std::string ini = "[DownLoad]\nDownLoad Way-Marovine=0\nFastMode=1\n";
  const std::string start = server.Url("/m/index.html");
  std::string root;
  {
    CrawlDoc c(home, ini);
    ASSERT_EQ(c.doc->RegisterUrl(start), 1);
    root = c.doc->link_items[0].folder;
    c.Crawl();
  }
  ASSERT_EQ(*platform::ReadWholeFile(root + "b.jpg"), Jpeg('b'));
  std::string b = site.WriteFile("m/b.jpg", Jpeg('B', 3000));
  std::filesystem::last_write_time(b, std::filesystem::last_write_time(b) + std::chrono::hours(1));
  const std::size_t first_run_log =
      platform::ReadWholeFile(logs.Path("requests.log")).value_or("").size();

  CrawlDoc again(home, "", false);
  ASSERT_EQ(again.doc->RegisterUrl(start), 1);
  again.Crawl();
  EXPECT_EQ(*platform::ReadWholeFile(root + "a.jpg"), Jpeg('a'));
  EXPECT_EQ(*platform::ReadWholeFile(root + "b.jpg"), Jpeg('B', 3000));
  for (std::size_t i = 0; i < again.doc->download_items.size(); ++i) {
    const std::string& url = again.doc->download_items[i].url;
    EXPECT_EQ(again.Comment(static_cast<int>(i)),
              url.ends_with("/b.jpg") ? "正常に終了しました。" : "更新されていません。中止します。")
        << url;
  }
  // The page and the unchanged picture came as 304 without a body; only
  // the changed picture came whole.
  std::string requests =
      platform::ReadWholeFile(logs.Path("requests.log")).value_or("").substr(first_run_log);
  EXPECT_EQ(CountOf(requests, "\" 304 0 "), 2) << requests;
  EXPECT_EQ(CountOf(requests, "GET /m/b.jpg HTTP/1.1\" 200 3000 "), 1) << requests;
  EXPECT_EQ(CountOf(requests, "\n"), 3) << requests;
}

}  // namespace
}  // namespace marovine
