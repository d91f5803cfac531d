// Crawl mode end to end against a real nginx: scopes, limits, naming, the
// download log, redirects, wrapper pages and link-site search.

#include <gtest/gtest.h>

#include <filesystem>

#include "marovine/album/album_commands.h"
#include "marovine/album/site_detail_log.h"
#include "marovine/document/download_list_view.h"
#include "marovine/engine/site_log_paths.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/nginx_server.h"

namespace marovine {
namespace {

using testing::NginxServer;
using testing::Sandbox;
using Files = std::set<std::string>;

// Redirects for the redirect tests; the wrapper folder answers HTML whatever
// a name says.
constexpr const char* kServerConfig =
    "location = /loop.jpg { return 302 /loop.jpg; }\n"
    "location = /relative.jpg { absolute_redirect off; return 302 /site/a.jpg; }\n"
    "location = /elsewhere.jpg { return 302 \"ftp://127.0.0.1/a.jpg\"; }\n"
    "location /wrapsite/wrap/ { types { } default_type text/html; }\n"
    "location /listing/ { autoindex on; }\n";

class CrawlModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    site_.WriteFile("site/index.html",
                    "<html><head><title>Gallery</title></head><body>"
                    "<a href='a.jpg'>a</a> <img src=\"b.jpg\"> <a href=small.jpg>s</a>"
                    "<a href='sub/page2.html'>2</a> <a href='/other/out.jpg'>o</a>"
                    "<a href='a.jpg'>again</a></body></html>");
    site_.WriteFile("site/a.jpg", Jpeg('a'));
    site_.WriteFile("site/b.jpg", Jpeg('b'));
    site_.WriteFile("site/small.jpg", Jpeg('s', 100));
    site_.WriteFile("site/sub/page2.html",
                    "<title>two</title><a href='deep/page3.html'>3</a><a href='c.jpg'>c</a>");
    site_.WriteFile("site/sub/c.jpg", Jpeg('c'));
    site_.WriteFile("site/sub/deep/page3.html", "<a href='d.jpg'>d</a>");
    site_.WriteFile("site/sub/deep/d.jpg", Jpeg('d'));
    site_.WriteFile("other/out.jpg", Jpeg('o'));

    site_.WriteFile("wrapsite/index.html", "<a href='wrap/photo.jpg'>photo</a>");
    site_.WriteFile("wrapsite/wrap/photo.jpg", "<html><img src='../real/photo.jpg'></html>");
    site_.WriteFile("wrapsite/real/photo.jpg", Jpeg('r'));

    site_.WriteFile("listing/a.jpg", Jpeg('a'));
    site_.WriteFile("listing/sub/b.jpg", Jpeg('b'));
    site_.WriteFile("gallery/index.html",
                    "<a href='/img/one.jpg'>1</a><a href='/img/two.jpg'>2</a>");
    site_.WriteFile("img/one.jpg", Jpeg('1'));
    site_.WriteFile("img/two.jpg", Jpeg('2'));

    site_.WriteFile("links/index.html", "<a href='" + server_.Url("/siteA/index.html") +
                                            "'>A</a><a href='" + server_.Url("/siteB/") +
                                            "'>B</a><a href='more.html'>more</a>");
    site_.WriteFile("links/more.html", "<a href='" + server_.Url("/siteA/index.html") + "'>A</a>");
    site_.WriteFile("siteA/index.html", "<title>A</title>");
    site_.WriteFile("siteB/index.html", "<title>B</title>");
    ASSERT_TRUE(server_.ok());
  }

  // Crawls the gallery site into a fresh program folder and answers the
  // files stored.
  Files CrawlGallery(const std::string& ini) {
    Sandbox home;
    CrawlDoc c(home, ini);
    EXPECT_EQ(c.doc->RegisterUrl(server_.Url("/site/index.html")), 1);
    c.Crawl();
    EXPECT_EQ(c.doc->link_items[0].state, LS_DONE);
    return FilesBelow(home.Path("store/"));
  }

  Sandbox site_;
  NginxServer server_{site_.path(), kServerConfig};
};

