#pragma once

#include <string>
#include <vector>

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/window.h>

namespace marovine::ui {

// The picture pane beside the two lists: shows one downloaded picture, fitted
// into the pane (never enlarged), optionally with its name and size over it.
// A file that cannot be decoded leaves the pane empty; nothing is ever shown
// as a message box from here.
class QuickViewPane : public wxWindow {
 public:
  explicit QuickViewPane(wxWindow* parent, wxWindowID id = wxID_ANY);

  // Shows the picture at `path` (the file system's bytes). Files whose name
  // does not end in a picture extension the pane knows leave it unchanged.
  void ShowPicture(const std::string& path);
  void SetShowNameAndSize(bool on);

  bool HasPicture() const;
  // The size of the picture as decoded (before fitting), 0×0 when empty.
  wxSize PictureSize() const;
  // What is written over the picture ("name size : W x H"), empty when the
  // flag is off or nothing is shown.
  wxString NameAndSizeText() const;

 private:
  void OnPaint(wxPaintEvent& event);

  std::string path_;
  std::string name_;  // the text after the last separator
  wxImage picture_;   // as prepared at load: JPEGs already shrunk to the pane
  wxSize picture_size_{0, 0};
  wxBitmap drawn_;  // picture_ scaled to the last drawn size
  bool show_name_and_size_ = false;
};

// The settings dialog of the pane ("QuickViewerの設定"): reads and writes the
// four keys of the "QuickView" section of the given settings file. Answers
// true when OK wrote them.
bool ShowQuickViewSettingsDialog(wxWindow* parent, const std::string& settings_file);

}  // namespace marovine::ui
