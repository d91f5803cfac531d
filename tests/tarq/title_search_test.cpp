#include "tarq/title_search.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using marovine::tarq::FileNameFromTitle;

TEST(FileNameFromTitleTest, CutsTheNameOutOfCommonTitleShapes) {
  EXPECT_EQ(FileNameFromTitle("Viewer - [photo.jpg]"), "photo.jpg");
  EXPECT_EQ(FileNameFromTitle("photo.jpg - Viewer"), "photo.jpg");
  EXPECT_EQ(FileNameFromTitle("Player (clip.mpeg) 00:12"), "clip.mpeg");
  EXPECT_EQ(FileNameFromTitle("/home/u/写真/猫.gif"), "/home/u/写真/猫.gif");
  EXPECT_EQ(FileNameFromTitle("Archiver - data.lzh"), "data.lzh");
  // "[" goes before "(" before " - ", each only up to its first occurrence.
  EXPECT_EQ(FileNameFromTitle("a - b [c (d - e.zip]"), "e.zip");
}

TEST(FileNameFromTitleTest, ExtensionsAreTriedInTheirOrderAndCaseSensitively) {
  // ".jpg" is tried before ".gif" even though the ".gif" comes first.
  EXPECT_EQ(FileNameFromTitle("x.gif and y.jpg"), "x.gif and y.jpg");
  EXPECT_EQ(FileNameFromTitle("IMG.JPEG - v"), "IMG.JPEG");
  EXPECT_EQ(FileNameFromTitle("page.jpgx"), "page.jpg");
  EXPECT_FALSE(FileNameFromTitle("IMG.Jpg - v"));
  EXPECT_FALSE(FileNameFromTitle("notes.txt - editor"));
  EXPECT_FALSE(FileNameFromTitle(""));
}

TEST(TitleTableTest, KeepsTheFirstHundredTitlesWithinTheByteLimitAndWholeCharacters) {
  std::vector<std::string> titles;
  for (int i = 0; i < 120; ++i) titles.push_back("title " + std::to_string(i));
  titles[0] = std::string(126, 'a') + "画像.jpg";  // the cut falls inside "画"
  auto table = marovine::tarq::TitleTable(titles);
  ASSERT_EQ(table.size(), 100u);
  EXPECT_EQ(table[0], std::string(126, 'a'));
  EXPECT_EQ(table[99], "title 99");
  EXPECT_EQ(marovine::tarq::ShortenedTitle(std::string(127, 'b')), std::string(127, 'b'));
  EXPECT_EQ(marovine::tarq::ShortenedTitle(std::string(124, 'b') + "画"),
            std::string(124, 'b') + "画");
}

TEST(FindFileNameInTitlesTest, TakesTheFirstTitleNamingAFile) {
  auto match = marovine::tarq::FindFileNameInTitles({"terminal", "a.bmp - paint", "b.jpg"});
  ASSERT_TRUE(match);
  EXPECT_EQ(match->title_index, 1u);
  EXPECT_EQ(match->name, "a.bmp");
  EXPECT_FALSE(marovine::tarq::FindFileNameInTitles({"terminal", "mail"}));
}

}  // namespace
