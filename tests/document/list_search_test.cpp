#include "marovine/document/list_search.h"

#include <gtest/gtest.h>

#include "marovine/document/download_ordering.h"
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

// The rows must always show the items they stand for.
void ExpectRowsFollowItems(const CommandFixture& f) {
  ASSERT_EQ(f.downloads.RowCount(), static_cast<int>(f.doc->download_items.size()));
  for (std::size_t i = 0; i < f.doc->download_items.size(); ++i) {
    const auto& item = f.doc->download_items[i];
    EXPECT_EQ(f.downloads.rows()[i].cells[DownloadRowModel::kUrl], item.url) << i;
    EXPECT_EQ(f.downloads.rows()[i].image, DownloadImageForState(item.state)) << i;
  }
}

TEST(ListSearchTest, FindNextGoesThroughLinksBeforeDownloadsAndOffersARestart) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  f.Add("cat/");
  f.Add("dog/");
  f.Add("cats/");
  f.Add("cat.jpg");
  f.Add("x.jpg");
  f.Add("cat2.jpg");
  doc.link_items[1].title = "a cat";
  doc.link_items[0].random_number = 1;
  doc.link_items[1].random_number = 77;
  doc.link_items[2].random_number = 2;

  ListSearch search;
  SearchSettings settings;
  settings.text = "cat";
  settings.links = settings.link_url = settings.downloads = settings.download_url = true;
  f.ui.QueueSearchSettings(settings);
  search.SearchCommand(doc, f.ui);
  EXPECT_EQ(f.ui.dialog_log().back(), "search ");
  EXPECT_EQ(search.next_link, 1);
  EXPECT_TRUE(search.FindNext(doc, f.ui));
  EXPECT_EQ(f.links.top_row(), 2);
  EXPECT_TRUE(search.FindNext(doc, f.ui));
  EXPECT_EQ(search.next_download, 1);
  EXPECT_TRUE(search.FindNext(doc, f.ui));
  EXPECT_EQ(f.downloads.top_row(), 2);
  // Nothing left: No keeps the cursors at the end, so the question comes again.
  EXPECT_FALSE(search.FindNext(doc, f.ui));
  EXPECT_FALSE(search.FindNext(doc, f.ui));
  EXPECT_EQ(f.ui.questions(), (std::vector<std::string>{kSearchEndQuestion, kSearchEndQuestion}));
  f.ui.QueueAnswer(true);
  EXPECT_FALSE(search.FindNext(doc, f.ui));
  EXPECT_EQ(search.next_link, 0);
  EXPECT_EQ(search.next_download, 0);

  // The dialog opens with the last values; title and random number match too.
  settings = search.settings;
  settings.link_url = false;
  settings.link_title = true;
  f.ui.QueueSearchSettings(settings);
  search.SearchCommand(doc, f.ui);
  EXPECT_EQ(f.ui.dialog_log().back(), "search cat");
  EXPECT_EQ(search.next_link, 2);
  search.settings = SearchSettings{};
  search.settings.text = "77";
  search.settings.links = search.settings.link_random = true;
  search.next_link = 0;
  EXPECT_TRUE(search.FindNext(doc, f.ui));
  EXPECT_EQ(search.next_link, 2);
}

TEST(ListSearchTest, ReplaceChangesTheFirstOccurrenceOfEachChosenField) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  f.Add("aaa/");
  f.Add("aaa.jpg");
  f.Add("ran.jpg");
  doc.download_items[1].state = DS_RUNNING;
  ReplaceRequest request;
  request.from = "a";
  request.to = "b";
  request.links = request.link_url = request.downloads = request.download_url = true;
  f.ui.QueueReplaceRequest(request);
  ReplaceCommand(doc, f.ui);
  EXPECT_EQ(doc.link_items[0].url, "http://h/baa/");
  EXPECT_EQ(f.links.rows()[0].url, "http://h/baa/");
  EXPECT_EQ(doc.download_items[0].url, "http://h/baa.jpg");
  EXPECT_EQ(f.downloads.rows()[0].cells[DownloadRowModel::kUrl], "http://h/baa.jpg");
  EXPECT_EQ(doc.download_items[1].url, "http://h/ran.jpg");  // its transfer runs
  EXPECT_EQ(doc.download_items[0].local_path, f.box.Path("direct/aaa.jpg"));
}

