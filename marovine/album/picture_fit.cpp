#include "marovine/album/picture_fit.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace marovine {
namespace {

PixelSize NonNegative(PixelSize size) {
  return {std::max<std::int64_t>(size.width, 0), std::max<std::int64_t>(size.height, 0)};
}

}  // namespace

std::int64_t LoadFitWidth(PixelSize picture, PixelSize client) {
  client = NonNegative(client);
  if (picture.width <= 0 || picture.height <= 0) return 0;
  if (client.width == 0 || client.height == 0) return picture.width;
  std::int64_t width = picture.width;
  if (client.height < picture.height) {
    width = picture.width - (picture.height - client.height) * picture.width / picture.height;
  }
  if (client.width < width) width = client.width;
  // Never so narrow that the scaled height truncates to nothing: a tiny pane
  // still gets a picture, fitted again when drawn.
  const std::int64_t narrowest = (picture.width + picture.height - 1) / picture.height;
  return std::min(picture.width, std::max(width, narrowest));
}

PixelRect DrawFitRect(PixelSize picture, PixelSize client) {
  client = NonNegative(client);
  if (picture.width <= 0 || picture.height <= 0) return {};
  std::int64_t width = picture.width;
  std::int64_t height = picture.height;
  if (client.height < height) {
    width = picture.width - picture.width * (picture.height - client.height) / picture.height;
    height = client.height;
  }
  if (client.width < width) {
    height = height - height * (width - client.width) / width;
    width = client.width;
  }
  if (width <= 0 || height <= 0) return {};
  return {(client.width - width) / 2, (client.height - height) / 2, width, height};
}

PictureFormat PictureFormatOfName(std::string_view path) {
  if (path.size() < 4) return PictureFormat::kNone;
  std::string tail(path.substr(path.size() - 4));
  for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (tail == ".JPG" || tail == "JPEG") return PictureFormat::kJpeg;
  if (tail == ".BMP") return PictureFormat::kBmp;
  if (tail == ".PNG") return PictureFormat::kPng;
  if (tail == ".GIF") return PictureFormat::kGif;
  return PictureFormat::kNone;
}

}  // namespace marovine
