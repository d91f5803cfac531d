#include "marovine/ui/quick_view_pane.h"

#include <wx/dcbuffer.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "marovine/album/bmp_reader.h"
#include "marovine/album/image_scaling.h"
#include "marovine/album/jpeg_codec.h"
#include "marovine/album/picture_fit.h"
#include "marovine/album/picture_header.h"
#include "marovine/album/rgb_image.h"
#include "platform/file_io.h"
#include "platform/path.h"

namespace marovine::ui {
namespace {

const wxColour kNameAndSizeColour(100, 100, 0);

wxImage ToWxImage(const RgbImage& picture) {
  wxImage image(static_cast<int>(picture.width), static_cast<int>(picture.height), false);
  std::memcpy(image.GetData(), picture.pixels.data(), picture.pixels.size());
  return image;
}

// Sizes are checked before wx is asked to decode, so a hostile header
// cannot make it allocate gigabytes.
bool DeclaresSaneSize(const std::string& bytes, PictureFormat format) {
  auto size = DeclaredPictureSize(bytes, format);
  return size && IsSaneImageSize(static_cast<std::uint64_t>(size->width),
                                 static_cast<std::uint64_t>(size->height));
}

void EnsureHandler(wxBitmapType type) {
  if (wxImage::FindHandler(type)) return;
  if (type == wxBITMAP_TYPE_PNG) wxImage::AddHandler(new wxPNGHandler);
  if (type == wxBITMAP_TYPE_GIF) wxImage::AddHandler(new wxGIFHandler);
}

// PNG and GIF go through wx's own decoders (a GIF shows its first frame);
// transparent parts are laid over the pane's background.
std::optional<wxImage> ReadThroughWx(const std::string& path, PictureFormat format,
                                     const wxColour& background) {
  auto bytes = platform::ReadWholeFile(path);
  if (!bytes || !DeclaresSaneSize(*bytes, format)) return std::nullopt;
  const wxBitmapType type = format == PictureFormat::kPng ? wxBITMAP_TYPE_PNG : wxBITMAP_TYPE_GIF;
  EnsureHandler(type);
  wxMemoryInputStream stream(bytes->data(), bytes->size());
  wxLogNull quiet;  // a broken file leaves the pane empty, without a message
  wxImage image;
  if (!image.LoadFile(stream, type) || !image.IsOk()) return std::nullopt;
  if (!IsSaneImageSize(static_cast<std::uint64_t>(image.GetWidth()),
                       static_cast<std::uint64_t>(image.GetHeight()))) {
    return std::nullopt;
  }
  if (image.HasMask()) image.InitAlpha();
  if (image.HasAlpha()) {
    wxImage flat(image.GetWidth(), image.GetHeight(), false);
    const unsigned char* rgb = image.GetData();
    const unsigned char* alpha = image.GetAlpha();
    unsigned char* out = flat.GetData();
    const std::size_t pixels = static_cast<std::size_t>(image.GetWidth()) * image.GetHeight();
    const unsigned char back[3] = {background.Red(), background.Green(), background.Blue()};
    for (std::size_t i = 0; i < pixels; ++i) {
      for (int c = 0; c < 3; ++c) {
        out[i * 3 + c] = static_cast<unsigned char>(
            (rgb[i * 3 + c] * alpha[i] + back[c] * (255 - alpha[i]) + 127) / 255);
      }
    }
    image = flat;
  }
  return image;
}

}  // namespace

QuickViewPane::QuickViewPane(wxWindow* parent, wxWindowID id)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize,
               wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &QuickViewPane::OnPaint, this);
}

void QuickViewPane::ShowPicture(const std::string& path) {
  const PictureFormat format = PictureFormatOfName(path);
  if (format == PictureFormat::kNone) return;
  wxBusyCursor busy;
  path_ = path;
  name_ = platform::NameOf(path);
  picture_ = wxImage();
  picture_size_ = wxSize(0, 0);
  drawn_ = wxBitmap();

  switch (format) {
    case PictureFormat::kJpeg:
      if (auto decoded = ReadJpegRgb(path)) {
        picture_size_ = wxSize(static_cast<int>(decoded->width), static_cast<int>(decoded->height));
        const wxSize client = GetClientSize();
        const std::int64_t width = LoadFitWidth({decoded->width, decoded->height},
                                                {client.GetWidth(), client.GetHeight()});
        if (width > 0 && width < decoded->width) {
          decoded = ScaleToWidth(*decoded, static_cast<std::uint32_t>(width));
        }
        if (decoded) picture_ = ToWxImage(*decoded);
      }
      break;
    case PictureFormat::kBmp: {
      BmpReader reader;
      auto decoded = reader.ReadBmpFile(path);
      if (decoded && reader.status() == "OK") {
        picture_size_ = wxSize(static_cast<int>(decoded->width), static_cast<int>(decoded->height));
        picture_ = ToWxImage(*decoded);
      }
      break;
    }
    default:
      if (auto image = ReadThroughWx(path, format, GetBackgroundColour())) {
        picture_size_ = image->GetSize();
        picture_ = *image;
      }
      break;
  }
  if (!picture_.IsOk()) picture_size_ = wxSize(0, 0);
  Refresh(true);
}

void QuickViewPane::SetShowNameAndSize(bool on) {
  if (show_name_and_size_ == on) return;
  show_name_and_size_ = on;
  Refresh(true);
}

bool QuickViewPane::HasPicture() const { return picture_.IsOk(); }

wxSize QuickViewPane::PictureSize() const { return picture_size_; }

void QuickViewPane::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  dc.SetBackground(wxBrush(GetBackgroundColour()));
  dc.Clear();
  if (!picture_.IsOk()) return;

  const wxSize client = GetClientSize();
  const PixelRect place = DrawFitRect({picture_.GetWidth(), picture_.GetHeight()},
                                      {client.GetWidth(), client.GetHeight()});
  if (place.width > 0 && place.height > 0) {
    const wxSize size(static_cast<int>(place.width), static_cast<int>(place.height));
    // Scaled once per size, not at every paint.
    if (!drawn_.IsOk() || drawn_.GetSize() != size) {
      drawn_ =
          size == picture_.GetSize()
              ? wxBitmap(picture_)
              : wxBitmap(picture_.Scale(size.GetWidth(), size.GetHeight(), wxIMAGE_QUALITY_NORMAL));
    }
    dc.DrawBitmap(drawn_, static_cast<int>(place.x), static_cast<int>(place.y));
  }
  const wxString text = NameAndSizeText();
  if (!text.empty()) {
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetTextForeground(kNameAndSizeColour);
    dc.DrawText(text, 10, 5);
  }
}

wxString QuickViewPane::NameAndSizeText() const {
  if (!show_name_and_size_ || !picture_.IsOk()) return {};
  return wxString::Format("%s size : %d x %d", wxString::FromUTF8(name_), picture_size_.GetWidth(),
                          picture_size_.GetHeight());
}

}  // namespace marovine::ui
