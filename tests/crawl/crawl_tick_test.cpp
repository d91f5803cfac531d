// The tick on its own: which items start, when a crawl ends, what the finish
// does, and how the stop commands and renaming behave.

#include <gtest/gtest.h>

#include "marovine/document/download_list_view.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/nginx_server.h"
#include "tests/support/wait_for.h"

namespace marovine {
namespace {

using testing::NginxServer;
using testing::Sandbox;

class CrawlTickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (char c = 'a'; c <= 'j'; ++c) site_.WriteFile(std::string(1, c) + ".jpg", Jpeg(c));
    site_.WriteFile("site/index.html",
                    "<html><title>t</title><a href='p.jpg'>p</a><a href='q.jpg'>q</a></html>");
    site_.WriteFile("site/p.jpg", Jpeg('p'));
    site_.WriteFile("site/q.jpg", Jpeg('q'));
    ASSERT_TRUE(server_.ok());
  }

  std::vector<std::uint8_t> States(const CMarovineDoc& doc) {
    std::vector<std::uint8_t> states;
    for (const auto& item : doc.download_items) states.push_back(item.state);
    return states;
  }

  Sandbox home_;
  Sandbox site_;
  NginxServer server_{site_.path()};
};

TEST_F(CrawlTickTest, OneTickStartsTheFirstDouziDlWaitingItemsInListOrder) {
  CrawlDoc c(home_);
  for (char ch = 'a'; ch <= 'j'; ++ch) {
    ASSERT_EQ(c.doc->RegisterUrl(server_.Url("/" + std::string(1, ch) + ".jpg")), 1);
  }
  // A retried item is taken before later waiting ones, in list order.
  c.doc->download_items[5].state = DS_RETRY_WAIT;
  c.doc->crawl().ResumeQuietly();
  c.doc->crawl().CrawlTick();
  std::vector<std::uint8_t> expected(10, DS_WAITING);
  expected[0] = expected[1] = expected[2] = DS_RUNNING;
  expected[5] = DS_RETRY_WAIT;
  EXPECT_EQ(States(*c.doc), expected);
  EXPECT_EQ(c.downloads.rows()[1].image, IMAGE_RUNNING);

  c.doc->settings.simultaneous_transfers = 1;
  ASSERT_TRUE(RunCrawlUntilFinished(*c.doc, std::chrono::seconds(30)));
  EXPECT_EQ(States(*c.doc), std::vector<std::uint8_t>(10, DS_DONE));
  EXPECT_EQ(FilesBelow(home_.Path("store/direct")).size(), 10u);
}

TEST_F(CrawlTickTest, ARetryWaitingItemGoesBeforeLaterWaitingOnes) {
  CrawlDoc c(home_, "[DownLoad]\nDouziDL=1\n");
  for (const char* name : {"/a.jpg", "/b.jpg", "/c.jpg"}) c.doc->RegisterUrl(server_.Url(name));
  c.doc->download_items[0].state = DS_DONE;
  c.doc->download_items[1].state = DS_RETRY_WAIT;
  c.doc->crawl().ResumeQuietly();
  c.doc->crawl().CrawlTick();
  EXPECT_EQ(States(*c.doc), (std::vector<std::uint8_t>{DS_DONE, DS_RUNNING, DS_WAITING}));
  ASSERT_TRUE(RunCrawlUntilFinished(*c.doc, std::chrono::seconds(30)));
}

TEST_F(CrawlTickTest, AnEmptyCrawlEndsAtTheFirstTick) {
  CrawlDoc c(home_);
  c.doc->crawl().StartCommand();
  EXPECT_EQ(c.ui.StatusText(2), "開始  ");
  c.doc->crawl().CrawlTick();
  EXPECT_EQ(c.doc->crawl().running(), false);
  EXPECT_TRUE(c.doc->crawl().CrawlFinished());
  EXPECT_EQ(c.ui.StatusText(1), "終了しました。");
  EXPECT_EQ(c.hooks.calls, (std::vector<std::string>{"sound 1", "sound 7"}));
}

TEST_F(CrawlTickTest, NoEndWhenStartSparesOnlyACrawlThatFetchedNothing) {
  CrawlDoc c(home_, "[Ippan]\nNoEndWhenStart=1\n[Schedule]\nFinishMarovineKensaku=1\n");
  c.doc->crawl().ResumeQuietly();  // as AutoMarovine starts it
  c.doc->crawl().CrawlTick();
  EXPECT_EQ(c.doc->crawl().running(), false);
  EXPECT_EQ(c.hooks.Count("close"), 0);

  c.doc->LoadSettings();  // the flag is back from the file
  ASSERT_EQ(c.doc->settings.no_end_when_start, 1);
  c.doc->RegisterUrl(server_.Url("/a.jpg"));
  c.doc->crawl().ResumeQuietly();
  ASSERT_TRUE(RunCrawlUntilFinished(*c.doc, std::chrono::seconds(30)));
  EXPECT_EQ(c.hooks.Count("close"), 1);
  EXPECT_EQ(c.doc->settings.exit_when_all_done, 0);
}

