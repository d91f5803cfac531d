#include "marovine/document/refetch_queue.h"

#include <gtest/gtest.h>

#include "marovine/document/marovine_doc.h"
#include "tests/document/command_fixture.h"

namespace marovine {
namespace {

using testing::CommandFixture;

TEST(RefetchQueueTest, FilesJoinAsWaitingDownloadsUnlessTheirUrlIsListed) {
  CommandFixture f;
  f.Add("listed.jpg");
  const std::string listed_path = f.doc->download_items[0].local_path;
  const std::string again = f.box.Path("crawl/site/again.jpg");
  int added = QueueRefetches(*f.doc, {{"http://h/listed.jpg", f.box.Path("crawl/other.jpg")},
                                      {"http://h/site/again.jpg", again},
                                      {"http://h/no-path.jpg", ""},
                                      // A listed item holds this name.
                                      {"http://h/site/clash.jpg", listed_path}});
  EXPECT_EQ(added, 2);
  ASSERT_EQ(f.doc->download_items.size(), 3u);
  const DownloadItem& item = f.doc->download_items[1];
  EXPECT_EQ(item.url, "http://h/site/again.jpg");
  EXPECT_EQ(item.local_path, again);
  EXPECT_EQ(item.referer, "http://h/site/");
  EXPECT_EQ(item.state, DS_WAITING);
  EXPECT_NE(f.doc->download_items[2].local_path, listed_path);
  EXPECT_EQ(f.downloads.RowCount(), 3);
}

TEST(RefetchQueueTest, DuplicatesJoinWhenTheSettingsAllowThem) {
  CommandFixture f("[Ippan]\nDontSameUrl=0\n");
  f.Add("listed.jpg");
  EXPECT_EQ(QueueRefetches(*f.doc, {{"http://h/listed.jpg", f.box.Path("crawl/copy.jpg")}}), 1);
  EXPECT_EQ(f.doc->download_items.size(), 2u);
}

}  // namespace
}  // namespace marovine
