// Whole-site mirroring end to end: the local tree, offline links, the history
// file, the heading page, and an update run that fetches only what changed.

#include <gtest/gtest.h>

#include <filesystem>

#include "marovine/album/html_text.h"
#include "marovine/album/site_detail_log.h"
#include "marovine/document/document_file.h"
#include "marovine/engine/page_parser.h"
#include "marovine/engine/site_log_paths.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/nginx_server.h"
#include "tests/support/wait_for.h"

namespace marovine {
namespace {

using testing::NginxServer;
using testing::Sandbox;
using Files = std::set<std::string>;

class WholeSiteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    site_.WriteFile("mirror/index.html",
                    "<html><head><title>Mirror Top</title></head><body>"
                    "<a href=\"sub/page.html\">sub</a><img src='pic.jpg'>"
                    "<img src=\"/ext/far.jpg\"></body></html>");
    site_.WriteFile("mirror/pic.jpg", Jpeg('p'));
    site_.WriteFile("mirror/sub/page.html",
                    "<a href=\"/mirror/index.html\">top</a><img src=\"pic2.jpg\">");
    site_.WriteFile("mirror/sub/pic2.jpg", Jpeg('q'));
    site_.WriteFile("ext/far.jpg", Jpeg('f'));
    ASSERT_TRUE(server_.ok());
  }

  static constexpr const char* kWholeSiteIni = "[DownLoad]\nDownLoad Way-Marovine=0\n";

  Sandbox site_;
  // Pages of /twice/ are sent as they are, so that ranges of them are served.
  // /query/list.html answers by its "sort" parameter, which the server sees
  // only when the query arrives as the page meant it.
  NginxServer server_{site_.path(),
                      "location /twice/ { gzip off; }\nlocation /resume/slow/ { limit_rate 40k; }\n"
                      "location = /query/list.html { default_type text/html;\n"
                      "  if ($arg_sort = name) { return 200 \"<img src='by-name.jpg'>\"; }\n"
                      "  return 200 \"<img src='unsorted.jpg'>\"; }\n"};
};

