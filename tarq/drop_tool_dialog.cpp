#include "tarq/drop_tool_dialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dirdlg.h>
#include <wx/dnd.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/path.h"
#include "tarq/drop_tool_texts.h"
#include "tarq/title_search.h"
#include "tarq/x11_window_titles.h"

namespace marovine::tarq {
namespace {

wxString Text(const std::string& utf8) { return wxString::FromUTF8(utf8.c_str()); }

std::string Utf8(const wxString& text) { return std::string(text.utf8_str()); }

class FileDropTarget : public wxFileDropTarget {
 public:
  explicit FileDropTarget(DropToolDialog& dialog) : dialog_(dialog) {}

  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& names) override {
    std::vector<std::string> paths;
    for (const wxString& name : names) paths.push_back(Utf8(name));
    dialog_.OnFilesDropped(paths);
    return true;
  }

 private:
  DropToolDialog& dialog_;
};

}  // namespace

DropToolDialog::DropToolDialog(const std::string& banner_path)
    : wxDialog(nullptr, wxID_ANY, Text(texts::kDialogTitle), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxMINIMIZE_BOX) {
  state_.banner_path = banner_path;

  auto* prompt = new wxStaticText(this, wxID_ANY, Text(texts::kPrompt));
  topmost_ = new wxCheckBox(this, wxID_ANY, Text(texts::kTopmost));
  auto* left_edge = new wxButton(this, wxID_ANY, Text(texts::kLeftEdge));
  delete_after_drop_ = new wxCheckBox(this, wxID_ANY, Text(texts::kDeleteAfterDrop));
  status_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(420, -1),
                           wxTE_READONLY);
  auto* open_elsewhere = new wxStaticText(this, wxID_ANY, Text(texts::kOpenElsewhere));
  auto* never_download = new wxButton(this, wxID_ANY, Text(texts::kNeverDownload));
  auto* browse = new wxButton(this, wxID_ANY, Text(texts::kBrowseFolder));
  also_delete_ = new wxCheckBox(this, wxID_ANY, Text(texts::kAlsoDelete));
  titles_ = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(420, 110));

  auto* top_row = new wxBoxSizer(wxHORIZONTAL);
  top_row->Add(topmost_, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 12);
  top_row->Add(left_edge, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 12);
  top_row->Add(delete_after_drop_, 0, wxALIGN_CENTER_VERTICAL);

  auto* search_row = new wxBoxSizer(wxHORIZONTAL);
  search_row->Add(never_download, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
  search_row->Add(also_delete_, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
  search_row->AddStretchSpacer();
  search_row->Add(browse, 0, wxALIGN_CENTER_VERTICAL);

  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(prompt, 0, wxALL, 8);
  column->Add(top_row, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);
  column->Add(status_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
  column->Add(open_elsewhere, 0, wxLEFT | wxRIGHT | wxTOP, 8);
  column->Add(search_row, 0, wxEXPAND | wxALL, 8);
  column->Add(titles_, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
  SetSizerAndFit(column);

  topmost_->Bind(wxEVT_CHECKBOX, &DropToolDialog::OnTopmostClicked, this);
  left_edge->Bind(wxEVT_BUTTON, &DropToolDialog::OnLeftEdgeClicked, this);
  never_download->Bind(wxEVT_BUTTON, &DropToolDialog::OnNeverDownloadClicked, this);
  browse->Bind(wxEVT_BUTTON, &DropToolDialog::OnBrowseFolderClicked, this);
  SetDropTarget(new FileDropTarget(*this));

  topmost_->SetValue(true);
  ApplyTopmost();
}

void DropToolDialog::ApplyTopmost() {
  long style = GetWindowStyleFlag();
  style = topmost_->GetValue() ? (style | wxSTAY_ON_TOP) : (style & ~wxSTAY_ON_TOP);
  SetWindowStyleFlag(style);
}

void DropToolDialog::TakeControls() {
  state_.delete_after_drop = delete_after_drop_->GetValue();
  state_.also_delete = also_delete_->GetValue();
}

void DropToolDialog::ShowReport(const ActionReport& report) {
  status_->ChangeValue(Text(state_.status));
  if (report.message) {
    wxMessageBox(Text(*report.message), Text(texts::kMessageCaption), wxOK, this);
  }
  if (report.used_title_index && *report.used_title_index < titles_->GetCount()) {
    titles_->SetSelection(static_cast<int>(*report.used_title_index));
  }
}

void DropToolDialog::OnFilesDropped(const std::vector<std::string>& paths) {
  TakeControls();
  ShowReport(HandleDroppedPaths(state_, paths));
}

void DropToolDialog::OnTopmostClicked(wxCommandEvent&) { ApplyTopmost(); }

void DropToolDialog::OnLeftEdgeClicked(wxCommandEvent&) {
  ApplyTopmost();
  Move(0, 0);
}

void DropToolDialog::OnNeverDownloadClicked(wxCommandEvent&) {
  TakeControls();
  titles_->Clear();
  std::vector<std::string> shown;
  for (const std::string& title : TopLevelWindowTitlesOfDefaultDisplay()) {
    shown.push_back(ShortenedTitle(title));
    titles_->Append(Text(shown.back()));
  }
  ShowReport(DislikeFileShownInTitles(state_, TitleTable(shown)));
}

void DropToolDialog::OnBrowseFolderClicked(wxCommandEvent&) {
  wxDirDialog chooser(this, Text(texts::kChooseFolder), Text(state_.search_folder),
                      wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (chooser.ShowModal() != wxID_OK) return;
  state_.search_folder = platform::WithTrailingSeparator(Utf8(chooser.GetPath()));
}

}  // namespace marovine::tarq
