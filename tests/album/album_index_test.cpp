#include "marovine/album/album_index.h"

#include <gtest/gtest.h>

#include "marovine/album/album_commands.h"
#include "marovine/album/album_settings.h"
#include "marovine/album/jpeg_codec.h"
#include "marovine/album/relative_link.h"
#include "marovine/album/site_detail_log.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "tests/album/golden.h"
#include "tests/album/test_pictures.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::testing::Sandbox;

TEST(RelativeLinkTest, ClimbsAndDescendsAcrossFolderDepths) {
  using marovine::RelativeLink;
  EXPECT_EQ(RelativeLink("/d/album.html", "/d/p.jpg"), "p.jpg");
  EXPECT_EQ(RelativeLink("/d/album.html", "/d/thumb/p_tn.jpg"), "thumb/p_tn.jpg");
  EXPECT_EQ(RelativeLink("/d/thumb/p_link.html", "/d/p.jpg"), "../p.jpg");
  EXPECT_EQ(RelativeLink("/d/thumb/p_link.html", "/d/thumb/q_link.html"), "q_link.html");
  EXPECT_EQ(RelativeLink("/d/x/page.html", "/d/y/z/p.jpg"), "../y/z/p.jpg");
  EXPECT_EQ(RelativeLink("/d/a/b/c/page.html", "/d/e/p.jpg"), "../../../e/p.jpg");
  EXPECT_EQ(RelativeLink("/d/Thumb/page.html", "/d/thumb/p.jpg"), "../thumb/p.jpg");  // case counts
  EXPECT_EQ(RelativeLink("/d/AlbumIndex.html", "/d/thumb/site.html"), "thumb/site.html");
  EXPECT_EQ(RelativeLink("x/a.html", "y/b.jpg"), "../y/b.jpg");
  EXPECT_EQ(RelativeLink("a.html", "/abs/b.jpg"), "/abs/b.jpg");
  EXPECT_EQ(RelativeLink("rel/thumb/site.html", "/abs/pics/b.jpg"), "/abs/pics/b.jpg");
  EXPECT_EQ(RelativeLink("/abs/album.html", "rel/b.jpg"), "rel/b.jpg");
}

TEST(AlbumIndexTest, ExistingSiteKeepsItsPlaceAndNewSitesGoBeforeTheEndMarker) {
  Sandbox box;
  std::string index = box.Path("store/AlbumIndex.html");
  ASSERT_TRUE(
      marovine::UpdateAlbumIndex(index, "first A", box.Path("store/thumb/a.example_.html")));
  ASSERT_TRUE(marovine::UpdateAlbumIndex(index, "B", box.Path("store/thumb/b.example_.html")));
  // A link that contains A's link must not be taken for A's entry.
  ASSERT_TRUE(marovine::UpdateAlbumIndex(index, "C", box.Path("store/thumb/xa.example_.html")));
  ASSERT_TRUE(
      marovine::UpdateAlbumIndex(index, "second A", box.Path("store/thumb/a.example_.html")));
  marovine::testing::ExpectMatchesGolden(box.ReadFile("store/AlbumIndex.html"),
                                         "index/AlbumIndex.html");
}

TEST(AlbumIndexTest, IndexesFromTheOriginalPlatformAreUpdatedInUtf8) {
  Sandbox box;
  std::string index =
      box.WriteFile("AlbumIndex.html",
                    "<HTML>\r\n<HEAD><META HTTP-EQUIV='Content-Type' CONTENT='text/html; "
                    "charset=Shift_JIS'>\r\n<!-- thumb/s.html contents -->\r\n<FONT "
                    "size='3'>\x96\xB3\x91\xE8</FONT>\r\n"
                    "<!-- thumb/t.html contents -->\r\n<FONT size='3'>t</FONT>\r\n"
                    "<!--This line is the end of index-->\r\n</BODY>\r\n</HTML>\r\n");
  ASSERT_TRUE(marovine::UpdateAlbumIndex(index, "\xE6\x96\xB0", box.Path("thumb/s.html")));
  EXPECT_EQ(
      box.ReadFile("AlbumIndex.html"),
      "<HTML>\n<HEAD><META HTTP-EQUIV='Content-Type' CONTENT='text/html; "
      "charset=UTF-8'>\n<!-- thumb/s.html contents -->\n<FONT size='3'><A href='thumb/s.html' "
      "target='_blank'>\xE6\x96\xB0</FONT><BR>\n<!-- thumb/t.html contents -->\n<FONT "
      "size='3'>t</FONT>\n<!--This line is the end of index-->\n</BODY>\n</HTML>\n");
  box.WriteFile("blocked/AlbumIndex.html/x", "");
  EXPECT_FALSE(marovine::UpdateAlbumIndex(box.Path("blocked/AlbumIndex.html"), "x",
                                          box.Path("blocked/a.html")));
}

