#include "marovine/album/bmp_reader.h"

#include <gtest/gtest.h>

#include "tests/album/test_pictures.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::BmpReader;
using marovine::testing::BmpLayout;
using marovine::testing::MakeBmp;

std::vector<std::uint8_t> Rgb(const marovine::RgbImage& image, std::uint32_t x, std::uint32_t y) {
  const std::uint8_t* p = &image.pixels[(std::size_t{y} * image.width + x) * 3];
  return {p[0], p[1], p[2]};
}

BmpLayout TwentyFourBit(std::int32_t width, std::int32_t height) {
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  for (std::int32_t y = 0; y < height; ++y) {
    std::vector<std::uint8_t> row;
    for (std::int32_t x = 0; x < width; ++x) {
      row.insert(row.end(), {static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x), 200});
    }
    layout.rows.push_back(row);
  }
  return layout;
}

BmpLayout Indexed(std::uint16_t bits, std::int32_t width, std::int32_t height) {
  BmpLayout layout;
  layout.bits = bits;
  layout.width = width;
  layout.height = height;
  std::uint32_t colours = 1u << bits;
  for (std::uint32_t i = 0; i < colours; ++i) layout.palette.push_back(0x010203 * i);
  for (std::int32_t y = 0; y < height; ++y) {
    std::vector<std::uint8_t> row;
    for (std::int32_t x = 0; x < width; ++x) row.push_back((x + y) % colours);
    layout.rows.push_back(row);
  }
  return layout;
}

TEST(BmpReaderTest, TwentyFourBitRowsReadAcrossPadding) {
  BmpReader reader;
  for (std::int32_t width : {4, 5, 7}) {  // 12 bytes a row: no padding; 15, 21: padded
    auto image = reader.ReadBmpBytes(MakeBmp(TwentyFourBit(width, 3)));
    ASSERT_TRUE(image) << reader.status();
    EXPECT_EQ(reader.status(), "OK");
    EXPECT_EQ(image->width, static_cast<std::uint32_t>(width));
    EXPECT_EQ(image->height, 3u);
    // Stored blue, green, red; read as red, green, blue; top row first.
    EXPECT_EQ(Rgb(*image, 0, 0), (std::vector<std::uint8_t>{200, 0, 0}));
    EXPECT_EQ(Rgb(*image, width - 1, 2),
              (std::vector<std::uint8_t>{200, static_cast<std::uint8_t>(width - 1), 2}));
  }
}

TEST(BmpReaderTest, IndexedDepthsLookUpThePalette) {
  BmpReader reader;
  for (std::uint16_t bits : {1, 4, 8}) {
    for (std::int32_t width : {10, 16, 3}) {  // 1 bit × 10: two data bytes and two of padding
      BmpLayout layout = Indexed(bits, width, 4);
      auto image = reader.ReadBmpBytes(MakeBmp(layout));
      ASSERT_TRUE(image) << bits << " bits: " << reader.status();
      std::uint32_t colours = 1u << bits;
      for (std::int32_t y = 0; y < 4; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
          auto index = static_cast<std::uint8_t>((x + y) % colours);
          ASSERT_EQ(Rgb(*image, x, y),
                    (std::vector<std::uint8_t>{index, static_cast<std::uint8_t>(2 * index),
                                               static_cast<std::uint8_t>(3 * index)}))
              << bits << " bits at " << x << "," << y;
        }
      }
    }
  }
}

