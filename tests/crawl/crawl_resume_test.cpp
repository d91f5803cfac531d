// A crawl stopped, saved and reopened ends where an uninterrupted one does;
// proxies rotate during a crawl; fast mode gives the same end result.

#include <gtest/gtest.h>

#include "marovine/document/document_file.h"
#include "marovine/engine/download_log.h"
#include "marovine/engine/proxy_list.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/nginx_server.h"
#include "tests/support/wait_for.h"

namespace marovine {
namespace {

using testing::NginxServer;
using testing::Sandbox;
using testing::TinyproxyServer;
using testing::WaitFor;
using Files = std::set<std::string>;

int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class CrawlResumeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    site_.WriteFile("site/index.html",
                    "<a href='a.jpg'>a</a><a href='b.jpg'>b</a><a href='c.jpg'>c</a>"
                    "<a href='d.jpg'>d</a><a href='slow/big.zip'>big</a>");
    for (char ch = 'a'; ch <= 'd'; ++ch) {
      site_.WriteFile("site/" + std::string(1, ch) + ".jpg", Jpeg(ch));
    }
    site_.WriteFile("site/slow/big.zip", Jpeg('z', 60000));
    ASSERT_TRUE(server_.ok());
  }

  const Files kAll{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "big.zip"};

  Sandbox site_;
  NginxServer server_{site_.path(), "location /site/slow/ { limit_rate 40k; }\n"};
};

TEST_F(CrawlResumeTest, StopAllSaveReopenAndResumeEndLikeAnUninterruptedCrawl) {
  Sandbox home;
  const std::string saved = home.Path("crawl.mrv");
  {
    CrawlDoc c(home);
    c.doc->RegisterUrl(server_.Url("/site/index.html"));
    c.doc->crawl().StartCommand();
    // Stop once the big file is under way.
    ASSERT_TRUE(WaitFor(
        [&] {
          c.doc->crawl().CrawlTick();
          for (const auto& slot : c.doc->crawl().slots()) {
            if (slot.url.ends_with("big.zip") && slot.received > 0) return true;
          }
          return false;
        },
        std::chrono::seconds(30), std::chrono::milliseconds(20)));
    c.doc->crawl().StopAllCommand();
    ASSERT_TRUE(SaveDocumentFile(*c.doc, saved));
    ASSERT_TRUE(RunCrawlUntilFinished(*c.doc, std::chrono::seconds(30)));
  }
  EXPECT_LT(platform::FileSizeOf(home.Path("store/big.zip")).value_or(0), 60000);

  CrawlDoc reopened(home, "", false);
  ASSERT_TRUE(LoadDocumentFile(*reopened.doc, saved).ok);
  int retry_waiting = 0;
  for (const auto& item : reopened.doc->download_items) {
    if (item.url.ends_with("big.zip")) {
      EXPECT_STREQ(DownloadStateText(item.state), "再度処理待ちです。");
    }
    retry_waiting += item.state == DS_RETRY_WAIT ? 1 : 0;
  }
  EXPECT_GE(retry_waiting, 1);
  reopened.Crawl();
  EXPECT_EQ(FilesBelow(home.Path("store/")), kAll);
  EXPECT_EQ(*platform::ReadWholeFile(home.Path("store/big.zip")), Jpeg('z', 60000));
  EXPECT_EQ(reopened.doc->link_items[0].state, LS_DONE);
}

TEST_F(CrawlResumeTest, ProxiesTakeTurnsDuringACrawl) {
  TinyproxyServer first;
  TinyproxyServer second;
  ASSERT_TRUE(first.ok());
  ASSERT_TRUE(second.ok());
  Sandbox home;
  ASSERT_TRUE(WriteProxyList(home.Path("proxy.txt"), {first.host(), second.host()}));
  CrawlDoc c(home, "[Proxy]\nDontUseProxy=0\nUseProxyTopToUnder=1\n[DownLoad]\nDouziDL=1\n");
  c.doc->RegisterUrl(server_.Url("/site/index.html"));
  c.Crawl();
  EXPECT_EQ(FilesBelow(home.Path("store/")), kAll);
  // Six transfers in turn: the page and the files alternate between the two.
  EXPECT_EQ(CountOf(first.log(), "/site/"), 3) << first.log();
  EXPECT_EQ(CountOf(second.log(), "/site/"), 3) << second.log();
}

