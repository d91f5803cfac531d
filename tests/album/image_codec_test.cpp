#include <gtest/gtest.h>

#include <cstring>

#include "marovine/album/dib_conversion.h"
#include "marovine/album/image_scaling.h"
#include "marovine/album/jpeg_codec.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/album/test_pictures.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::RgbImage;
using marovine::testing::GradientImage;
using marovine::testing::Sandbox;

const std::uint8_t* Pixel(const RgbImage& image, std::uint32_t x, std::uint32_t y) {
  return &image.pixels[(std::size_t{y} * image.width + x) * 3];
}

void ExpectNear(const std::uint8_t* pixel, int r, int g, int b, int tolerance = 4) {
  EXPECT_NEAR(pixel[0], r, tolerance);
  EXPECT_NEAR(pixel[1], g, tolerance);
  EXPECT_NEAR(pixel[2], b, tolerance);
}

TEST(JpegCodecTest, ColourPictureSurvivesWriteAndRead) {
  Sandbox box;
  RgbImage solid = marovine::testing::SolidImage(33, 17, 200, 40, 90);
  std::string path = box.Path("sub/colour.jpg");
  ASSERT_TRUE(marovine::WriteJpegRgb(path, solid, true, 100));
  auto read = marovine::ReadJpegRgb(path);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->width, 33u);
  EXPECT_EQ(read->height, 17u);
  ASSERT_EQ(read->pixels.size(), 33u * 17 * 3);
  ExpectNear(Pixel(*read, 0, 0), 200, 40, 90);
  ExpectNear(Pixel(*read, 32, 16), 200, 40, 90);
}

TEST(JpegCodecTest, GreyWriteUsesLuminanceAndGreyFilesDecodeToEqualBytes) {
  Sandbox box;
  std::string path = box.Path("grey.jpg");
  ASSERT_TRUE(
      marovine::WriteJpegRgb(path, marovine::testing::SolidImage(8, 8, 100, 200, 50), false, 100));
  auto read = marovine::ReadJpegRgb(path);
  ASSERT_TRUE(read);
  int luminance = static_cast<int>(0.299 * 100 + 0.587 * 200 + 0.114 * 50);
  const std::uint8_t* p = Pixel(*read, 3, 3);
  EXPECT_EQ(p[0], p[1]);
  EXPECT_EQ(p[1], p[2]);
  EXPECT_NEAR(p[0], luminance, 2);

  auto grey = marovine::ReadJpegRgbFromMemory(marovine::testing::EncodeGreyJpeg(5, 4, 77));
  ASSERT_TRUE(grey);
  for (std::size_t i = 0; i < grey->pixels.size(); ++i) EXPECT_NEAR(grey->pixels[i], 77, 1);
}

TEST(JpegCodecTest, AdobeCmykIsConvertedToRgb) {
  // Full magenta and yellow ink is red; half black darkens it.
  auto red = marovine::ReadJpegRgbFromMemory(
      marovine::testing::EncodeAdobeCmykJpeg(16, 16, 0, 255, 255, 0));
  ASSERT_TRUE(red);
  EXPECT_EQ(red->pixels.size(), 16u * 16 * 3);
  ExpectNear(Pixel(*red, 8, 8), 255, 0, 0);
  auto dark =
      marovine::ReadJpegRgbFromMemory(marovine::testing::EncodeAdobeCmykJpeg(8, 8, 0, 0, 0, 128));
  ASSERT_TRUE(dark);
  ExpectNear(Pixel(*dark, 1, 1), 127, 127, 127);
}

TEST(JpegCodecTest, BrokenMissingAndOversizedFilesGiveNoPicture) {
  Sandbox box;
  EXPECT_FALSE(marovine::ReadJpegRgb(box.Path("missing.jpg")));
  EXPECT_FALSE(marovine::ReadJpegRgb(box.WriteFile("text.jpg", "not a jpeg at all")));
  EXPECT_FALSE(marovine::ReadJpegRgbFromMemory(""));
  std::string good = marovine::testing::EncodeGreyJpeg(16, 16, 10);
  EXPECT_FALSE(marovine::ReadJpegRgbFromMemory(good.substr(0, 20)));
  // A header that claims more than the side limit is refused before decoding.
  EXPECT_FALSE(marovine::ReadJpegRgbFromMemory(marovine::testing::PatchJpegSize(good, 20000, 16)));
  EXPECT_FALSE(marovine::ReadJpegRgbReduced(
      box.WriteFile("big.jpg", marovine::testing::PatchJpegSize(good, 16, 30000)), 100));
}

TEST(JpegCodecTest, ProgressiveFilesDecodeButEndlessScansAreRefused) {
  std::string progressive = marovine::testing::EncodeProgressiveJpeg(GradientImage(64, 48));
  auto read = marovine::ReadJpegRgbFromMemory(progressive);
  ASSERT_TRUE(read);
  ExpectNear(Pixel(*read, 40, 30), 40, 30, 70, 8);
  EXPECT_TRUE(marovine::ReadJpegRgbFromMemory(marovine::testing::RepeatLastScan(progressive, 20)));
  // Every scan is one more pass over the whole picture; a small file of
  // thousands of scans would keep the album or the picture pane busy for
  // hours on a large picture.
  std::string endless = marovine::testing::RepeatLastScan(progressive, 2000);
  EXPECT_FALSE(marovine::ReadJpegRgbFromMemory(endless));
  Sandbox box;
  EXPECT_FALSE(marovine::ReadJpegRgbReduced(box.WriteFile("endless.jpg", endless), 16));
}

