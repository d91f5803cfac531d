#include "marovine/ui/file_type_registration.h"

#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/stdpaths.h>

#include <string>

#include "marovine/ui/ui_artwork.h"

namespace marovine::ui {
namespace {

std::string PngOf(const wxImage& image) {
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
  wxMemoryOutputStream stream;
  if (!image.SaveFile(stream, wxBITMAP_TYPE_PNG)) return {};
  std::string bytes(stream.GetSize(), '\0');
  stream.CopyTo(bytes.data(), bytes.size());
  return bytes;
}

}  // namespace

FileAssociationResult RegisterMrvFileTypeForUser() {
  const std::string executable = wxStandardPaths::Get().GetExecutablePath().ToStdString(wxConvUTF8);
  FileAssociation association = UserFileAssociation(executable);
  for (int size : {16, 32, 48, 256}) {
    std::string png = PngOf(ApplicationIconImage(size));
    if (!png.empty()) association.icon_pngs.emplace_back(size, std::move(png));
  }
  return RegisterMrvFileType(association);
}

}  // namespace marovine::ui