TEST(ListSearchTest, ReplaceNeverSendsAPathOutOfItsFolderOrOntoAnotherItemsFile) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  f.Add("site/");
  f.Add("first.jpg");
  f.Add("second.jpg");
  ReplaceRequest request;
  request.links = request.link_folder = request.downloads = request.download_path = true;
  request.from = "direct/";
  request.to = "direct/../../";
  EXPECT_EQ(ReplaceInLists(doc, request), 0);
  request.from = "crawl";
  request.to = "crawl/..";
  EXPECT_EQ(ReplaceInLists(doc, request), 0);
  request.from = "first";
  request.to = "second";
  EXPECT_EQ(ReplaceInLists(doc, request), 0);
  EXPECT_EQ(doc.download_items[0].local_path, f.box.Path("direct/first.jpg"));
  EXPECT_EQ(doc.link_items[0].folder, f.box.Path("crawl/"));

  // A plain rename stays possible, and the old name is free again.
  request.from = "first";
  request.to = "third";
  EXPECT_EQ(ReplaceInLists(doc, request), 1);
  EXPECT_EQ(doc.download_items[0].local_path, f.box.Path("direct/third.jpg"));
  EXPECT_FALSE(doc.LocalPathHeld(f.box.Path("direct/first.jpg")));
  request.from = "crawl/";
  request.to = "crawl/sub/";
  EXPECT_EQ(ReplaceInLists(doc, request), 1);
  EXPECT_EQ(doc.link_items[0].folder, f.box.Path("crawl/sub/"));
}

TEST(DownloadOrderingTest, SwapsCarryRowsImagesAndSlots) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  for (const char* name : {"0.jpg", "1.jpg", "2.jpg"}) f.Add(name);
  doc.download_items[0].state = DS_RUNNING;
  doc.download_items[2].state = DS_ERROR;
  f.downloads.SetImage(IMAGE_RUNNING, 0);
  f.downloads.SetImage(IMAGE_ERROR, 2);
  auto& slots = CrawlSchedulerTestAccess::Slots(doc.crawl());
  slots[3].item_index = 0;
  SwapDownloadItems(doc, 0, 2);
  EXPECT_EQ(DownloadUrls(doc),
            (std::vector<std::string>{"http://h/2.jpg", "http://h/1.jpg", "http://h/0.jpg"}));
  EXPECT_EQ(slots[3].item_index, 2);
  ExpectRowsFollowItems(f);
}

TEST(DownloadOrderingTest, FolderOrderGroupsFoldersStablyWithProgress) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  for (const char* name : {"a/1.jpg", "b/1.jpg", "a/2.jpg", "c/1.jpg", "b/2.jpg", "a/3.jpg"}) {
    f.Add(name);
  }
  OrderDownloadsByFolder(doc, f.ui);
  EXPECT_EQ(DownloadUrls(doc),
            (std::vector<std::string>{"http://h/a/1.jpg", "http://h/a/2.jpg", "http://h/a/3.jpg",
                                      "http://h/b/1.jpg", "http://h/b/2.jpg", "http://h/c/1.jpg"}));
  ExpectRowsFollowItems(f);
  EXPECT_EQ(f.ui.status_history(1).front(), "14 % done..");  // 1 × 100 ÷ 7
  EXPECT_EQ(f.ui.StatusText(1), "");
  EXPECT_FALSE(f.ui.wait_cursor());
}

TEST(DownloadOrderingTest, ShuffleUsesTheDrawnPairsAndLeavesOneItemAlone) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  f.Add("only.jpg");
  ShuffleDownloads(doc, f.ui, [] { return 32767; });
  EXPECT_EQ(DownloadUrls(doc), (std::vector<std::string>{"http://h/only.jpg"}));
  for (const char* name : {"1.jpg", "2.jpg", "3.jpg"}) f.Add(name);
  // Draws of 0 and 16384 pick items 0 and 2 of four: (4 × r × 2) ÷ 65535;
  // the other draws exchange item 0 with itself.
  int draws = 0;
  ShuffleDownloads(doc, f.ui, [&] { return draws++ == 1 ? 16384 : 0; });
  EXPECT_EQ(draws, 8);
  EXPECT_EQ(DownloadUrls(doc), (std::vector<std::string>{"http://h/2.jpg", "http://h/1.jpg",
                                                         "http://h/only.jpg", "http://h/3.jpg"}));
  ExpectRowsFollowItems(f);
  EXPECT_EQ(f.ui.status_history(1).back(), "");
  EXPECT_EQ(f.ui.status_history(1)[f.ui.status_history(1).size() - 2], "100 % done..");
}

TEST(DownloadOrderingTest, SpreadAlternatesFoldersAndCountsPrefixesAsSeen) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  for (const char* name : {"a/1.jpg", "a/2.jpg", "b/1.jpg", "b/2.jpg"}) f.Add(name);
  SpreadDownloadsOverFolders(doc, f.ui);
  EXPECT_EQ(DownloadUrls(doc), (std::vector<std::string>{"http://h/a/1.jpg", "http://h/b/1.jpg",
                                                         "http://h/a/2.jpg", "http://h/b/2.jpg"}));
  ExpectRowsFollowItems(f);

  // "pic" is part of the seen "pics": its item is not brought forward.
  CommandFixture g;
  for (const char* name : {"pics/1.jpg", "pics/2.jpg", "pic/1.jpg"}) g.Add(name);
  SpreadDownloadsOverFolders(*g.doc, g.ui);
  EXPECT_EQ(DownloadUrls(*g.doc),
            (std::vector<std::string>{"http://h/pics/1.jpg", "http://h/pics/2.jpg",
                                      "http://h/pic/1.jpg"}));
}

}  // namespace
