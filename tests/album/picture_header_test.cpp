#include "marovine/album/picture_header.h"

#include <gtest/gtest.h>

#include <string>

namespace marovine {
namespace {

// A GIF of a 10 × 10 screen with a two-colour table, a graphic control
// extension and one frame of the given size.
std::string Gif(int frame_width, int frame_height, bool trailer = true) {
  std::string gif("GIF89a\x0a\x00\x0a\x00\x80\x00\x00", 13);
  gif += std::string("\x00\x00\x00\xff\xff\xff", 6);
  gif += std::string("\x21\xf9\x04\x00\x00\x00\x00\x00", 8);
  gif += std::string("\x2c\x00\x00\x00\x00", 5);
  gif += static_cast<char>(frame_width & 0xff);
  gif += static_cast<char>(frame_width >> 8);
  gif += static_cast<char>(frame_height & 0xff);
  gif += static_cast<char>(frame_height >> 8);
  gif += std::string("\x00\x02\x02\x4c\x01\x00", 6);  // no local table, LZW data
  if (trailer) gif += "\x3b";
  return gif;
}

std::string Png(std::uint32_t width, std::uint32_t height) {
  std::string png("\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR", 16);
  for (std::uint32_t value : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) png += static_cast<char>(value >> shift);
  }
  return png + std::string("\x08\x02\x00\x00\x00", 5);
}

TEST(PictureHeaderTest, TheSizesAFileAsksForAreReadBeforeDecoding) {
  EXPECT_EQ(DeclaredPictureSize(Png(640, 480), PictureFormat::kPng), (PixelSize{640, 480}));
  EXPECT_EQ(DeclaredPictureSize(Png(100000, 100000), PictureFormat::kPng),
            (PixelSize{100000, 100000}));
  EXPECT_EQ(DeclaredPictureSize(Gif(10, 10), PictureFormat::kGif), (PixelSize{10, 10}));
  EXPECT_EQ(DeclaredPictureSize(Gif(4, 6, false), PictureFormat::kGif), (PixelSize{10, 10}));
}

TEST(PictureHeaderTest, AGifFrameLargerThanItsScreenCounts) {
  // A small screen does not hide a frame that would need 12 GiB.
  EXPECT_EQ(DeclaredPictureSize(Gif(65535, 65535), PictureFormat::kGif), (PixelSize{65535, 65535}));
}

TEST(PictureHeaderTest, FilesThatAreNotWhatTheirNameSaysOrAreCutShortGiveNothing) {
  EXPECT_FALSE(DeclaredPictureSize("not a picture at all, but long enough", PictureFormat::kPng));
  EXPECT_FALSE(DeclaredPictureSize(Png(1, 1), PictureFormat::kGif));
  EXPECT_FALSE(DeclaredPictureSize(Png(1, 1).substr(0, 20), PictureFormat::kPng));
  const std::string gif = Gif(10, 10);
  EXPECT_FALSE(DeclaredPictureSize(gif.substr(0, 30), PictureFormat::kGif));  // inside the frame
  EXPECT_FALSE(DeclaredPictureSize(gif.substr(0, 8), PictureFormat::kGif));
  std::string unknown_block = gif;
  unknown_block[27] = '\x99';
  EXPECT_FALSE(DeclaredPictureSize(unknown_block, PictureFormat::kGif));
}

}  // namespace
}  // namespace marovine
