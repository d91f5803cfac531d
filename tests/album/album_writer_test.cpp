#include "marovine/album/album_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "marovine/album/album_commands.h"
#include "marovine/album/jpeg_codec.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/album/golden.h"
#include "tests/album/test_pictures.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::AlbumRunResult;
using marovine::AlbumSettings;
using marovine::testing::ExpectMatchesGolden;
using marovine::testing::Sandbox;

std::string Name(int i, const char* extension) {
  char name[16];
  std::snprintf(name, sizeof name, "p%02d.%s", i, extension);
  return name;
}

// Eleven small JPEGs, one GIF (not decoded: it gets no thumbnail), a text file
// and a sub-folder, which the album passes over.
void FillPictureFolder(const Sandbox& box, const std::string& folder) {
  for (int i = 1; i <= 11; ++i) {
    auto colour = static_cast<std::uint8_t>(i * 20);
    ASSERT_TRUE(marovine::WriteJpegRgb(box.Path(folder + Name(i, "jpg")),
                                       marovine::testing::SolidImage(40, 30, colour, 0, 0), true,
                                       90));
  }
  box.WriteFile(folder + Name(12, "gif"), "GIF89a");
  box.WriteFile(folder + "notes.txt", "not a picture");
  box.WriteFile(folder + "sub.jpg/inside.jpg", "a folder named like a picture");
}

std::string Read(const Sandbox& box, const std::string& name) {
  return marovine::testing::ReplaceAll(box.ReadFile(name), box.path(), "@SANDBOX@/");
}

