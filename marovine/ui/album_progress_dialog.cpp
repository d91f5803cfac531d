#include "marovine/ui/album_progress_dialog.h"

#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/gauge.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/time.h>
#include <wx/utils.h>

#include "marovine/ui/property_text.h"

namespace marovine {

AlbumProgressDialog::AlbumProgressDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "Marovine HTML Album Creater") {
  const int gap = FromDIP(8);
  auto* column = new wxBoxSizer(wxVERTICAL);
  bar_ = new wxGauge(this, wxID_ANY, 1, wxDefaultPosition, wxSize(FromDIP(320), -1));
  column->Add(bar_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap);
  counter_ = new wxStaticText(this, wxID_ANY, "0/0", wxDefaultPosition, wxDefaultSize,
                              wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
  column->Add(counter_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap);
  auto* cancel = new wxButton(this, wxID_CANCEL, wxString::FromUTF8("ｷｬﾝｾﾙ"));
  cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RequestCancel(); });
  column->Add(cancel, 0, wxALIGN_CENTRE | wxALL, gap);
  // The close box stops the run like "ｷｬﾝｾﾙ"; the dialog goes when its owner
  // destroys it after the run.
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
    RequestCancel();
    event.Veto();
  });
  SetSizerAndFit(column);
  Centre();
}

AlbumProgressDialog::~AlbumProgressDialog() = default;

void AlbumProgressDialog::Started(int count) {
  bar_->SetRange(count > 0 ? count : 1);
  bar_->SetValue(0);
  counter_->SetLabel(wxString::Format("0/%d", count));
  if (!IsShown()) {
    Show();
    disabler_ = std::make_unique<wxWindowDisabler>(this);
  }
  LetUserAct();
}

void AlbumProgressDialog::Advanced(int done, int count) {
  counter_->SetLabel(wxString::Format("%d/%d", done, count));
  bar_->SetValue(std::min(done, bar_->GetRange()));
  // Drawing and input a few times a second are enough; a thumbnail takes
  // far less than that.
  wxLongLong now = wxGetLocalTimeMillis();
  if (now - last_yield_ >= 50 || done == count) LetUserAct();
}

void AlbumProgressDialog::LetUserAct() {
  last_yield_ = wxGetLocalTimeMillis();
  Update();
  if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) {
    loop->YieldFor(wxEVT_CATEGORY_UI | wxEVT_CATEGORY_USER_INPUT);
  }
}

void AlbumProgressDialog::ShowMessage(const std::string& text) {
  wxMessageBox(ToWx(text), "marovine", wxOK | wxICON_INFORMATION, IsShown() ? this : GetParent());
}

AlbumRunResult MakeFolderAlbumShowingProgress(wxWindow* parent, const std::string& folder,
                                              const AlbumSettings& settings) {
  AlbumProgressDialog progress(parent);
  return MakeFolderAlbum(folder, settings, progress);
}

AlbumRunResult MakeSiteAlbumsShowingProgress(wxWindow* parent, const std::vector<AlbumSite>& sites,
                                             const std::string& program_folder,
                                             const AlbumSettings& settings) {
  AlbumProgressDialog progress(parent);
  return MakeSelectedSiteAlbums(sites, program_folder, settings, progress);
}

AlbumRunResult MakeAutomaticAlbumShowingProgress(wxWindow* parent, const AlbumSite& site,
                                                 const std::vector<std::string>& finished_paths,
                                                 const AlbumSettings& settings) {
  AlbumProgressDialog progress(parent);
  return MakeAutomaticSiteAlbum(site, finished_paths, settings, progress);
}

}  // namespace marovine
