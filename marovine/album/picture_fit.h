#pragma once

#include <cstdint>
#include <string_view>

namespace marovine {

// How the picture pane fits a picture into its client area. A picture is
// never enlarged: it is shrunk once when loaded (JPEG only, to the width that
// fits the pane at that moment) and fitted again at every drawing, so a pane
// made smaller afterwards still shows all of it.

struct PixelSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool operator==(const PixelSize&) const = default;
};

struct PixelRect {
  std::int64_t x = 0;
  std::int64_t y = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool operator==(const PixelRect&) const = default;
};

// The width a freshly decoded picture is scaled to: first what keeps its
// height within the pane, then at most the pane's width. A pane with no
// area yet (not laid out, hidden) keeps the full width, so the picture is
// fitted when it is drawn instead of being lost to a zero width; nor is it
// ever made so narrow that its height would become zero.
std::int64_t LoadFitWidth(PixelSize picture, PixelSize client);

// Where a prepared picture is drawn: reduced to the pane's height, then to
// its width, and centred. Empty (zero width or height) when nothing fits.
PixelRect DrawFitRect(PixelSize picture, PixelSize client);

// The formats the pane shows, by the last four characters of the name,
// ignoring case.
enum class PictureFormat { kNone, kJpeg, kBmp, kPng, kGif };
PictureFormat PictureFormatOfName(std::string_view path);

}  // namespace marovine