struct RecordingProgress : marovine::AlbumProgress {
  std::vector<std::string> messages;
  int runs = 0;
  bool cancel_first_run = false;
  void Started(int) override {
    ++runs;
    if (cancel_first_run) RequestCancel();
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

std::string DetailLogSection(const std::string& path, const std::string& message) {
  return "[" + platform::NameOf(path) + "]\nUrl=http://x/" + platform::NameOf(path) +
         "\nRefer=http://x/\nMessage=" + message + "\nFilePass=" + path +
         "\nModifiedDate=\nFileSize=10\n";
}

TEST(SiteAlbumTest, AlbumOfSelectedSitesComesFromTheirDetailLogs) {
  Sandbox box;
  std::string home = box.Path("home/");
  std::string store = box.Path("store/www.example.com_pics_/");
  std::string log;
  for (const char* name : {"one.jpg", "two.jpg", "three.jpg"}) {
    ASSERT_TRUE(marovine::WriteJpegRgb(store + name, marovine::testing::SolidImage(8, 8, 9, 9, 9),
                                       true, 90));
  }
  log += DetailLogSection(store + "one.jpg", "正常に終了しました。");
  log += DetailLogSection(store + "two.jpg", "タイムアウトしました。");
  log += DetailLogSection(store + "three.jpg", "正常に終了しました。");
  box.WriteFile("home/Log/www.example.com_pics_.txt", log);
  EXPECT_EQ(marovine::SiteDetailLogPath(home + "Log/", "http://www.example.com/pics/"),
            box.Path("home/Log/www.example.com_pics_.txt"));

  marovine::AlbumSite site{"http://www.example.com/pics/", "Pics <&>", store, 2, 1234};
  marovine::AlbumSite missing{"http://nolog.example/", "", store, 0, 0};
  RecordingProgress progress;
  // The selection arrives in list order and is worked through from the last.
  EXPECT_EQ(
      marovine::MakeSelectedSiteAlbums({site, missing}, home, marovine::AlbumSettings{}, progress),
      marovine::AlbumRunResult::kFinished);
  EXPECT_EQ(progress.messages, std::vector<std::string>{marovine::kSiteLogMissingMessage});

  std::string album = box.ReadFile("store/www.example.com_pics_/thumb/www.example.com_pics_.html");
  EXPECT_NE(album.find("<A href='http://www.example.com/pics/' target=_blank>Pics &lt;&amp;&gt;"),
            std::string::npos);
  EXPECT_NE(album.find("one_link.html"), std::string::npos);
  EXPECT_EQ(album.find("two_link.html"), std::string::npos);
  EXPECT_NE(album.find("three_link.html"), std::string::npos);
  std::string index = box.ReadFile("store/www.example.com_pics_/AlbumIndex.html");
  EXPECT_NE(
      index.find("<A href='thumb/www.example.com_pics_.html' target='_blank'><strong> Title : "
                 "</strong> Pics &lt;&amp;&gt; <strong>Url : </strong> "
                 "http://www.example.com/pics/ <strong>File : </strong> 2 RandomNum : "
                 "1234<BR></FONT><BR>"),
      std::string::npos)
      << index;

  RecordingProgress none;
  EXPECT_EQ(marovine::MakeSelectedSiteAlbums({}, home, marovine::AlbumSettings{}, none),
            marovine::AlbumRunResult::kNotStarted);
  EXPECT_EQ(none.messages, std::vector<std::string>{marovine::kNoSiteSelectedMessage});

  // A cancel ends the command: the earlier site in the list is not reached.
  marovine::AlbumSite other{"http://other.example/", "", box.Path("other/"), 0, 0};
  box.WriteFile("home/Log/other.example_.txt",
                DetailLogSection(store + "one.jpg", "正常に終了しました。"));
  RecordingProgress cancelling;
  cancelling.cancel_first_run = true;
  EXPECT_EQ(
      marovine::MakeSelectedSiteAlbums({other, site}, home, marovine::AlbumSettings{}, cancelling),
      marovine::AlbumRunResult::kCancelled);
  EXPECT_EQ(cancelling.runs, 1);
  EXPECT_FALSE(platform::FileExists(box.Path("other/thumb/other.example_.html")));
}

TEST(SiteAlbumTest, AutomaticAlbumTakesTheFinishedPathsAndHonoursTheSettings) {
  Sandbox box;
  marovine::AlbumSettings settings;
  EXPECT_FALSE(marovine::ShouldMakeAutomaticAlbum(settings, 100));
  settings.make_album_after_download = 1;
  EXPECT_FALSE(marovine::ShouldMakeAutomaticAlbum(settings, 19));
  EXPECT_TRUE(marovine::ShouldMakeAutomaticAlbum(settings, 20));

  ASSERT_TRUE(marovine::WriteJpegRgb(box.Path("s/a.jpg"),
                                     marovine::testing::SolidImage(8, 8, 9, 9, 9), true, 90));
  marovine::AlbumSite site{"", "", box.Path("s/"), 1, 0};
  RecordingProgress progress;
  EXPECT_EQ(marovine::MakeAutomaticSiteAlbum(site, {box.Path("s/a.jpg"), box.Path("s/gone.jpg")},
                                             settings, progress),
            marovine::AlbumRunResult::kFinished);
  std::string album = box.ReadFile("s/thumb/Normal_Download.html");
  EXPECT_NE(album.find("target=_blank>無題"), std::string::npos);
  EXPECT_NE(album.find("<IMG src='a_tn.jpg' ALT='a_link.html' width='100' height='100'>"),
            std::string::npos)
      << album;
  EXPECT_TRUE(platform::FileExists(box.Path("s/AlbumIndex.html")));
}

// An index that cannot be written (here a folder stands where it goes) is a
// failure of the command, told to the user, though the albums are made.
TEST(SiteAlbumTest, AnIndexThatCannotBeWrittenIsNotReportedAsFinished) {
  Sandbox box;
  ASSERT_TRUE(marovine::WriteJpegRgb(box.Path("s/a.jpg"),
                                     marovine::testing::SolidImage(8, 8, 9, 9, 9), true, 90));
  box.WriteFile("s/AlbumIndex.html/blocker", "a folder where the index would go");
  marovine::AlbumSite site{"http://h.example/", "", box.Path("s/"), 1, 0};
  RecordingProgress automatic;
  EXPECT_EQ(marovine::MakeAutomaticSiteAlbum(site, {box.Path("s/a.jpg")}, marovine::AlbumSettings{},
                                             automatic),
            marovine::AlbumRunResult::kNotWritten);
  EXPECT_TRUE(platform::FileExists(box.Path("s/thumb/h.example_.html")));

  // Of the selected sites, the one that failed is told and the other is made.
  const std::string home = box.Path("home/");
  marovine::AlbumSite good{"http://good.example/", "", box.Path("g/"), 1, 0};
  box.WriteFile("home/Log/h.example_.txt",
                DetailLogSection(box.Path("s/a.jpg"), "正常に終了しました。"));
  box.WriteFile("home/Log/good.example_.txt",
                DetailLogSection(box.Path("s/a.jpg"), "正常に終了しました。"));
  RecordingProgress selected;
  EXPECT_EQ(
      marovine::MakeSelectedSiteAlbums({good, site}, home, marovine::AlbumSettings{}, selected),
      marovine::AlbumRunResult::kNotWritten);
  EXPECT_EQ(selected.messages,
            std::vector<std::string>{std::string(marovine::kAlbumNotWrittenMessage) + "\n" +
                                     box.Path("s/AlbumIndex.html")});
  EXPECT_EQ(selected.runs, 2);
  EXPECT_TRUE(platform::FileExists(box.Path("g/AlbumIndex.html")));
}

TEST(AlbumSettingsTest, KeysAreReadWithDefaultsAndDecideTheJob) {
  Sandbox box;
  platform::Profile profile(box.Path("marovine.ini"));
  marovine::AlbumJob job = marovine::MakeAlbumJob(marovine::LoadAlbumSettings(profile), "/a.html");
  EXPECT_EQ(job.layout, marovine::AlbumLayout::kTable);
  EXPECT_TRUE(job.make_thumbnails);
  EXPECT_TRUE(job.make_view_pages);
  EXPECT_EQ(job.thumbnail_width, 100);
  EXPECT_EQ(job.thumbnail_folder, "thumb");
  EXPECT_EQ(job.columns, 5);

  box.WriteFile("marovine.ini",
                "[MarovineHTMLAlbum]\nAllView=0\nMenuView=1\nMakeHtmlLink=1\nDontMakeHtmlLink=1\n"
                "ThumbFolder=small\nThumbWidth=64\nColam=3\nAlubumFileNum=7\n");
  marovine::AlbumSettings settings = marovine::LoadAlbumSettings(profile);
  EXPECT_EQ(settings.album_file_num, 7);
  job = marovine::MakeAlbumJob(settings, "/a.html");
  EXPECT_EQ(job.layout, marovine::AlbumLayout::kFrames);
  EXPECT_FALSE(job.make_view_pages);  // "link directly" wins
  EXPECT_EQ(job.thumbnail_folder, "small");
  EXPECT_EQ(job.columns, 3);

  settings.all_view = 1;  // the table wins over the frames
  EXPECT_EQ(marovine::MakeAlbumJob(settings, "/a.html").layout, marovine::AlbumLayout::kTable);
  ASSERT_TRUE(marovine::SaveAlbumSettings(profile, settings));
  EXPECT_EQ(profile.GetString("MarovineHTMLAlbum", "AllView", ""), "1");
  EXPECT_EQ(marovine::LoadAlbumSettings(profile).thumb_width, 64);
}

}  // namespace
