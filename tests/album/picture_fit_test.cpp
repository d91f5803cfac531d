#include "marovine/album/picture_fit.h"

#include <gtest/gtest.h>

namespace marovine {
namespace {

TEST(PictureFitTest, ALargePictureIsShrunkAtLoadAndDrawnCentred) {
  // 1600 × 1200 in a 400 × 400 pane: 400 wide at load, so 400 × 300 on screen.
  EXPECT_EQ(LoadFitWidth({1600, 1200}, {400, 400}), 400);
  EXPECT_EQ(DrawFitRect({400, 300}, {400, 400}), (PixelRect{0, 50, 400, 300}));
  // A tall picture is limited by the pane's height first.
  EXPECT_EQ(LoadFitWidth({600, 1200}, {400, 400}), 200);
}

TEST(PictureFitTest, ASmallPictureIsNeverEnlarged) {
  EXPECT_EQ(LoadFitWidth({200, 100}, {400, 400}), 200);
  EXPECT_EQ(DrawFitRect({200, 100}, {400, 400}), (PixelRect{100, 150, 200, 100}));
}

TEST(PictureFitTest, APaneMadeSmallerAfterLoadFitsThePictureAgainWhenDrawn) {
  // Prepared 400 × 300 for a 400 × 400 pane, then the pane becomes 200 × 100:
  // first the height (400 − 400 × 200 / 300 = 134 wide), which already fits
  // the width.
  EXPECT_EQ(DrawFitRect({400, 300}, {200, 100}), (PixelRect{33, 0, 134, 100}));
  // Narrower than high: the width limits after the height.
  EXPECT_EQ(DrawFitRect({400, 300}, {100, 400}), (PixelRect{0, 162, 100, 75}));
  // A BMP is not shrunk at load, so all of its fitting happens here.
  EXPECT_EQ(DrawFitRect({1600, 1200}, {400, 400}), (PixelRect{0, 50, 400, 300}));
}

TEST(PictureFitTest, APaneWithoutAreaNeitherLosesNorDrawsThePicture) {
  // Not yet laid out: the picture keeps its size and is fitted at drawing.
  EXPECT_EQ(LoadFitWidth({1600, 1200}, {0, 0}), 1600);
  EXPECT_EQ(LoadFitWidth({1600, 1200}, {-5, 400}), 1600);
  EXPECT_EQ(DrawFitRect({1600, 1200}, {0, 300}), PixelRect{});
  EXPECT_EQ(DrawFitRect({1600, 1200}, {300, 0}), PixelRect{});
  EXPECT_EQ(DrawFitRect({0, 0}, {300, 300}), PixelRect{});
  // A tiny pane still leaves a picture of at least one row and column (a
  // width of 0, or a height truncated to 0, would scale to nothing).
  EXPECT_EQ(LoadFitWidth({3, 1000}, {400, 1}), 1);
  EXPECT_EQ(LoadFitWidth({1600, 1200}, {1, 1}), 2);
  EXPECT_EQ(LoadFitWidth({5000, 10}, {1, 400}), 500);
}

TEST(PictureFitTest, TheFormatComesFromTheLastFourCharactersIgnoringCase) {
  EXPECT_EQ(PictureFormatOfName("/a/b/photo.JPG"), PictureFormat::kJpeg);
  EXPECT_EQ(PictureFormatOfName("/a/b/photo.jpeg"), PictureFormat::kJpeg);
  EXPECT_EQ(PictureFormatOfName("/a/b/photo.Bmp"), PictureFormat::kBmp);
  EXPECT_EQ(PictureFormatOfName("/a/b/photo.png"), PictureFormat::kPng);
  EXPECT_EQ(PictureFormatOfName("/a/b/anim.GIF"), PictureFormat::kGif);
  EXPECT_EQ(PictureFormatOfName("/a/b/archive.zip"), PictureFormat::kNone);
  EXPECT_EQ(PictureFormatOfName("/a/b/photo.jpg.txt"), PictureFormat::kNone);
  EXPECT_EQ(PictureFormatOfName("jpg"), PictureFormat::kNone);
}

}  // namespace
}  // namespace marovine
