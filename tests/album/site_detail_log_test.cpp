#include "marovine/album/site_detail_log.h"

#include <gtest/gtest.h>

#include "marovine/album/album_list_file.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::testing::Sandbox;

TEST(SiteDetailLogTest, SiteNamesFollowTheStoredRule) {
  EXPECT_EQ(marovine::SiteLogName(""), "Normal_Download");
  EXPECT_EQ(marovine::SiteLogName("http://www.example.com/a/b.cgi?x=1,2<>"),
            "www.example.com_a_b.cgi_x=1_2__");
  // A name is never empty: it names a file.
  EXPECT_EQ(marovine::SiteLogName("http://"), "_");
  EXPECT_EQ(marovine::SiteDetailLogPath("/home/p/", "http://h/"), "/home/p/Log/h_.txt");
}

TEST(SiteDetailLogTest, RecordsAndFinishedPathsAreReadFromUtf8AndLegacyLogs) {
  Sandbox box;
  std::string utf8 =
      "[a.jpg]\nUrl=http://h/a.jpg\nRefer=http://h/\nMessage=正常に終了しました。\n"
      "FilePass=/store/a b=c.jpg\nModifiedDate=Mon\nFileSize=12\n\n"
      "[b.jpg]\nUrl=http://h/b.jpg\nMessage=タイムアウト\nFilePass=/store/b.jpg\n"
      "[c.jpg]\nMessage=正常に終了しました。\n";
  auto records = marovine::ReadSiteDetailLog(box.WriteFile("u.txt", utf8));
  ASSERT_TRUE(records);
  ASSERT_EQ(records->size(), 3u);
  EXPECT_EQ((*records)[0].name, "a.jpg");
  EXPECT_EQ((*records)[0].referer, "http://h/");
  EXPECT_EQ((*records)[0].file_size, "12");
  // A path holding "=" keeps everything after the key's "="; a record without
  // a path gives nothing to show.
  EXPECT_EQ(marovine::FinishedFilePaths(*records), std::vector<std::string>{"/store/a b=c.jpg"});

  // CP932 with CR LF, as the original platform wrote it.
  std::string legacy =
      "[d.jpg]\r\nUrl=http://h/d.jpg\r\nMessage=\x90\xB3\x8F\xED\x82\xC9\x8F\x49\x97\xB9\x82\xB5"
      "\x82\xDC\x82\xB5\x82\xBD\x81\x42\r\nFilePass=/store/d.jpg\r\n";
  records = marovine::ReadSiteDetailLog(box.WriteFile("l.txt", legacy));
  ASSERT_TRUE(records);
  EXPECT_EQ(marovine::FinishedFilePaths(*records), std::vector<std::string>{"/store/d.jpg"});

  EXPECT_FALSE(marovine::ReadSiteDetailLog(box.Path("missing.txt")));
}

TEST(AlbumListFileTest, EachRunGetsItsOwnFileRemovedAfterwards) {
  Sandbox box;
  std::string path;
  {
    auto first = marovine::AlbumListFile::Create(box.path());
    auto second = marovine::AlbumListFile::Create(box.path());
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->path(), second->path());
    EXPECT_TRUE(first->Add("/p/a.jpg"));
    EXPECT_FALSE(first->Add("/p/line\nbreak.jpg"));
    EXPECT_TRUE(first->Add("/p/b.jpg"));
    EXPECT_TRUE(first->Close());
    EXPECT_EQ(first->count(), 2);
    EXPECT_EQ(platform::ReadWholeFile(first->path()).value_or(""), "/p/a.jpg\n/p/b.jpg\n");
    path = first->path();
  }
  EXPECT_FALSE(platform::FileExists(path));
  EXPECT_FALSE(marovine::AlbumListFile::Create(box.Path("no/such/folder")));
}

}  // namespace
