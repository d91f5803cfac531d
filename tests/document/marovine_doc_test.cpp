#include "marovine/document/marovine_doc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "marovine/document/download_row_model.h"
#include "marovine/document/link_row_model.h"
#include "marovine/document/url_entry.h"
#include "marovine/engine/site_log_paths.h"
#include "platform/path.h"
#include "tests/support/crawl_scheduler_access.h"
#include "tests/support/recording_crawl_hooks.h"
#include "tests/support/sandbox.h"
#include "tests/support/scripted_ui_services.h"

namespace {

using namespace marovine;
using marovine::testing::Sandbox;

// A document in a sandbox program folder, with both headless views.
struct DocFixture {
  explicit DocFixture(const std::string& ini = "") {
    box.WriteFile("marovine.ini", ini);
    doc = std::make_unique<CMarovineDoc>(box.path(), box.Path("store/"));
    doc->AddLinkView(&links);
    doc->SetDownloadView(&downloads);
    doc->SetUiServices(&ui);
    doc->clock = [] { return LocalDate{2001, 1, 5}; };
  }
  Sandbox box;
  LinkRowModel links;
  DownloadRowModel downloads;
  ScriptedUiServices ui;
  std::unique_ptr<CMarovineDoc> doc;
};

constexpr const char* kRegisterIni =
    "[UrlInsert]\nInsertToLink=html htm\nInsertToDown=jpg zip\n"
    "[MarovineDownLoad]\nKakunou Folder=/crawl/\nGroupNo=3\n"
    "[DownLoad]\nKakunouFolder=/direct\n"
    "[MarugotoDownload]\nMarugotoPass=/whole/\n";

TEST(MarovineDocTest, RegisterUrlSortsLinksFromDownloads) {
  DocFixture f(kRegisterIni);
  CMarovineDoc& doc = *f.doc;
  EXPECT_EQ(doc.RegisterUrl("http://h.example/gal/index.html"), 1);
  EXPECT_EQ(doc.RegisterUrl("http://h.example/pics/"), 1);  // a folder is always a link
  EXPECT_EQ(doc.RegisterUrl("http://h.example/pics/a.jpg"), 1);
  EXPECT_EQ(doc.RegisterUrl("http://h.example/movie.avi"), 0);     // listed nowhere
  EXPECT_EQ(doc.RegisterUrl("http://h.example/thumb_a.html"), 0);  // an ignore word
  EXPECT_EQ(doc.RegisterUrl(""), 0);

  ASSERT_EQ(doc.link_items.size(), 2u);
  const LinkItem& site = doc.link_items[0];
  EXPECT_EQ(site.folder, "/crawl/2001_1_5/");
  EXPECT_EQ(site.mode, MODE_CRAWL);
  EXPECT_EQ(site.group, 3);
  EXPECT_EQ(site.search_level, 1);
  EXPECT_GE(site.random_number, 0);
  EXPECT_LT(site.random_number, 2048);
  EXPECT_EQ(site.state, LS_WAITING);
  ASSERT_EQ(f.links.rows().size(), 2u);
  EXPECT_EQ(f.links.rows()[1].url, "http://h.example/pics/");
  EXPECT_EQ(f.links.rows()[1].image, 0 + 3 * MODE_CRAWL);
  EXPECT_EQ(f.links.rows()[1].count, "0");

  ASSERT_EQ(doc.download_items.size(), 1u);
  const DownloadItem& file = doc.download_items[0];
  EXPECT_EQ(file.local_path, "/direct/a.jpg");
  EXPECT_EQ(file.referer, "http://h.example/pics/");
  EXPECT_EQ(file.kind, KIND_DIRECT);
  EXPECT_EQ(file.site_url, "");
  EXPECT_EQ(f.downloads.rows()[0].cells[DownloadRowModel::kFileName], "a.jpg");
  EXPECT_EQ(doc.crawl().running(), false);
}

TEST(MarovineDocTest, RegisterUrlHonoursDuplicateAndModeSettings) {
  DocFixture f(std::string(kRegisterIni) + "[Ippan]\nDontSameLinkUrl=0\n");
  CMarovineDoc& doc = *f.doc;
  EXPECT_EQ(doc.RegisterUrl("http://h.example/x.html"), 1);
  EXPECT_EQ(doc.RegisterUrl("http://h.example/x.html"), 1);
  EXPECT_EQ(doc.RegisterUrl("http://h.example/a.jpg"), 1);
  EXPECT_EQ(doc.RegisterUrl("http://h.example/a.jpg"), 0);
  EXPECT_EQ(doc.link_items.size(), 2u);
  EXPECT_EQ(doc.download_items.size(), 1u);

  DocFixture whole(std::string(kRegisterIni) +
                   "[DownLoad]\nDownLoad Way-Marovine=0\nAutoMarovine=1\n"
                   "[UrlInsert]\nLinkIgai=1\n");
  CMarovineDoc& w = *whole.doc;
  EXPECT_EQ(w.RegisterUrl("http://h.example/a/b?c,d<e>.html"), 1);
  EXPECT_EQ(w.link_items[0].folder, "/whole/h.example_a_b_c_d_e_.html/");
  EXPECT_EQ(w.link_items[0].history_path, "/whole/h.example_a_b_c_d_e_.html/履歴.txt");
  EXPECT_EQ(w.link_items[0].group, 255);
  EXPECT_EQ(w.link_items[0].random_number, 0);
  EXPECT_EQ(whole.links.rows()[0].image, 0);
  EXPECT_EQ(w.crawl().running(), true);
  // With LinkIgai every other extension is a download, also none at all.
  EXPECT_EQ(w.RegisterUrl("http://h.example/noextension"), 1);
  EXPECT_EQ(w.download_items.at(0).local_path, "/direct/noextension");
  // A hostile name stays inside the direct folder.
  EXPECT_EQ(w.RegisterUrl("http://h.example/..\\..\\x\x01.zip"), 1);
  EXPECT_EQ(w.download_items.at(1).local_path, "/direct/.._.._x_.zip");
}

TEST(MarovineDocTest, AddressFolderWinsOverDateFolder) {
  DocFixture f(std::string(kRegisterIni) + "[MarovineDownLoad]\nLinkFolder=1\n");
  EXPECT_EQ(f.doc->NewLinkFolder("http://h.example/a/"), "/crawl/h.example_a_/");
}

TEST(MarovineDocTest, FullDownloadListRefusesInsteadOfOverwriting) {
  DocFixture f(kRegisterIni);
  CMarovineDoc& doc = *f.doc;
  for (int i = 0; i < kMaxDownloadRows; ++i) {
    DownloadItem item;
    item.url = "http://h/" + std::to_string(i) + ".jpg";
    ASSERT_EQ(doc.AppendDownloadItem(item), i);
  }
  EXPECT_EQ(doc.RegisterUrl("http://h/new.jpg"), 0);
  EXPECT_EQ(doc.download_items.size(), 10000u);
  EXPECT_EQ(doc.download_items[9999].url, "http://h/9999.jpg");
  EXPECT_EQ(f.downloads.RowCount(), 10000);
  EXPECT_NE(f.ui.StatusText(0).find("10000"), std::string::npos);
  // The view on its own answers the last row without adding one.
  EXPECT_EQ(f.downloads.AppendRow("http://h/more.jpg"), 9999);
  EXPECT_EQ(f.downloads.RowCount(), 10000);
}

TEST(MarovineDocTest, RemovingDownloadsMovesSlotIndexesAndRows) {
  DocFixture f(kRegisterIni);
  CMarovineDoc& doc = *f.doc;
  for (int i = 0; i < 9; ++i)
    ASSERT_EQ(doc.RegisterUrl("http://h/" + std::to_string(i) + ".jpg"), 1);
  CrawlSchedulerTestAccess::Slots(doc.crawl())[0].item_index = 7;
  CrawlSchedulerTestAccess::Slots(doc.crawl())[1].item_index = 2;
  doc.RemoveDownloadItem(3);
  EXPECT_EQ(CrawlSchedulerTestAccess::Slots(doc.crawl())[0].item_index, 6);
  EXPECT_EQ(CrawlSchedulerTestAccess::Slots(doc.crawl())[1].item_index, 2);
  EXPECT_EQ(doc.download_items[3].url, "http://h/4.jpg");
  EXPECT_EQ(f.downloads.rows()[3].cells[DownloadRowModel::kUrl], "http://h/4.jpg");
  doc.RemoveDownloadItem(99);  // out of range: nothing happens
  EXPECT_EQ(doc.download_items.size(), 8u);
  doc.ClearDownloadList();
  EXPECT_TRUE(doc.download_items.empty());
  EXPECT_EQ(f.downloads.RowCount(), 0);
  // The slot's own item went too: it points at no item rather than another.
  EXPECT_EQ(CrawlSchedulerTestAccess::Slots(doc.crawl())[0].item_index, -1);
}

TEST(MarovineDocTest, RemovingLinksDeletesTheDetailLogOnlyWhenAsked) {
  DocFixture f(kRegisterIni);
  CMarovineDoc& doc = *f.doc;
  ASSERT_EQ(doc.RegisterUrl("http://h.example/a/index.html"), 1);
  ASSERT_EQ(doc.RegisterUrl("http://h.example/b/index.html"), 1);
  std::string log_a = SiteDetailLogPath(doc.paths.log_folder, "http://h.example/a/index.html");
  std::string log_b = SiteDetailLogPath(doc.paths.log_folder, "http://h.example/b/index.html");
  EXPECT_EQ(log_a, f.box.Path("Log/h.example_a_index.html.txt"));
  f.box.WriteFile("Log/h.example_a_index.html.txt", "[x]\n");
  f.box.WriteFile("Log/h.example_b_index.html.txt", "[x]\n");
  doc.RemoveLinkItemKeepLog(1);
  EXPECT_TRUE(platform::FileExists(log_b));
  doc.RemoveLinkItem(0);
  EXPECT_FALSE(platform::FileExists(log_a));
  EXPECT_TRUE(doc.link_items.empty());
  EXPECT_TRUE(f.links.rows().empty());
}

TEST(MarovineDocTest, ResetAfterDaysReturnsDueSitesOncePerDay) {
  DocFixture f(std::string(kRegisterIni) + "[DownLoad]\nAutoMarovine=1\n");
  CMarovineDoc& doc = *f.doc;
  LocalDate today{2001, 3, 10};  // day 69
  doc.clock = [&] { return today; };
  for (int i = 0; i < 4; ++i) {
    LinkItem item = doc.NewCrawlLinkItem("http://h/" + std::to_string(i) + "/");
    item.state = LS_DONE;
    item.reset_days = 7;
    doc.AppendLinkItem(item);
  }
  doc.link_items[0].done_day = 62;  // 7 days ago: due
  doc.link_items[1].done_day = 63;  // 6 days ago: not yet
  doc.link_items[2].done_day = 60;
  doc.link_items[2].state = LS_SEARCHING;  // never while searching
  doc.link_items[3].done_day = 362;        // late December, 72 days ago
  CrawlSchedulerTestAccess::SetRunning(doc.crawl(), false);
  doc.ResetAfterDays();
  EXPECT_EQ(doc.link_items[0].state, LS_WAITING);
  EXPECT_EQ(doc.link_items[1].state, LS_DONE);
  EXPECT_EQ(doc.link_items[2].state, LS_SEARCHING);
  EXPECT_EQ(doc.link_items[3].state, LS_WAITING);
  EXPECT_EQ(f.links.rows()[0].image, 0 + 3 * (MODE_CRAWL + 2));
  EXPECT_EQ(doc.crawl().running(), true);

  // The same day again does nothing, even when a site became due meanwhile.
  doc.link_items[1].done_day = 1;
  doc.ResetAfterDays();
  EXPECT_EQ(doc.link_items[1].state, LS_DONE);
  today = {2001, 3, 11};
  doc.ResetAfterDays();
  EXPECT_EQ(doc.link_items[1].state, LS_WAITING);

  // Days read from a crafted document are any 32-bit values: counted without
  // overflow, a far-away done day is simply long past.
  doc.link_items[1].state = LS_DONE;
  doc.link_items[1].done_day = std::numeric_limits<std::int32_t>::min();
  doc.link_items[1].reset_days = std::numeric_limits<std::int32_t>::max();
  today = {2001, 3, 12};
  doc.ResetAfterDays();
  EXPECT_EQ(doc.link_items[1].state, LS_WAITING);
}

TEST(MarovineDocTest, UrlEntryAsksBeforeRegisteringFilteredUrls) {
  DocFixture f(kRegisterIni);
  CMarovineDoc& doc = *f.doc;
  EXPECT_EQ(EnterCrawlUrl(doc, f.ui, "http://"), 0);
  EXPECT_EQ(EnterCrawlUrl(doc, f.ui, "https://"), 0);
  EXPECT_EQ(EnterCrawlUrl(doc, f.ui, "  "), 0);
  EXPECT_TRUE(f.ui.questions().empty());

  EXPECT_EQ(EnterCrawlUrl(doc, f.ui, "http://h.example/banner.html"), 0);  // answered No
  ASSERT_EQ(f.ui.questions().size(), 1u);
  EXPECT_EQ(f.ui.questions()[0], kRegisterAnywayQuestion);
  EXPECT_TRUE(doc.link_items.empty());

  f.ui.QueueAnswer(true);
  EXPECT_EQ(EnterCrawlUrl(doc, f.ui, "http://h.example/banner.html"), 1);
  ASSERT_EQ(doc.link_items.size(), 1u);
  EXPECT_EQ(doc.link_items[0].mode, MODE_CRAWL);
  EXPECT_EQ(doc.link_items[0].group, 3);
  EXPECT_EQ(doc.link_items[0].folder, "/crawl/2001_1_5/");
  EXPECT_EQ(f.links.rows()[0].image, 3);

  EXPECT_EQ(EnterWholeSiteUrl(doc, "http://h.example/", "My ../Site", "/mirrors"), 1);
  const LinkItem& site = doc.link_items[1];
  EXPECT_EQ(site.folder, "/mirrors/My .._Site/");
  EXPECT_EQ(site.history_path, "/mirrors/My .._Site/履歴.txt");
  EXPECT_EQ(site.mode, MODE_WHOLE_SITE);
  EXPECT_EQ(site.search_level, 255);
  EXPECT_EQ(f.links.rows()[1].image, 0);
}

}  // namespace