TEST_F(WholeSiteTest, MirrorBrowsesOfflineAndAnUpdateFetchesOnlyWhatChanged) {
  Sandbox home;
  const std::string start = server_.Url("/mirror/index.html");
  std::string root;
  {
    CrawlDoc c(home, kWholeSiteIni);
    ASSERT_EQ(c.doc->RegisterUrl(start), 1);
    root = c.doc->link_items[0].folder;
    c.Crawl();
    EXPECT_EQ(c.doc->link_items[0].title, "Mirror Top");
  }
  EXPECT_EQ(FilesBelow(root),
            (Files{"index.html", "index.htmlbuf", "pic.jpg", "sub/page.html", "sub/page.htmlbuf",
                   "sub/pic2.jpg", "Another_Server/far.jpg", "履歴.txt"}));
  std::string index = *platform::ReadWholeFile(root + "index.html");
  EXPECT_NE(index.find("href=\"sub/page.html\""), std::string::npos) << index;
  EXPECT_NE(index.find("src='pic.jpg'"), std::string::npos) << index;
  EXPECT_NE(index.find("Another_Server"), std::string::npos) << index;
  EXPECT_EQ(index.find("http://"), std::string::npos) << index;
  std::string sub = *platform::ReadWholeFile(root + "sub/page.html");
  EXPECT_NE(sub.find("href=\"../index.html\""), std::string::npos) << sub;

  std::string history = *platform::ReadWholeFile(root + "履歴.txt");
  EXPECT_TRUE(
      history.starts_with("[Marovine rireki]\nVER=MarovineVer330format\n\n[BaseUrl]\n"
                          "BaseUrl=" +
                          start))
      << history;
  EXPECT_NE(history.find("[" + server_.Url("/mirror/sub/pic2.jpg") + "]"), std::string::npos);
  EXPECT_NE(history.find("FileSize=2048"), std::string::npos);

  // The heading page was named after the title once it was known.
  std::string folder_name = std::filesystem::path(root).parent_path().filename().string();
  std::string heading = std::filesystem::path(root).parent_path().parent_path().string() +
                        "/Mirror Top_" + folder_name + ".html";
  auto heading_page = platform::ReadWholeFile(heading);
  ASSERT_TRUE(heading_page) << heading;
  // The ":" of the port is escaped, or a browser could take the folder for a scheme.
  EXPECT_NE(heading_page->find("<frame src='" + EscapeLink(folder_name) + "/index.html'"),
            std::string::npos)
      << *heading_page;
  EXPECT_NE(EscapeLink(folder_name).find("%3A"), std::string::npos);

  // The server's copy of one picture changes (a later date, another size).
  std::string pic = site_.WriteFile("mirror/pic.jpg", Jpeg('n', 3000));
  std::filesystem::last_write_time(pic,
                                   std::filesystem::last_write_time(pic) + std::chrono::hours(1));

  CrawlDoc again(home, "", false);
  ASSERT_EQ(again.doc->RegisterUrl(start), 1);
  ASSERT_EQ(again.doc->link_items[0].folder, root);
  again.Crawl();
  EXPECT_EQ(*platform::ReadWholeFile(root + "pic.jpg"), Jpeg('n', 3000));
  EXPECT_EQ(*platform::ReadWholeFile(root + "sub/pic2.jpg"), Jpeg('q'));
  int unchanged = 0;
  for (std::size_t i = 0; i < again.doc->download_items.size(); ++i) {
    const auto& item = again.doc->download_items[i];
    std::string comment = again.Comment(static_cast<int>(i));
    if (item.url.ends_with("/pic.jpg")) {
      EXPECT_EQ(comment, "正常に終了しました。");
    } else {
      EXPECT_EQ(comment, "更新されていません。中止します。") << item.url;
      ++unchanged;
    }
  }
  EXPECT_EQ(unchanged, 4);
  // Pages restored from the server's copy are rewritten again.
  EXPECT_EQ(*platform::ReadWholeFile(root + "index.html"), index);
  EXPECT_EQ(FilesBelow(root).size(), 8u);
}

int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST_F(WholeSiteTest, APageOfTwoAddressesIsMirroredOnceAndNeverResumedOnto) {
  // The page links itself as its folder, and a picture by its full address,
  // which the rewriting shortens: the saved page is shorter than the server's.
  site_.WriteFile("twice/index.html", "<html><body><a href=\"/twice/\">top</a><img src=\"" +
                                          server_.Url("/twice/pic.jpg") + "\"></body></html>");
  site_.WriteFile("twice/pic.jpg", Jpeg('t'));
  Sandbox home;
  const std::string start = server_.Url("/twice/index.html");
  std::string root;
  std::string first;
  {
    CrawlDoc c(home, std::string(kWholeSiteIni) + "[Ippan]\nSyousaiLog=1\n");
    ASSERT_EQ(c.doc->RegisterUrl(start), 1);
    root = c.doc->link_items[0].folder;
    c.Crawl();
    // The detail log names the files where they are, not where they arrived.
    auto records = ReadSiteDetailLog(SiteDetailLogPath(home.Path("Log/"), start));
    ASSERT_TRUE(records);
    auto paths = FinishedFilePaths(*records);
    EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()),
              (std::set<std::string>{root + "index.html", root + "pic.jpg"}));
    // The folder address is the same item as the page's own.
    for (const auto& item : c.doc->download_items) {
      EXPECT_NE(item.url, server_.Url("/twice/")) << "registered twice";
      EXPECT_EQ(item.state == DS_DONE || item.state == DS_PAGE_DONE, true) << item.url;
    }
    first = platform::ReadWholeFile(root + "index.html").value_or("");
  }
  EXPECT_EQ(CountOf(first, "</html>"), 1) << first;
  EXPECT_NE(first.find("src=\"pic.jpg\""), std::string::npos) << first;

  // A later run that has lost the record of the page (its history file) still
  // takes the page on disk for a finished one: fetched again whole, it is the
  // same.
  std::filesystem::remove(root + "履歴.txt");
  CrawlDoc again(home, "", false);
  ASSERT_EQ(again.doc->RegisterUrl(start), 1);
  again.Crawl();
  for (const auto& item : again.doc->download_items) EXPECT_EQ(item.state, DS_DONE) << item.url;
  EXPECT_EQ(platform::ReadWholeFile(root + "index.html").value_or(""), first);
  EXPECT_EQ(*platform::ReadWholeFile(root + "pic.jpg"), Jpeg('t'));
}