TEST(BmpReaderTest, LongerHeadersAndShortPalettesAreRead) {
  BmpReader reader;
  BmpLayout v5 = Indexed(8, 3, 2);
  v5.header_size = 124;
  auto image = reader.ReadBmpBytes(MakeBmp(v5));
  ASSERT_TRUE(image) << reader.status();
  EXPECT_EQ(Rgb(*image, 2, 1), (std::vector<std::uint8_t>{3, 6, 9}));

  // Only two colours listed; an index past them reads as black.
  BmpLayout short_palette = Indexed(8, 4, 1);
  short_palette.colours_used = 2;
  short_palette.palette.resize(2);
  image = reader.ReadBmpBytes(MakeBmp(short_palette));
  ASSERT_TRUE(image) << reader.status();
  EXPECT_EQ(Rgb(*image, 1, 0), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(Rgb(*image, 3, 0), (std::vector<std::uint8_t>{0, 0, 0}));
}

TEST(BmpReaderTest, EveryRefusalHasItsStatusAndNoPicture) {
  marovine::testing::Sandbox box;
  BmpReader reader;
  auto refused = [&](const std::string& bytes) {
    auto image = reader.ReadBmpBytes(bytes);
    EXPECT_FALSE(image);
    return reader.status();
  };
  std::string good = MakeBmp(TwentyFourBit(5, 3));

  EXPECT_FALSE(reader.ReadBmpFile(box.Path("none.bmp")));
  EXPECT_EQ(reader.status(), "Can't open file for reading :\n" + box.Path("none.bmp"));
  EXPECT_FALSE(reader.ReadBmpFile(box.path()));  // a folder is no file
  EXPECT_EQ(reader.status(), "Can't open file for reading :\n" + box.path());

  EXPECT_EQ(refused("GIF89a........................................................"),
            "Not a valid BMP File");
  EXPECT_EQ(refused(""), "Not a valid BMP File");
  EXPECT_EQ(refused(good.substr(0, 30)), "Read Error!");

  BmpLayout compressed = TwentyFourBit(5, 3);
  compressed.compression = 1;
  EXPECT_EQ(refused(MakeBmp(compressed)), "This is a compressed file.");

  BmpLayout overlapping = Indexed(4, 4, 2);
  overlapping.pixel_offset = 54;  // inside the palette
  EXPECT_EQ(refused(MakeBmp(overlapping)), "Corrupt palette");
  BmpLayout too_many = Indexed(4, 4, 2);
  too_many.colours_used = 17;
  EXPECT_EQ(refused(MakeBmp(too_many)), "Corrupt palette");
  too_many.colours_used = 0xFFFFFFFF;
  EXPECT_EQ(refused(MakeBmp(too_many)), "Corrupt palette");
  EXPECT_EQ(refused(MakeBmp(Indexed(8, 4, 2)).substr(0, 54 + 100)), "Read Error!");

  // Pixel rows cut short, with and without padding to skip.
  EXPECT_EQ(refused(good.substr(0, good.size() - 1)), "Read Error");
  std::string unpadded = MakeBmp(TwentyFourBit(4, 3));
  EXPECT_EQ(refused(unpadded.substr(0, unpadded.size() - 5)), "Read Error");

  for (std::uint16_t bits : {16, 32, 2, 0}) {
    BmpLayout odd = TwentyFourBit(2, 2);
    odd.bits = bits;
    EXPECT_EQ(refused(MakeBmp(odd)), "Unsupported bits per pixel") << bits;
  }
  for (auto [w, h] : {std::pair{4, -3}, std::pair{-4, 3}, std::pair{0, 3}, std::pair{4, 0},
                      std::pair{16385, 1}, std::pair{1, 100000}}) {
    BmpLayout odd = TwentyFourBit(2, 2);
    odd.width = w;
    odd.height = h;
    EXPECT_EQ(refused(MakeBmp(odd)), "Invalid image size") << w << "x" << h;
  }
  // A header that claims the largest size allowed over a few bytes of data is
  // refused without allocating the picture.
  BmpLayout huge = TwentyFourBit(2, 2);
  huge.width = 16384;
  huge.height = 16384;
  EXPECT_EQ(refused(MakeBmp(huge)), "Read Error");

  // The status returns to OK with the next good file.
  EXPECT_TRUE(reader.ReadBmpFile(box.WriteFile("good.bmp", good)));
  EXPECT_EQ(reader.status(), "OK");
}

}  // namespace