struct CountingProgress : marovine::AlbumProgress {
  int cancel_after = -1;
  int advanced = 0;
  std::vector<std::string> messages;
  void Advanced(int done, int) override {
    advanced = done;
    if (done == cancel_after) RequestCancel();
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

TEST(FolderAlbumTest, TwelvePicturesInRowsOfFiveWithThumbnailsAndViewPages) {
  Sandbox box;
  FillPictureFolder(box, "pics/");
  CountingProgress progress;
  std::string album;
  ASSERT_EQ(marovine::MakeFolderAlbum(box.Path("pics"), AlbumSettings{}, progress, &album),
            AlbumRunResult::kFinished);
  EXPECT_EQ(album, box.Path("pics/HtmlAlbum.html"));
  EXPECT_EQ(progress.advanced, 14);  // every entry was listed; the run passed two over
  ExpectMatchesGolden(Read(box, "pics/HtmlAlbum.html"), "table/HtmlAlbum.html");
  ExpectMatchesGolden(Read(box, "pics/thumb/p01_link.html"), "table/p01_link.html");
  ExpectMatchesGolden(Read(box, "pics/thumb/p02_link.html"), "table/p02_link.html");
  ExpectMatchesGolden(Read(box, "pics/thumb/p12_link.html"), "table/p12_link.html");

  for (int i = 1; i <= 11; ++i) {
    char thumbnail_name[32];
    std::snprintf(thumbnail_name, sizeof thumbnail_name, "pics/thumb/p%02d_tn.jpg", i);
    auto thumbnail = marovine::ReadJpegRgb(box.Path(thumbnail_name));
    ASSERT_TRUE(thumbnail) << i;
    EXPECT_EQ(thumbnail->width, 100u);
    EXPECT_EQ(thumbnail->height, 75u);
  }
  EXPECT_FALSE(platform::FileExists(box.Path("pics/thumb/p12_tn.gif")));
  EXPECT_FALSE(platform::FileExists(box.Path("pics/thumb/notes_link.html")));
}

TEST(FolderAlbumTest, SecondRunKeepsExistingThumbnailsAndLeavesOutTheirHeight) {
  Sandbox box;
  FillPictureFolder(box, "pics/");
  CountingProgress progress;
  ASSERT_EQ(marovine::MakeFolderAlbum(box.Path("pics"), AlbumSettings{}, progress),
            AlbumRunResult::kFinished);
  box.WriteFile("pics/thumb/p01_tn.jpg", "kept as it is");
  ASSERT_EQ(marovine::MakeFolderAlbum(box.Path("pics/"), AlbumSettings{}, progress),
            AlbumRunResult::kFinished);
  EXPECT_EQ(box.ReadFile("pics/thumb/p01_tn.jpg"), "kept as it is");
  ExpectMatchesGolden(Read(box, "pics/HtmlAlbum.html"), "table/HtmlAlbum_second_run.html");
}

TEST(FolderAlbumTest, FrameLayoutWritesFrameMenuAndViewPages) {
  Sandbox box;
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
    ASSERT_TRUE(marovine::WriteJpegRgb(box.Path(std::string("pics/") + name),
                                       marovine::testing::SolidImage(200, 100, 0, 90, 0), true,
                                       90));
  }
  AlbumSettings settings;
  settings.all_view = 0;
  settings.menu_view = 1;
  settings.thumb_width = 80;
  CountingProgress progress;
  ASSERT_EQ(marovine::MakeFolderAlbum(box.Path("pics"), settings, progress),
            AlbumRunResult::kFinished);
  ExpectMatchesGolden(Read(box, "pics/HtmlAlbum.html"), "frames/HtmlAlbum.html");
  ExpectMatchesGolden(Read(box, "pics/HtmlAlbum_menu.html"), "frames/HtmlAlbum_menu.html");
  ExpectMatchesGolden(Read(box, "pics/HtmlAlbum_view.html"), "frames/HtmlAlbum_view.html");
  ExpectMatchesGolden(Read(box, "pics/thumb/b_link.html"), "frames/b_link.html");
}

TEST(FolderAlbumTest, DirectLinksWithoutThumbnailsOrViewPages) {
  Sandbox box;
  ASSERT_TRUE(marovine::WriteJpegRgb(box.Path("pics/a b#1'.jpg"),
                                     marovine::testing::SolidImage(8, 8, 1, 2, 3), true, 90));
  AlbumSettings settings;
  settings.make_thumbnail = 0;
  settings.dont_make_html_link = 1;
  CountingProgress progress;
  ASSERT_EQ(marovine::MakeFolderAlbum(box.Path("pics"), settings, progress),
            AlbumRunResult::kFinished);
  std::string page = box.ReadFile("pics/HtmlAlbum.html");
  // Characters that would end the attribute or turn into a fragment are escaped.
  EXPECT_NE(page.find("<A href='a%20b%231%27.jpg' target='_blank'><IMG src='a%20b%231%27.jpg' "
                      "ALT='a%20b%231%27.jpg' width='100'></A>"),
            std::string::npos)
      << page;
  EXPECT_FALSE(platform::IsFolder(box.Path("pics/thumb")));
}

TEST(FolderAlbumTest, CancelKeepsThePicturesDoneSoFarInAFinishedPage) {
  Sandbox box;
  FillPictureFolder(box, "pics/");
  CountingProgress progress;
  progress.cancel_after = 4;  // "notes.txt" comes first and is passed over
  ASSERT_EQ(marovine::MakeFolderAlbum(box.Path("pics"), AlbumSettings{}, progress),
            AlbumRunResult::kCancelled);
  std::string page = box.ReadFile("pics/HtmlAlbum.html");
  EXPECT_NE(page.find("p03_link.html"), std::string::npos);
  EXPECT_EQ(page.find("p04_link.html"), std::string::npos);
  EXPECT_NE(page.find("</TABLE>\n</P>\n</BODY>\n</HTML>\n"), std::string::npos);
  // The last view page done was closed by the finish, without a Next link.
  std::string last = box.ReadFile("pics/thumb/p03_link.html");
  EXPECT_NE(last.find("Preview"), std::string::npos);
  EXPECT_EQ(last.find("Next"), std::string::npos);
}

TEST(FolderAlbumTest, MissingOrUnwritableFolderIsNotStarted) {
  Sandbox box;
  CountingProgress progress;
  EXPECT_EQ(marovine::MakeFolderAlbum(box.Path("none"), AlbumSettings{}, progress),
            AlbumRunResult::kNotStarted);
  FillPictureFolder(box, "pics/");
  box.WriteFile("pics/HtmlAlbum.html/blocker", "a folder where the album would go");
  EXPECT_EQ(marovine::MakeFolderAlbum(box.Path("pics"), AlbumSettings{}, progress),
            AlbumRunResult::kNotStarted);
  EXPECT_EQ(progress.messages,
            std::vector<std::string>{std::string(marovine::kAlbumNotWrittenMessage) + "\n" +
                                     box.Path("pics/HtmlAlbum.html")});
}

// The album page cannot be written once the pictures are in (the disk filled
// up, the folder was taken away): the run is not reported as finished.
TEST(FolderAlbumTest, AnAlbumThatCannotBeFinishedIsNotWritten) {
  struct BlockingProgress : CountingProgress {
    std::string album;
    void Advanced(int done, int count) override {
      CountingProgress::Advanced(done, count);
      if (done != 1) return;
      std::filesystem::remove(album);
      std::filesystem::create_directories(album + "/blocker");
    }
  };
  for (bool cancelled : {false, true}) {
    Sandbox box;
    FillPictureFolder(box, "pics/");
    BlockingProgress progress;
    progress.album = box.Path("pics/HtmlAlbum.html");
    if (cancelled) progress.cancel_after = 2;
    EXPECT_EQ(marovine::MakeFolderAlbum(box.Path("pics"), AlbumSettings{}, progress),
              AlbumRunResult::kNotWritten)
        << cancelled;
    ASSERT_EQ(progress.messages.size(), 1u);
    EXPECT_TRUE(progress.messages[0].starts_with(marovine::kAlbumNotWrittenMessage));
  }
}

TEST(AlbumWriterTest, ThumbnailFolderWithColonLinksPicturesDirectly) {
  Sandbox box;
  std::string picture = box.Path("p.jpg");
  ASSERT_TRUE(
      marovine::WriteJpegRgb(picture, marovine::testing::SolidImage(8, 8, 1, 2, 3), true, 90));
  AlbumSettings settings;
  settings.thumb_folder = "c:thumb";
  marovine::AlbumWriter writer;
  ASSERT_TRUE(writer.Start(marovine::MakeAlbumJob(settings, box.Path("album/a.html"))));
  writer.AddPicture(picture);
  EXPECT_TRUE(writer.Finish());
  EXPECT_NE(
      box.ReadFile("album/a.html").find("<A href='../p.jpg' target='_blank'><IMG src='../p.jpg'"),
      std::string::npos);
}

TEST(AlbumWriterTest, PictureWithoutAThumbnailIsShownItself) {
  Sandbox box;
  box.WriteFile("pics/fake.jpg", "<html>not found</html>");
  marovine::AlbumWriter writer;
  ASSERT_TRUE(writer.Start(marovine::MakeAlbumJob(AlbumSettings{}, box.Path("pics/album.html"))));
  writer.AddPicture(box.Path("pics/fake.jpg"));
  EXPECT_TRUE(writer.Finish());
  EXPECT_FALSE(platform::FileExists(box.Path("pics/thumb/fake_tn.jpg")));
  EXPECT_NE(box.ReadFile("pics/album.html")
                .find("<A href='thumb/fake_link.html' target='_blank'><IMG src='fake.jpg' "
                      "ALT='thumb/fake_link.html' width='100'></A>"),
            std::string::npos);
}

TEST(AlbumWriterTest, PicturesSharingANameOrListedTwiceGetTheirOwnViewPages) {
  Sandbox box;
  ASSERT_TRUE(marovine::WriteJpegRgb(box.Path("pics/a.jpg"),
                                     marovine::testing::SolidImage(8, 8, 1, 2, 3), true, 90));
  box.WriteFile("pics/a.gif", "GIF89a");
  marovine::AlbumWriter writer;
  ASSERT_TRUE(writer.Start(marovine::MakeAlbumJob(AlbumSettings{}, box.Path("pics/album.html"))));
  writer.AddPicture(box.Path("pics/a.gif"));
  writer.AddPicture(box.Path("pics/a.jpg"));
  writer.AddPicture(box.Path("pics/a.jpg"));
  EXPECT_TRUE(writer.Finish());
  std::string album = box.ReadFile("pics/album.html");
  EXPECT_NE(album.find("<A href='thumb/a_link.html' target='_blank'><IMG src='a.gif'"),
            std::string::npos);
  EXPECT_NE(album.find("<A href='thumb/a_jpg_link.html' target='_blank'><IMG src='thumb/a_tn.jpg'"),
            std::string::npos);
  EXPECT_NE(album.find("<A href='thumb/a_jpg_2_link.html'"), std::string::npos);
  std::string first = box.ReadFile("pics/thumb/a_link.html");
  EXPECT_NE(first.find("src='../a.gif'"), std::string::npos);
  EXPECT_NE(first.find("<a href='a_jpg_link.html'>Next"), std::string::npos);
  std::string second = box.ReadFile("pics/thumb/a_jpg_link.html");
  EXPECT_NE(second.find("src='../a.jpg'"), std::string::npos);
  EXPECT_NE(second.find("<a href='a_link.html'>\u2190Preview</a>"), std::string::npos);
  EXPECT_NE(second.find("<a href='a_jpg_2_link.html'>Next"), std::string::npos);
  EXPECT_NE(box.ReadFile("pics/thumb/a_jpg_2_link.html").find("<a href='a_jpg_link.html'>"),
            std::string::npos);
}

}  // namespace
