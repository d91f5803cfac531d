// Thumbnails (width 100) of 300 generated 1600 × 1200 JPEGs through the
// album's own path (DCT-scaled decode, nearest-neighbour pass, quality-100
// JPEG written atomically), against ImageMagick's `convert -sample 100x` on
// the same files in the same run. Prints both rates and their ratio.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "marovine/album/jpeg_codec.h"
#include "marovine/album/thumbnail.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"

namespace {

constexpr int kPictures = 300;
constexpr std::uint32_t kWidth = 1600;
constexpr std::uint32_t kHeight = 1200;
constexpr const char* kConvert = "/usr/bin/convert";  // /usr/local/bin/convert is a stand-in

// A photo-like picture: smooth gradients with some noise, different per seed,
// so the encoder and decoder do realistic work.
marovine::RgbImage PhotoLike(unsigned seed) {
  marovine::RgbImage image;
  image.width = kWidth;
  image.height = kHeight;
  image.pixels.resize(std::size_t{kWidth} * kHeight * 3);
  std::minstd_rand noise(seed);
  for (std::uint32_t y = 0; y < kHeight; ++y) {
    for (std::uint32_t x = 0; x < kWidth; ++x) {
      std::uint8_t* p = &image.pixels[(std::size_t{y} * kWidth + x) * 3];
      int n = static_cast<int>(noise() % 24);
      p[0] = static_cast<std::uint8_t>((x / 7 + seed * 13 + n) & 0xFF);
      p[1] = static_cast<std::uint8_t>((y / 5 + n) & 0xFF);
      p[2] = static_cast<std::uint8_t>(((x + y) / 11 + seed + n) & 0xFF);
    }
  }
  return image;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

}  // namespace

int main() {
  if (marovine::testing::FindProgram("convert").empty() || !platform::FileExists(kConvert)) {
    std::fprintf(stderr, "thumbnail_bench: %s is missing (install imagemagick)\n", kConvert);
    return 1;
  }
  marovine::testing::Sandbox box;
  std::printf("generating %d pictures of %ux%u...\n", kPictures, kWidth, kHeight);
  std::vector<std::string> pictures;
  for (int i = 0; i < kPictures; ++i) {
    std::string path = box.Path("pics/p" + std::to_string(i) + ".jpg");
    // A handful of distinct pictures, written under many names, keeps the set-up short.
    static std::vector<std::string> encoded;
    if (encoded.size() < 8) {
      encoded.push_back(*marovine::EncodeJpegRgb(PhotoLike(static_cast<unsigned>(i)), true, 90));
    }
    if (!platform::WriteFileAtomically(path,
                                       encoded[static_cast<std::size_t>(i) % encoded.size()])) {
      std::fprintf(stderr, "thumbnail_bench: cannot write %s\n", path.c_str());
      return 1;
    }
    pictures.push_back(path);
  }

  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kPictures; ++i) {
    std::string thumbnail = box.Path("ours/p" + std::to_string(i) + "_tn.jpg");
    auto size = marovine::MakeJpegThumbnail(pictures[static_cast<std::size_t>(i)], thumbnail, 100);
    if (!size || size->width != 100 || size->height != 75) {
      std::fprintf(stderr, "thumbnail_bench: no thumbnail for %s\n", pictures[i].c_str());
      return 1;
    }
  }
  double ours = Seconds(std::chrono::steady_clock::now() - start);

  (void)platform::MakeFolders(
      box.Path("magick"));  // a missing folder shows as failed writes in the run
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < kPictures; ++i) {
    std::string thumbnail = box.Path("magick/p" + std::to_string(i) + "_tn.jpg");
    marovine::testing::ChildProcess convert(
        {kConvert, pictures[static_cast<std::size_t>(i)], "-sample", "100x", thumbnail});
    if (convert.Wait() != 0 || !platform::FileExists(thumbnail)) {
      std::fprintf(stderr, "thumbnail_bench: convert failed on %s\n", pictures[i].c_str());
      return 1;
    }
  }
  double magick = Seconds(std::chrono::steady_clock::now() - start);

  double ours_rate = kPictures / ours;
  double magick_rate = kPictures / magick;
  std::printf("album thumbnails:        %8.1f images/s (%.2f s)\n", ours_rate, ours);
  std::printf("convert -sample 100x:    %8.1f images/s (%.2f s)\n", magick_rate, magick);
  std::printf("ratio (album / convert): %8.2f (goal >= 1.5)\n", ours_rate / magick_rate);
  return 0;
}
