#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace marovine {

struct ThumbnailSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

// Makes a colour JPEG thumbnail (quality 100) of a JPEG picture, `width`
// pixels wide and as high as the picture's proportions give (height × width /
// picture width, truncated), nearest-neighbour sampled. The picture is
// decoded at the smallest DCT scale that is still at least `width` wide, so
// large pictures are not decoded in full. The folders of the thumbnail path
// are created. Nothing when the picture cannot be decoded or the file cannot
// be written.
std::optional<ThumbnailSize> MakeJpegThumbnail(const std::string& picture_path,
                                               const std::string& thumbnail_path,
                                               std::uint32_t width);

}  // namespace marovine
