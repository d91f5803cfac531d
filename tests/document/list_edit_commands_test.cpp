#include "marovine/document/list_edit_commands.h"

#include <gtest/gtest.h>

#include "marovine/engine/site_log_paths.h"
#include "platform/path.h"
#include "tests/document/command_fixture.h"
#include "tests/support/crawl_scheduler_access.h"

namespace {

using namespace marovine;
using marovine::testing::CommandFixture;

std::vector<std::string> DownloadUrls(const CMarovineDoc& doc) {
  std::vector<std::string> urls;
  for (const auto& item : doc.download_items) urls.push_back(item.url);
  return urls;
}

std::vector<std::string> LinkUrls(const CMarovineDoc& doc) {
  std::vector<std::string> urls;
  for (const auto& item : doc.link_items) urls.push_back(item.url);
  return urls;
}

TEST(ListEditCommandsTest, DeleteKeyTakesLinksFirstSkipsRunningItemsAndShowsProgress) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  for (const char* name : {"a/", "b/", "c/", "d/"}) f.Add(name);
  for (const char* name : {"0.jpg", "1.jpg", "2.jpg"}) f.Add(name);
  doc.link_items[2].state = LS_SEARCHING;
  f.links.Select(1);
  f.links.Select(2);
  f.links.Select(3);
  f.downloads.Select(0);

  DeleteSelectedItems(doc, f.ui, SelectedLinkRows(doc),
                      SelectedDownloadRows(doc, kMainMenuDownloadSelection));
  // Both lists had a selection: only the links went, the one being searched
  // stayed, and the rows followed.
  EXPECT_EQ(LinkUrls(doc), (std::vector<std::string>{"http://h/a/", "http://h/c/"}));
  ASSERT_EQ(f.links.rows().size(), 2u);
  EXPECT_EQ(f.links.rows()[1].url, "http://h/c/");
  EXPECT_EQ(doc.download_items.size(), 3u);
  EXPECT_EQ(f.ui.status_history(1),
            (std::vector<std::string>{"33 % done..", "66 % done..", "100 % done.."}));

  // No link selected: the selected downloads go, except a running one.
  doc.download_items[1].state = DS_RUNNING;
  f.links.ClearSelection();
  DeleteSelectedItems(doc, f.ui, SelectedLinkRows(doc), {0, 1, 2});
  EXPECT_EQ(DownloadUrls(doc), (std::vector<std::string>{"http://h/1.jpg"}));
  EXPECT_EQ(f.downloads.RowCount(), 1);
}

TEST(ListEditCommandsTest, LinkLogIsDeletedByTheDeleteKeyOnlyNotByTheContextMenu) {
  CommandFixture f;  // DeleteLinkLog is on by default
  CMarovineDoc& doc = *f.doc;
  f.Add("a/");
  f.Add("b/");
  std::string log_a = SiteDetailLogPath(doc.paths.log_folder, "http://h/a/");
  std::string log_b = SiteDetailLogPath(doc.paths.log_folder, "http://h/b/");
  f.box.WriteFile("Log/" + platform::NameOf(log_a), "[x]\n");
  f.box.WriteFile("Log/" + platform::NameOf(log_b), "[x]\n");

  DeleteSelectedLinks(doc, f.ui, {1});
  EXPECT_TRUE(platform::FileExists(log_b));
  EXPECT_EQ(f.ui.StatusText(1), "");  // the context menu clears its progress

  DeleteSelectedItems(doc, f.ui, {0}, {});
  EXPECT_FALSE(platform::FileExists(log_a));
  EXPECT_TRUE(doc.link_items.empty());
}

// A download marked finished while its transfer still runs is no longer
// "running" and may be deleted; its slot must then forget it instead of
// taking the item that moves into its index.
TEST(ListEditCommandsTest, DeletingADownloadWhoseSlotIsStillBoundUnbindsTheSlot) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  for (const char* name : {"0.jpg", "1.jpg", "2.jpg", "3.jpg"}) f.Add(name);
  auto& slots = CrawlSchedulerTestAccess::Slots(doc.crawl());
  slots[0].item_index = 1;
  slots[0].status = TS_DONE;  // ended, not collected yet
  slots[1].item_index = 3;
  slots[1].status = TS_RUNNING;
  doc.download_items[1].state = DS_DONE;
  doc.download_items[3].state = DS_RUNNING;

  DeleteSelectedDownloads(doc, f.ui, {1});
  EXPECT_EQ(slots[0].item_index, -1);
  EXPECT_EQ(slots[1].item_index, 2);
  EXPECT_EQ(doc.download_items[1].url, "http://h/2.jpg");

  // Collecting the ended slot touches no other item.
  doc.crawl().CollectTransferResult(0);
  EXPECT_EQ(slots[0].status, TS_IDLE);
  EXPECT_EQ(doc.download_items[1].state, DS_WAITING);
  EXPECT_EQ(f.downloads.rows()[1].image, IMAGE_WAITING);
  slots[1].status = TS_IDLE;
}