TEST_F(CrawlModeTest, SearchLevelsDepthAndPageLimitDecideWhatIsFetched) {
  // Pages are never left on disk; the small file is rejected for its size.
  EXPECT_EQ(CrawlGallery(""), (Files{"a.jpg", "b.jpg", "c.jpg", "d.jpg"}));
  EXPECT_EQ(CrawlGallery("[Kensaku]\nKensakuLevel=1\n"),
            (Files{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "out.jpg"}));
  // Taking download files unconditionally ignores the scope.
  EXPECT_EQ(CrawlGallery("[MarovineDownLoad]\nMuzyouken=1\n"),
            (Files{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "out.jpg"}));
  EXPECT_EQ(CrawlGallery("[Kensaku]\nKensakuKaisou=1\n"), (Files{"a.jpg", "b.jpg", "c.jpg"}));
  // The second page found passes the limit of one: it and what follows it on
  // its page are not added.
  EXPECT_EQ(CrawlGallery("[Kensaku]\nPage=1\n"), (Files{"a.jpg", "b.jpg"}));
  EXPECT_EQ(CrawlGallery("[MarovineDownLoad]\nGomi Size=0\nDont Down Gomi=0\n"),
            (Files{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "small.jpg"}));
}

TEST_F(CrawlModeTest, DateFolderAndOneRandomNumberPerSite) {
  Files files = CrawlGallery(
      "[MarovineDownLoad]\nMake Date Name Folder=1\nPut Random Num=1\n[Kensaku]\n"
      "KensakuKaisou=1\n");
  ASSERT_EQ(files.size(), 3u);
  std::string prefix;
  for (const auto& file : files) {
    ASSERT_TRUE(file.starts_with("2001_1_5/")) << file;
    std::string name = file.substr(9);
    std::string number = name.substr(0, name.find_first_not_of("0123456789"));
    ASSERT_FALSE(number.empty()) << file;
    if (prefix.empty()) prefix = number;
    EXPECT_EQ(number, prefix) << file;
  }
}

TEST_F(CrawlModeTest, TitleFolderTakesThePageTitleWithoutNumbers) {
  EXPECT_EQ(CrawlGallery("[MarovineDownLoad]\nTitleFolder=1\nPut Random Num=1\n[Kensaku]\n"
                         "KensakuKaisou=1\n"),
            (Files{"Gallery/a.jpg", "Gallery/b.jpg", "Gallery/c.jpg"}));
}

TEST_F(CrawlModeTest, ASecondRunSkipsWhatTheDownloadLogHolds) {
  Sandbox home;
  {
    CrawlDoc c(home);
    c.doc->RegisterUrl(server_.Url("/site/index.html"));
    c.Crawl();
  }
  Files first = FilesBelow(home.Path("store/"));
  ASSERT_EQ(first.size(), 4u);
  ASSERT_TRUE(platform::FileExists(home.Path("log2.dat")));

  CrawlDoc again(home, "", false);
  again.doc->RegisterUrl(server_.Url("/site/index.html"));
  again.Crawl();
  EXPECT_EQ(FilesBelow(home.Path("store/")), first);  // no "(1)" copies
  int in_log = 0;
  for (std::size_t i = 0; i < again.doc->download_items.size(); ++i) {
    if (again.Comment(static_cast<int>(i)) == "ログに存在します。中止しました。") ++in_log;
  }
  EXPECT_EQ(in_log, 4);
}

TEST_F(CrawlModeTest, FilesOutsideThePagesFolderAreLoggedEachUnderItsOwnName) {
  Sandbox home;
  const std::string ini = "[Kensaku]\nKensakuLevel=1\n[DownLoad]\nDouziDL=1\n";
  {
    CrawlDoc c(home, ini);
    c.doc->RegisterUrl(server_.Url("/gallery/"));
    c.Crawl();
  }
  // The second file is not taken for the first.
  ASSERT_EQ(FilesBelow(home.Path("store/")), (Files{"one.jpg", "two.jpg"}));

  CrawlDoc again(home, "", false);
  again.doc->RegisterUrl(server_.Url("/gallery/"));
  again.Crawl();
  EXPECT_EQ(FilesBelow(home.Path("store/")), (Files{"one.jpg", "two.jpg"}));
  int in_log = 0;
  for (std::size_t i = 0; i < again.doc->download_items.size(); ++i) {
    if (again.Comment(static_cast<int>(i)) == "ログに存在します。中止しました。") ++in_log;
  }
  EXPECT_EQ(in_log, 2);
}