TEST_F(CrawlResumeTest, FastModeEndsWithTheSameResultAsTheTick) {
  Sandbox normal_home;
  CrawlDoc normal(normal_home);
  normal.doc->RegisterUrl(server_.Url("/site/index.html"));
  normal.doc->crawl().SetTickPeriod(std::chrono::milliseconds(200));
  normal.Crawl();

  // The headless driver lets the thread whose transfer ends collect it.
  for (bool on_ending_thread : {false, true}) {
    SCOPED_TRACE(on_ending_thread ? "collected on the ending threads" : "collected by the loop");
    Sandbox fast_home;
    CrawlDoc fast(fast_home, "[DownLoad]\nFastMode=1\n");
    ASSERT_EQ(fast.doc->settings.fast_mode, 1);
    ASSERT_EQ(fast.doc->worker_settings.reuse_connections, 1);
    fast.doc->RegisterUrl(server_.Url("/site/index.html"));
    fast.doc->crawl().SetTickPeriod(std::chrono::milliseconds(200));
    fast.doc->crawl().StartCommand();
    CrawlLoopOptions loop;
    loop.limit = std::chrono::seconds(60);
    loop.collect_on_ending_thread = on_ending_thread;
    ASSERT_TRUE(RunCrawlLoop(*fast.doc, loop)) << "the crawl did not end";

    EXPECT_EQ(FilesBelow(fast_home.Path("store/")), kAll);
    EXPECT_EQ(FilesBelow(fast_home.Path("store/")), FilesBelow(normal_home.Path("store/")));
    // Kept connections deliver the same bytes as one connection per file.
    for (const std::string& name : kAll) {
      auto fast_bytes = platform::ReadWholeFile(fast_home.Path("store/" + name));
      ASSERT_TRUE(fast_bytes) << name;
      EXPECT_TRUE(fast_bytes == platform::ReadWholeFile(normal_home.Path("store/" + name))) << name;
    }
    ASSERT_EQ(fast.doc->download_items.size(), normal.doc->download_items.size());
    for (std::size_t i = 0; i < fast.doc->download_items.size(); ++i) {
      const DownloadItem& item = fast.doc->download_items[i];
      EXPECT_EQ(item.state, normal.doc->download_items[i].state);
      // The download logs hold the same entries, whatever order the files
      // arrived in.
      auto logged = [&](const Sandbox& home) {
        return LookUpLog2(home.Path("log2.dat"), Log2Key(item.referer),
                          Log2EntryName(item.url, item.referer))
            .found;
      };
      EXPECT_EQ(logged(fast_home), logged(normal_home)) << item.url;
    }
    auto lines = [](const Sandbox& home) {
      return CountOf(platform::ReadWholeFile(home.Path("log2.dat")).value_or(""), "\n");
    };
    EXPECT_EQ(lines(fast_home), lines(normal_home));
    EXPECT_GT(lines(fast_home), 0);
  }
}

TEST_F(CrawlResumeTest, WaitForTransferEndWakesOnAnEndAndTimesOutWithout) {
  Sandbox home;
  CrawlDoc c(home);
  EXPECT_FALSE(c.doc->crawl().WaitForTransferEnd(std::chrono::milliseconds(10)));
  c.doc->RegisterUrl(server_.Url("/site/a.jpg"));
  c.doc->crawl().ResumeQuietly();
  c.doc->crawl().CollectAndStart();
  EXPECT_TRUE(c.doc->crawl().WaitForTransferEnd(std::chrono::seconds(20)));
  EXPECT_FALSE(c.doc->crawl().WaitForTransferEnd(std::chrono::milliseconds(10)));
  ASSERT_TRUE(RunCrawlUntilFinished(*c.doc, std::chrono::seconds(20)));
}

}  // namespace
}  // namespace marovine