TEST(JpegCodecTest, WriterRefusesEmptyPicturesAndUnwritablePaths) {
  Sandbox box;
  EXPECT_FALSE(marovine::WriteJpegRgb(box.Path("empty.jpg"), RgbImage{}, true, 100));
  box.WriteFile("blocker", "x");
  EXPECT_FALSE(marovine::WriteJpegRgb(box.Path("blocker/a.jpg"), GradientImage(4, 4), true, 90));
  EXPECT_FALSE(platform::FileSizeOf(box.Path("empty.jpg")));
}

TEST(JpegCodecTest, ReducedDecodeStaysAtLeastAsWideAsAsked) {
  Sandbox box;
  std::string path = box.Path("large.jpg");
  ASSERT_TRUE(marovine::WriteJpegRgb(path, GradientImage(1600, 1200), true, 75));
  auto reduced = marovine::ReadJpegRgbReduced(path, 100);
  ASSERT_TRUE(reduced);
  EXPECT_EQ(reduced->full_width, 1600u);
  EXPECT_EQ(reduced->full_height, 1200u);
  EXPECT_EQ(reduced->image.width, 200u);  // 1/8 is the library's smallest step
  EXPECT_EQ(reduced->image.height, 150u);
  auto three_eighths = marovine::ReadJpegRgbReduced(path, 500);
  ASSERT_TRUE(three_eighths);
  EXPECT_EQ(three_eighths->image.width, 600u);
  auto full = marovine::ReadJpegRgbReduced(path, 2000);
  ASSERT_TRUE(full);
  EXPECT_EQ(full->image.width, 1600u);
}

TEST(ScaleToWidthTest, ShrinksByTakingEveryNthRowAndColumn) {
  RgbImage source = GradientImage(1000, 750);
  auto scaled = marovine::ScaleToWidth(source, 100);
  ASSERT_TRUE(scaled);
  EXPECT_EQ(scaled->width, 100u);
  EXPECT_EQ(scaled->height, 75u);
  for (std::uint32_t y : {0u, 1u, 7u, 74u}) {
    for (std::uint32_t x : {0u, 1u, 2u, 99u}) {
      EXPECT_EQ(0, std::memcmp(Pixel(*scaled, x, y), Pixel(source, x * 10, y * 10), 3))
          << x << "," << y;
    }
  }
}

TEST(ScaleToWidthTest, EnlargesByRepeatingPixelsAndTruncatesHeight) {
  RgbImage source = GradientImage(50, 40);
  auto scaled = marovine::ScaleToWidth(source, 100);
  ASSERT_TRUE(scaled);
  EXPECT_EQ(scaled->height, 80u);
  EXPECT_EQ(0, std::memcmp(Pixel(*scaled, 0, 0), Pixel(*scaled, 1, 1), 3));
  EXPECT_EQ(0, std::memcmp(Pixel(*scaled, 99, 79), Pixel(source, 49, 39), 3));
  auto odd = marovine::ScaleToWidth(GradientImage(3, 2), 2);  // 2 × 2 / 3 = 1
  ASSERT_TRUE(odd);
  EXPECT_EQ(odd->height, 1u);
  EXPECT_FALSE(marovine::ScaleToWidth(source, 0));
  EXPECT_FALSE(marovine::ScaleToWidth(RgbImage{}, 10));
  EXPECT_FALSE(marovine::ScaleToWidth(GradientImage(3, 1), 2));  // height 0
}

TEST(DibConversionTest, SwapFlipAndAlignPrepareABottomUpBitmap) {
  RgbImage image = GradientImage(3, 3);
  ASSERT_TRUE(marovine::SwapRedBlue(&image));
  EXPECT_EQ(Pixel(image, 2, 1)[0], 3);  // blue (x + y) now first
  EXPECT_EQ(Pixel(image, 2, 1)[2], 2);
  EXPECT_FALSE(marovine::SwapRedBlue(nullptr));

  RgbImage rows = GradientImage(2, 3);
  ASSERT_TRUE(marovine::FlipRows(rows.pixels.data(), rows.row_bytes(), rows.height));
  EXPECT_EQ(Pixel(rows, 0, 0)[1], 2);
  EXPECT_EQ(Pixel(rows, 0, 1)[1], 1);  // the middle row stays
  EXPECT_EQ(Pixel(rows, 0, 2)[1], 0);
  EXPECT_FALSE(marovine::FlipRows(nullptr, 6, 3));

  RgbImage narrow = GradientImage(5, 2);
  auto aligned = marovine::MakeRowAlignedCopy(&narrow);
  ASSERT_TRUE(aligned);
  EXPECT_EQ(aligned->stride, 16u);
  ASSERT_EQ(aligned->bytes.size(), 32u);
  EXPECT_EQ(0, std::memcmp(aligned->bytes.data() + 16, Pixel(narrow, 0, 1), 15));
  EXPECT_EQ(aligned->bytes[15], 0);
  EXPECT_FALSE(marovine::MakeRowAlignedCopy(nullptr));
}

}  // namespace