TEST_F(CrawlTickTest, PowerOffAtTheEndSavesStopsHangsUpAndPowers) {
  CrawlDoc c(home_, "[Schedule]\nFinishPowerOff=1\nDialCut=1\n");
  c.doc->document_path = home_.Path("end.mrv");
  c.doc->crawl().StartCommand();
  c.doc->crawl().CrawlTick();
  EXPECT_TRUE(platform::FileExists(home_.Path("end.mrv")));
  EXPECT_EQ(c.hooks.Count("hang up"), 2);
  EXPECT_EQ(c.hooks.Count("power"), 1);
  EXPECT_EQ(c.doc->settings.power_when_all_done, 0);
}

TEST_F(CrawlTickTest, FinishKensakuRetrySearchesEverySiteAgainFromTheTop) {
  CrawlDoc c(home_, "[Schedule]\nFinishKensakuRetry=1\n[Ippan]\nClear_List_After_Finish_Site=1\n");
  ASSERT_EQ(c.doc->RegisterUrl(server_.Url("/site/index.html")), 1);
  c.doc->crawl().StartCommand();
  ASSERT_TRUE(testing::WaitFor(
      [&] {
        c.doc->crawl().CrawlTick();
        return c.hooks.Count("sound 6") >= 2;
      },
      std::chrono::seconds(30), std::chrono::milliseconds(20)));
  EXPECT_GE(c.hooks.Count("sound 7"), 1);
  EXPECT_EQ(c.doc->crawl().running(), true);
  EXPECT_EQ(c.doc->link_items[0].state, LS_SEARCHING);
  c.doc->crawl().StopAllCommand();
  ASSERT_TRUE(RunCrawlUntilFinished(*c.doc, std::chrono::seconds(30)));
}

TEST_F(CrawlTickTest, StopListingFinishesTheRunningPageAndAddsItsLinksButStartsNothing) {
  CrawlDoc c(home_);
  ASSERT_EQ(c.doc->RegisterUrl(server_.Url("/site/index.html")), 1);
  c.doc->crawl().StartCommand();
  c.doc->crawl().CrawlTick();
  ASSERT_EQ(c.doc->download_items.size(), 1u);
  c.doc->crawl().StopListingCommand();
  EXPECT_EQ(c.ui.StatusText(2), "停止  ");
  ASSERT_TRUE(RunCrawlUntilFinished(*c.doc, std::chrono::seconds(30)));
  ASSERT_EQ(c.doc->download_items.size(), 3u);
  EXPECT_EQ(States(*c.doc), (std::vector<std::uint8_t>{DS_DONE, DS_WAITING, DS_WAITING}));
  EXPECT_EQ(c.doc->link_items[0].state, LS_SEARCHING);
  EXPECT_EQ(c.hooks.Count("sound 2"), 1);
}

TEST_F(CrawlTickTest, AutoRenameCountsUpAndRenumbersANumberedName) {
  CrawlDoc c(home_, "[DownLoad]\nDouziDL=2\n");
  std::string folder = home_.Path("store/ren/");
  EXPECT_TRUE(platform::MakeFolders(folder));
  for (const char* name : {"a.jpg", "a(1).jpg", "b(3).jpg"}) {
    ASSERT_TRUE(platform::WriteFileAtomically(folder + name, "old"));
  }
  for (const char* name : {"a.jpg", "b(3).jpg"}) {
    DownloadItem item;
    item.url = server_.Url("/a.jpg");
    item.local_path = folder + name;
    item.kind = KIND_CRAWL;
    c.doc->AppendDownloadItem(item);
  }
  c.doc->crawl().ResumeQuietly();
  c.doc->crawl().CrawlTick();
  EXPECT_EQ(c.doc->download_items[0].local_path, folder + "a(2).jpg");
  EXPECT_EQ(c.doc->download_items[1].local_path, folder + "b(1).jpg");
  ASSERT_TRUE(RunCrawlUntilFinished(*c.doc, std::chrono::seconds(30)));
  EXPECT_EQ(*platform::ReadWholeFile(folder + "a.jpg"), "old");
  EXPECT_EQ(*platform::ReadWholeFile(folder + "a(2).jpg"), Jpeg('a'));
}

}  // namespace
}  // namespace marovine
