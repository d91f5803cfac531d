#pragma once

#include <optional>
#include <string_view>

#include "marovine/album/picture_fit.h"

namespace marovine {

// The largest picture a PNG or GIF file asks a decoder to allocate, read
// from its headers before anything is decoded: the PNG's IHDR size; for a GIF
// the larger of its screen and of every frame's size. Nothing when the
// headers are not those of the format or are cut short. The picture pane
// hands a file to a general decoder only when this size is sane, so a hostile
// header cannot make it allocate gigabytes.
std::optional<PixelSize> DeclaredPictureSize(std::string_view bytes, PictureFormat format);

}  // namespace marovine
