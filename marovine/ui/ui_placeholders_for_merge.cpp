// Plain stand-ins for the artwork, the picture pane and the tray icon, so that
// the window links on its own; the real ones replace this file.
#include <wx/bitmap.h>
#include <wx/image.h>

#include <set>
#include <string>

#include "marovine/ui/quick_view_pane.h"
#include "marovine/ui/tray_icon.h"
#include "marovine/ui/ui_artwork.h"

namespace marovine::ui {
namespace {

wxBitmap Square(const wxColour& colour, int size = 16) {
  wxImage image(size, size);
  image.SetRGB(wxRect(0, 0, size, size), colour.Red(), colour.Green(), colour.Blue());
  return wxBitmap(image);
}

wxImageList* SquaresList(int count) {
  auto* list = new wxImageList(16, 16, true, count);
  for (int i = 0; i < count; ++i) {
    list->Add(Square(wxColour(static_cast<unsigned char>(40 + 17 * i),
                              static_cast<unsigned char>(200 - 15 * i),
                              static_cast<unsigned char>(90 + 13 * i))));
  }
  return list;
}

}  // namespace

wxImageList* CreateLinkStateImages() { return SquaresList(12); }
wxImageList* CreateDownloadStateImages() { return SquaresList(8); }

wxBitmap ToolbarImage(int command_id) {
  return Square(wxColour(static_cast<unsigned char>(command_id * 37 % 200 + 30), 120,
                         static_cast<unsigned char>(command_id * 13 % 200 + 30)));
}

wxIconBundle ApplicationIcons() {
  wxIconBundle bundle;
  for (int size : {16, 32, 48}) {
    wxIcon icon;
    icon.CopyFromBitmap(Square(wxColour(30, 110, 200), size));
    bundle.AddIcon(icon);
  }
  return bundle;
}

wxIcon TrayIconFrame(int frame) {
  wxIcon icon;
  icon.CopyFromBitmap(Square(wxColour(30, static_cast<unsigned char>(110 + 40 * frame), 200)));
  return icon;
}

// The panes that were asked to show a picture.
std::set<const QuickViewPane*>& PanesShowing() {
  static std::set<const QuickViewPane*> panes;
  return panes;
}

QuickViewPane::QuickViewPane(wxWindow* parent, wxWindowID id) : wxWindow(parent, id) {}
void QuickViewPane::ShowPicture(const std::string& path) {
  wxString name = wxString::FromUTF8(path).Lower();
  if (name.EndsWith(".jpg") || name.EndsWith(".jpeg") || name.EndsWith(".bmp")) {
    PanesShowing().insert(this);
  }
}
void QuickViewPane::SetShowNameAndSize(bool /*on*/) {}
bool QuickViewPane::HasPicture() const { return PanesShowing().count(this) != 0; }
wxSize QuickViewPane::PictureSize() const { return {0, 0}; }

bool ShowQuickViewSettingsDialog(wxWindow* /*parent*/, const std::string& /*settings_file*/) {
  return false;
}

struct MarovineTrayIcon::Impl {
  int frame = 0;
};
MarovineTrayIcon::MarovineTrayIcon(Actions /*actions*/) : impl_(std::make_unique<Impl>()) {}
MarovineTrayIcon::~MarovineTrayIcon() = default;
void MarovineTrayIcon::AnimationStep(bool animate) {
  impl_->frame = animate ? (impl_->frame + 1) % 3 : 0;
}
int MarovineTrayIcon::shown_frame() const { return impl_->frame; }
bool MarovineTrayIcon::Available() { return false; }

}  // namespace marovine::ui