TEST_F(WholeSiteTest, AStoppedMirrorKeepsItsPartBesideTheNameAndResumesIt) {
  site_.WriteFile("resume/index.html", "<a href='slow/big.zip'>big</a>");
  site_.WriteFile("resume/slow/big.zip", Jpeg('z', 60000));
  Sandbox home;
  const std::string saved = home.Path("mirror.mrv");
  const std::string ini = std::string(kWholeSiteIni) +
                          "[MarugotoDownload]\nMarugotoKakuchoushi=zip\n[DownLoad]\nDouziDL=1\n";
  std::string big;
  {
    CrawlDoc c(home, ini);
    ASSERT_EQ(c.doc->RegisterUrl(server_.Url("/resume/index.html")), 1);
    big = c.doc->link_items[0].folder + "slow/big.zip";
    c.doc->crawl().StartCommand();
    ASSERT_TRUE(testing::WaitFor(
        [&] {
          c.doc->crawl().CrawlTick();
          return platform::FileSizeOf(big + ".marovine-update").value_or(0) > 0;
        },
        std::chrono::seconds(30), std::chrono::milliseconds(20)));
    c.doc->crawl().StopAllCommand();
    ASSERT_TRUE(SaveDocumentFile(*c.doc, saved));
    ASSERT_TRUE(RunCrawlUntilFinished(*c.doc, std::chrono::seconds(30)));
  }
  // Nothing under the file's own name but what is whole.
  EXPECT_FALSE(platform::FileExists(big));
  EXPECT_LT(platform::FileSizeOf(big + ".marovine-update").value_or(0), 60000);

  CrawlDoc reopened(home, "", false);
  ASSERT_TRUE(LoadDocumentFile(*reopened.doc, saved).ok);
  reopened.Crawl();
  EXPECT_EQ(platform::ReadWholeFile(big).value_or(""), Jpeg('z', 60000));
  EXPECT_FALSE(platform::FileExists(big + ".marovine-update"));
}

// A link whose query the page writes with "&amp;" is asked for as the page
// means it, stored under that name, and the saved page links the copy.
TEST_F(WholeSiteTest, AQueryWrittenWithReferencesReachesTheServerIntact) {
  site_.WriteFile("query/index.html", "<a href=\"list.html?page=2&amp;sort=name\">by name</a>");
  site_.WriteFile("query/by-name.jpg", Jpeg('b'));
  site_.WriteFile("query/unsorted.jpg", Jpeg('u'));
  Sandbox home;
  CrawlDoc c(home, kWholeSiteIni);
  ASSERT_EQ(c.doc->RegisterUrl(server_.Url("/query/index.html")), 1);
  const std::string root = c.doc->link_items[0].folder;
  c.Crawl();
  std::set<std::string> urls;
  for (const auto& item : c.doc->download_items) urls.insert(item.url);
  EXPECT_EQ(urls, (std::set<std::string>{server_.Url("/query/index.html"),
                                         server_.Url("/query/list.html?page=2&sort=name"),
                                         server_.Url("/query/by-name.jpg")}));
  EXPECT_EQ(FilesBelow(root), (Files{"index.html", "index.htmlbuf", "list.html?page=2&sort=name",
                                     "list.html?page=2&sort=namebuf", "by-name.jpg", "履歴.txt"}));
  EXPECT_EQ(*platform::ReadWholeFile(root + "index.html"),
            "<a href=\"list.html%3Fpage=2&amp;sort=name\">by name</a>");
  EXPECT_EQ(*platform::ReadWholeFile(root + "list.html?page=2&sort=name"),
            "<img src='by-name.jpg'>");
}