TEST_F(CrawlModeTest, ADirectoryListingIsSearchedNotTakenForAWrapperPage) {
  // Its "../" link shares the empty last segment of the listing's own URL.
  Sandbox home;
  CrawlDoc c(home, "[DownLoad]\nSoutaiAddress=1\n");
  c.doc->RegisterUrl(server_.Url("/listing/"));
  c.Crawl();
  EXPECT_EQ(FilesBelow(home.Path("store/")), (Files{"a.jpg", "b.jpg"}));
  EXPECT_EQ(c.doc->link_items[0].file_count, 2);
}

TEST_F(CrawlModeTest, RedirectsLoopEndRelativeOnesResolveOthersFailCleanly) {
  Sandbox home;
  CrawlDoc c(home);
  for (const char* path : {"/loop.jpg", "/relative.jpg", "/elsewhere.jpg"}) {
    ASSERT_EQ(c.doc->RegisterUrl(server_.Url(path)), 1);
  }
  c.Crawl();
  EXPECT_EQ(c.doc->download_items[0].state, DS_ERROR);  // after Retry Time redirects
  EXPECT_EQ(c.doc->download_items[1].state, DS_DONE);
  EXPECT_EQ(*platform::ReadWholeFile(home.Path("store/direct/relative.jpg")), Jpeg('a'));
  EXPECT_EQ(c.doc->download_items[2].state, DS_ERROR);
  EXPECT_EQ(c.Comment(2), "リダイレクト先のURLが不正です。中止しました。");
}

TEST_F(CrawlModeTest, AWrapperPageIsReplacedByTheFileOfTheSameName) {
  Sandbox home;
  CrawlDoc c(home);
  c.doc->RegisterUrl(server_.Url("/wrapsite/index.html"));
  c.Crawl();
  ASSERT_EQ(FilesBelow(home.Path("store/")), (Files{"photo.jpg"}));
  EXPECT_EQ(*platform::ReadWholeFile(home.Path("store/photo.jpg")), Jpeg('r'));
  EXPECT_EQ(c.Comment(1), "正常に終了しました。");
  ASSERT_EQ(c.doc->download_items.size(), 2u);
  EXPECT_EQ(c.doc->download_items[1].start_page, 1);
  EXPECT_EQ(c.doc->download_items[1].referer, server_.Url("/wrapsite/wrap/photo.jpg"));
}

TEST_F(CrawlModeTest, LinkSiteSearchRegistersEveryOtherSiteOnce) {
  Sandbox home;
  const std::string start = server_.Url("/links/index.html");
  {
    CrawlDoc c(home, "[Kensaku]\nKensakuLevel=3\n");
    c.doc->RegisterUrl(start);
    c.Crawl();
    std::vector<std::string> urls;
    for (const auto& link : c.doc->link_items) urls.push_back(link.url);
    EXPECT_EQ(urls, (std::vector<std::string>{start, server_.Url("/siteA/index.html"),
                                              server_.Url("/siteB/")}));
    EXPECT_EQ(FilesBelow(home.Path("store/")), Files{});
  }
  auto log = platform::ReadWholeFile(SiteLinkLogPath(home.Path("Log/"), start));
  ASSERT_TRUE(log);
  EXPECT_EQ(*log, server_.Url("/siteA/index.html") + "\n" + server_.Url("/siteB/") + "\n");

  // A later search of the same site registers none of them again.
  CrawlDoc again(home, "", false);
  again.doc->RegisterUrl(start);
  again.Crawl();
  EXPECT_EQ(again.doc->link_items.size(), 1u);
}

}  // namespace
}  // namespace marovine

