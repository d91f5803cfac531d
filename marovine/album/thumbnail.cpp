#include "marovine/album/thumbnail.h"

#include "marovine/album/image_scaling.h"
#include "marovine/album/jpeg_codec.h"
#include "platform/path.h"

namespace marovine {

std::optional<ThumbnailSize> MakeJpegThumbnail(const std::string& picture_path,
                                               const std::string& thumbnail_path,
                                               std::uint32_t width) {
  if (width == 0) return std::nullopt;
  auto decoded = ReadJpegRgbReduced(picture_path, width);
  if (!decoded) return std::nullopt;
  // The height follows the picture's full size, so that a reduced decode
  // (whose sides are rounded up to whole eighths) gives the same thumbnail
  // size as a full one.
  std::uint64_t height =
      static_cast<std::uint64_t>(decoded->full_height) * width / decoded->full_width;
  if (!IsSaneImageSize(width, height)) return std::nullopt;
  auto scaled = ScaleToSize(decoded->image, width, static_cast<std::uint32_t>(height));
  if (!scaled) return std::nullopt;
  if (!platform::MakeFoldersForFile(thumbnail_path)) return std::nullopt;
  if (!WriteJpegRgb(thumbnail_path, *scaled, true, 100)) return std::nullopt;
  return ThumbnailSize{scaled->width, scaled->height};
}

}  // namespace marovine
