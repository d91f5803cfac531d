// A fetched page is read for links on the thread that fetched it, and a
// mirrored page rewritten there too; the tick only registers what was read
// and puts the rewritten page in place, unless what the page would be read or
// rewritten with has changed since its transfer started.

#include <gtest/gtest.h>

#include <chrono>

#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/nginx_server.h"

namespace marovine {
namespace {

using testing::NginxServer;
using testing::Sandbox;
using namespace std::chrono_literals;

class OffThreadReadingTest : public ::testing::Test {
 protected:
  OffThreadReadingTest() {
    site.WriteFile("gallery/index.html",
                   "<html><a href=\"a.jpg\">a</a> <a href=\"b.png\">b</a></html>");
    site.WriteFile("gallery/a.jpg", Jpeg('a'));
    site.WriteFile("gallery/b.png", Jpeg('b'));
  }

  // Starts the site's page and waits until its transfer has ended, without
  // collecting it.
  void FetchStartPage(CrawlDoc& c) {
    ASSERT_EQ(c.doc->RegisterUrl(server.Url("/gallery/index.html")), 1);
    c.doc->crawl().StartCommand();
    c.doc->crawl().CrawlTick();
    ASSERT_EQ(c.doc->download_items.size(), 1u);
    ASSERT_TRUE(c.doc->crawl().WaitForTransferEnd(30s));
  }

  bool Listed(const CrawlDoc& c, const std::string& name) const {
    for (const DownloadItem& item : c.doc->download_items) {
      if (item.url == server.Url("/gallery/" + name)) return true;
    }
    return false;
  }

  Sandbox home;
  Sandbox site;
  NginxServer server{site.path()};
};

TEST_F(OffThreadReadingTest, TheTickRegistersWhatTheTransfersThreadRead) {
  ASSERT_TRUE(server.ok());
  CrawlDoc c(home, "[MarovineDownLoad]\nKakuchoushi=jpg\n");
  FetchStartPage(c);
  // Gone before the tick looks: only a reading made beforehand has its links.
  ASSERT_TRUE(platform::RemoveFile(c.doc->download_items[0].local_path));
  c.doc->crawl().CrawlTick();
  EXPECT_TRUE(Listed(c, "a.jpg"));
  EXPECT_FALSE(Listed(c, "b.png"));
  EXPECT_EQ(c.ui.StatusText(1), "Check 1 links..done....");
}

TEST_F(OffThreadReadingTest, ASettingChangedDuringTheTransferIsHeeded) {
  ASSERT_TRUE(server.ok());
  CrawlDoc c(home, "[MarovineDownLoad]\nKakuchoushi=jpg\n");
  FetchStartPage(c);
  ASSERT_TRUE(c.doc->profile.WriteString("MarovineDownLoad", "Kakuchoushi", "png"));
  c.doc->crawl().CrawlTick();
  EXPECT_FALSE(Listed(c, "a.jpg"));
  EXPECT_TRUE(Listed(c, "b.png"));
}

// A file fetched for its extension gets no reader on its thread; when the
// server answers it with a page all the same, the tick reads it.
TEST_F(OffThreadReadingTest, APictureAnsweredWithAPageIsStillReadForLinks) {
  site.WriteFile("gallery/a.jpg", "<html><a href=\"c.jpg\">c</a></html>");
  site.WriteFile("gallery/c.jpg", Jpeg('c'));
  NginxServer pages(site.path(), "location = /gallery/a.jpg { types { } default_type text/html; }");
  ASSERT_TRUE(pages.ok());
  CrawlDoc c(home, "[MarovineDownLoad]\nKakuchoushi=jpg\n[Kensaku]\nKensakuLevel=2\n");
  ASSERT_EQ(c.doc->RegisterUrl(pages.Url("/gallery/index.html")), 1);
  c.Crawl();
  bool listed = false;
  for (const DownloadItem& item : c.doc->download_items) {
    listed = listed || item.url == pages.Url("/gallery/c.jpg");
  }
  EXPECT_TRUE(listed);
}

constexpr const char* kMirrorIni =
    "[DownLoad]\nDownLoad Way-Marovine=0\n"
    "[MarugotoDownload]\nMarugotoKakuchoushi=jpg\nCutImgSrc=0\nMidashiHtml=0\n";

bool Waiting(const std::string& page) {
  return platform::FileExists(page + ".marovine-rewrite") ||
         platform::FileExists(page + "buf.marovine-rewrite");
}

TEST_F(OffThreadReadingTest, AMirroredPageIsRewrittenBeforeTheTickPlacesIt) {
  ASSERT_TRUE(server.ok());
  CrawlDoc c(home, kMirrorIni);
  FetchStartPage(c);
  const std::string page = c.doc->download_items[0].local_path;
  EXPECT_TRUE(Waiting(page));
  c.doc->crawl().CrawlTick();
  EXPECT_FALSE(Waiting(page));
  EXPECT_EQ(*platform::ReadWholeFile(page),
            "<html><a href=\"a.jpg\">a</a> <a href=\"b.png\">b</a></html>");
  EXPECT_EQ(*platform::ReadWholeFile(page + "buf"), site.ReadFile("gallery/index.html"));
}

TEST_F(OffThreadReadingTest, AMirroredPageIsRewrittenAgainWhenASettingChanged) {
  ASSERT_TRUE(server.ok());
  CrawlDoc c(home, kMirrorIni);
  FetchStartPage(c);
  const std::string page = c.doc->download_items[0].local_path;
  c.doc->settings.cut_unfetched_links = 1;
  c.doc->crawl().CrawlTick();
  EXPECT_FALSE(Waiting(page));
  // The link to a file of no listed kind is cut, as the new setting says.
  EXPECT_EQ(*platform::ReadWholeFile(page),
            "<html><a href=\"a.jpg\">a</a> <a href=\"\">b</a></html>");
  EXPECT_EQ(*platform::ReadWholeFile(page + "buf"), site.ReadFile("gallery/index.html"));
}

}  // namespace
}  // namespace marovine