namespace marovine {
namespace {

TEST_F(CrawlModeTest, AFullDownloadListTakesNoMoreLinksAndOverwritesNothing) {
  Sandbox home;
  CrawlDoc c(home);
  DownloadItem done;
  done.state = DS_DONE;
  for (int i = 0; i < kMaxDownloadRows - 3; ++i) {
    done.url = "http://done.example/" + std::to_string(i) + ".jpg";
    ASSERT_GE(c.doc->AppendDownloadItem(done), 0);
  }
  c.doc->RegisterUrl(server_.Url("/site/index.html"));
  c.Crawl();
  ASSERT_EQ(c.doc->download_items.size(), static_cast<std::size_t>(kMaxDownloadRows));
  EXPECT_EQ(c.doc->download_items[kMaxDownloadRows - 3].url, server_.Url("/site/index.html"));
  EXPECT_EQ(c.doc->download_items[kMaxDownloadRows - 4].url,
            "http://done.example/" + std::to_string(kMaxDownloadRows - 4) + ".jpg");
  EXPECT_EQ(FilesBelow(home.Path("store/")), (Files{"a.jpg", "b.jpg"}));
  EXPECT_EQ(c.ui.StatusText(0),
            "ダウンロードリストが一杯です（10000件）。これ以上追加できません。");
}

}  // namespace
}  // namespace marovine

namespace marovine {
namespace {

TEST_F(CrawlModeTest, AFinishedSiteGetsItsAlbumAndItsDetailLogListsTheFiles) {
  Sandbox home;
  CrawlDoc c(home,
             "[Ippan]\nSyousaiLog=1\n[MarovineHTMLAlbum]\nMakeAlbumAfterDownload=1\n"
             "AlubumFileNum=4\n");
  const std::string start = server_.Url("/site/index.html");
  c.doc->RegisterUrl(start);
  c.Crawl();
  EXPECT_EQ(c.hooks.Count("album 0"), 1);

  auto records = ReadSiteDetailLog(SiteDetailLogPath(home.Path("Log/"), start));
  ASSERT_TRUE(records);
  std::set<std::string> finished;
  for (const auto& path : FinishedFilePaths(*records)) finished.insert(path);
  EXPECT_EQ(finished,
            (std::set<std::string>{home.Path("store/a.jpg"), home.Path("store/b.jpg"),
                                   home.Path("store/c.jpg"), home.Path("store/d.jpg"),
                                   home.Path("store/index.html"), home.Path("store/page2.html"),
                                   home.Path("store/page3.html")}));

  // The album the hooks stand in for is made from the same finished files.
  ASSERT_TRUE(MakeAutomaticAlbumAfterSite(*c.doc, 0));
  EXPECT_TRUE(platform::FileExists(home.Path("store/AlbumIndex.html")));
  // An index that cannot be written is no album made.
  std::filesystem::remove(home.Path("store/AlbumIndex.html"));
  std::filesystem::create_directories(home.Path("store/AlbumIndex.html/blocker"));
  EXPECT_FALSE(MakeAutomaticAlbumAfterSite(*c.doc, 0));
}

TEST_F(CrawlModeTest, AnAlbumNotWrittenAfterASiteIsTold) {
  Sandbox home;
  CrawlDoc c(home, "[MarovineHTMLAlbum]\nMakeAlbumAfterDownload=1\nAlubumFileNum=1\n");
  c.hooks.album_answer = false;
  const std::string start = server_.Url("/site/index.html");
  c.doc->RegisterUrl(start);
  c.Crawl();
  EXPECT_EQ(c.hooks.Count("album 0"), 1);
  EXPECT_EQ(c.doc->link_items[0].state, LS_DONE);
  EXPECT_EQ(c.ui.StatusText(0), std::string(kAlbumNotWrittenMessage) + " " + start);
}

TEST_F(CrawlModeTest, TooFewFilesMakeNoAlbum) {
  Sandbox home;
  CrawlDoc c(home, "[MarovineHTMLAlbum]\nMakeAlbumAfterDownload=1\nAlubumFileNum=5\n");
  c.doc->RegisterUrl(server_.Url("/site/index.html"));
  c.Crawl();
  EXPECT_EQ(c.hooks.Count("album 0"), 0);
}

}  // namespace
}  // namespace marovine