// When the site ends, a link made local whose file never arrived (gone from
// the server, skipped for an ignore word) points back to its address.
TEST_F(WholeSiteTest, LinksToFilesThatNeverArrivedPointBackToTheServer) {
  site_.WriteFile("end/index.html",
                  "<title>End</title><img src=\"ok.jpg\"><img src=\"gone.jpg\">"
                  "<a href=\"thumb_list.html#top\">list</a><a href=\"notes.txt\">notes</a>");
  site_.WriteFile("end/ok.jpg", Jpeg('o'));
  site_.WriteFile("end/thumb_list.html", "<p>never fetched</p>");
  Sandbox home;
  CrawlDoc c(home, std::string(kWholeSiteIni) + "[MarugotoDownload]\nCutImgSrc=1\n");
  ASSERT_EQ(c.doc->RegisterUrl(server_.Url("/end/index.html")), 1);
  const std::string root = c.doc->link_items[0].folder;
  c.Crawl();
  std::string index = *platform::ReadWholeFile(root + "index.html");
  EXPECT_EQ(index, "<title>End</title><img src=\"ok.jpg\"><img src=\"" +
                       server_.Url("/end/gone.jpg") + "\"><a href=\"" +
                       server_.Url("/end/thumb_list.html") +
                       "#top\">list</a><a href=\"\">notes</a>");
  EXPECT_EQ(c.ui.StatusText(0), "Ignored (\"thumb_\") " + server_.Url("/end/thumb_list.html"));
  EXPECT_EQ(*platform::ReadWholeFile(root + "index.htmlbuf"),
            *platform::ReadWholeFile(site_.Path("end/index.html")));
}

// The original kept beside a mirrored page belongs to that copy: a new copy
// that cannot be rewritten (here: one larger than a page is read; a run
// stopped before the rewriting leaves the same) must not keep the old one
// beside it, or the next unchanged answer would put the old page back in
// place of the server's. (Under /twice/ the page is sent as it is.)
TEST_F(WholeSiteTest, AnUpdateNeverBringsBackAnOlderPageFromTheKeptOriginal) {
  site_.WriteFile("twice/keep/index.html", "<a href=\"page.html\">page</a>");
  const std::string first = "<title>first</title><a href=\"a.jpg\">a</a>";
  const std::string page = site_.WriteFile("twice/keep/page.html", first);
  Sandbox home;
  const std::string start = server_.Url("/twice/keep/index.html");
  std::string saved;
  {
    CrawlDoc c(home, kWholeSiteIni);
    ASSERT_EQ(c.doc->RegisterUrl(start), 1);
    saved = c.doc->link_items[0].folder + "page.html";
    c.Crawl();
  }
  ASSERT_EQ(platform::ReadWholeFile(saved + "buf").value_or(""), first);

  std::string second = "<title>second</title>";
  second.resize(kMaxPageBytes + 1, ' ');
  site_.WriteFile("twice/keep/page.html", second);
  std::filesystem::last_write_time(page,
                                   std::filesystem::last_write_time(page) + std::chrono::hours(1));
  for (int run = 0; run < 2; ++run) {  // the new page, then an unchanged answer
    CrawlDoc again(home, "", false);
    ASSERT_EQ(again.doc->RegisterUrl(start), 1);
    again.Crawl();
    EXPECT_TRUE(platform::ReadWholeFile(saved).value_or("") == second) << "run " << run;
    EXPECT_NE(platform::ReadWholeFile(saved + "buf").value_or(""), first) << "run " << run;
  }
}

}  // namespace
}  // namespace marovine