TEST(ListEditCommandsTest, SearchAgainAndMarkFinishedTakeLinksElseDownloads) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  f.Add("a/");
  f.Add("b/");
  for (const char* name : {"0.jpg", "1.jpg", "2.jpg", "3.jpg", "4.jpg"}) f.Add(name);
  doc.link_items[1].state = LS_SEARCHING;

  MarkFinishedSelection(doc, {0, 1}, {0});
  EXPECT_EQ(doc.link_items[0].state, LS_DONE);
  EXPECT_EQ(f.links.rows()[0].image, 2 + 3 * MODE_CRAWL);
  EXPECT_EQ(doc.link_items[1].state, LS_SEARCHING);
  EXPECT_EQ(doc.download_items[0].state, DS_WAITING);  // links were selected

  SearchAgainSelection(doc, {0}, {});
  EXPECT_EQ(doc.link_items[0].state, LS_WAITING);
  EXPECT_EQ(f.links.rows()[0].image, 0 + 3 * MODE_CRAWL);

  // Downloads in states 0..4: all but the running one change.
  for (int s = 0; s <= 4; ++s) doc.download_items[s].state = static_cast<std::uint8_t>(s);
  SearchAgainSelection(doc, {}, {0, 1, 2, 3, 4});
  for (int s : {0, 1, 3, 4}) {
    EXPECT_EQ(doc.download_items[s].state, DS_RETRY_WAIT) << s;
    EXPECT_EQ(f.downloads.rows()[s].image, IMAGE_RETRY_WAIT) << s;
  }
  EXPECT_EQ(doc.download_items[2].state, DS_RUNNING);
  MarkFinishedSelection(doc, {}, {0, 2});
  EXPECT_EQ(doc.download_items[0].state, DS_DONE);
  EXPECT_EQ(f.downloads.rows()[0].image, IMAGE_SIZE_REMOVED);
  EXPECT_EQ(doc.download_items[2].state, DS_RUNNING);
}

TEST(ListEditCommandsTest, DownloadContextMarkFinishedStopsARunningTransfer) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  f.Add("0.jpg");
  f.Add("1.jpg");
  auto& slots = CrawlSchedulerTestAccess::Slots(doc.crawl());
  slots[4].item_index = 1;
  slots[4].status = TS_RUNNING;
  doc.download_items[1].state = DS_RUNNING;
  doc.download_items[0].state = DS_ERROR;

  MarkDownloadsFinished(doc, {0, 1});
  EXPECT_EQ(doc.download_items[0].state, DS_DONE);
  EXPECT_EQ(f.downloads.rows()[0].image, IMAGE_DONE);
  EXPECT_EQ(doc.download_items[1].state, DS_DONE);
  EXPECT_EQ(f.downloads.rows()[1].image, IMAGE_STOPPED);
  EXPECT_EQ(slots[4].stop_request, 1);
  slots[4].status = TS_IDLE;

  doc.MarkDownloadsUnfinished({0, 1});
  EXPECT_EQ(doc.download_items[1].state, DS_WAITING);
  EXPECT_EQ(f.downloads.rows()[1].image, IMAGE_WAITING);
}

TEST(ListEditCommandsTest, MoveKeepsMovingTheRememberedRowUntilTheNextClick) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  for (const char* name : {"a/", "b/", "c/", "d/"}) f.Add(name);
  doc.link_items[3].title = "D title";
  doc.link_items[3].file_count = 7;
  doc.link_items[3].state = LS_DONE;
  LinkMover mover;

  // Nothing clicked, nothing remembered: nothing moves.
  EXPECT_FALSE(mover.MoveUp(doc));
  f.links.Select(3);
  mover.LinkListClicked();
  EXPECT_TRUE(mover.MoveUp(doc));
  // The selection is not asked again: the moved row is.
  f.links.ClearSelection();
  EXPECT_TRUE(mover.MoveUp(doc));
  EXPECT_EQ(LinkUrls(doc),
            (std::vector<std::string>{"http://h/a/", "http://h/d/", "http://h/b/", "http://h/c/"}));
  const auto& row = f.links.rows()[1];
  EXPECT_EQ(row.url, "http://h/d/");
  EXPECT_EQ(row.title, "D title");
  EXPECT_EQ(row.count, "7");
  EXPECT_EQ(row.image, 2 + 3 * MODE_CRAWL);
  EXPECT_EQ(f.links.rows()[2].url, "http://h/b/");

  EXPECT_TRUE(mover.MoveUp(doc));
  EXPECT_FALSE(mover.MoveUp(doc));  // the first row goes no higher
  EXPECT_EQ(doc.link_items[0].url, "http://h/d/");

  // A click with two rows selected moves nothing; the last row goes no lower.
  f.links.Select(0);
  f.links.Select(3);
  mover.LinkListClicked();
  EXPECT_FALSE(mover.MoveDown(doc));
  f.links.ClearSelection();
  f.links.Select(3);
  mover.LinkListClicked();
  EXPECT_FALSE(mover.MoveDown(doc));
  EXPECT_EQ(doc.link_items[3].url, "http://h/c/");
}

}  // namespace
