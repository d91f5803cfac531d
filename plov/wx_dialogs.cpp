#include "plov/wx_dialogs.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/dirdlg.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "plov/core/plov_texts.h"

namespace plov {
namespace {

wxString Wx(std::string_view text) { return wxString::FromUTF8(text.data(), text.size()); }

long IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::kWarning:
      return wxICON_WARNING;
    case MessageKind::kError:
      return wxICON_ERROR;
    case MessageKind::kQuestion:
      return wxICON_QUESTION;
    case MessageKind::kInformation:
      break;
  }
  return wxICON_INFORMATION;
}

class TextPageDialog : public wxDialog {
 public:
  explicit TextPageDialog(const TextPageRequest& page)
      : wxDialog(nullptr, wxID_ANY, Wx(page.caption), wxDefaultPosition, wxSize(560, 440)),
        confirm_cancel_(page.confirm_cancel) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticText(this, wxID_ANY, Wx(dialog_text::kTextPageLabel)), 0, wxALL, 8);
    auto* text = new wxTextCtrl(this, wxID_ANY, Wx(page.text), wxDefaultPosition, wxDefaultSize,
                                wxTE_MULTILINE | wxTE_READONLY);
    text->SetFont(wxFont(
        wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE).FaceName(Wx(dialog_text::kTextPageFont))));
    sizer->Add(text, 1, wxEXPAND | wxLEFT | wxRIGHT, 8);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(new wxButton(this, wxID_OK, Wx(dialog_text::kNext)), 0, wxALL, 4);
    buttons->Add(new wxButton(this, wxID_CANCEL, Wx(dialog_text::kCancel)), 0, wxALL, 4);
    sizer->Add(buttons, 0, wxEXPAND | wxALL, 4);
    SetSizer(sizer);
    Bind(wxEVT_BUTTON, &TextPageDialog::OnCancel, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Cancel(); });
  }

 private:
  void OnCancel(wxCommandEvent&) { Cancel(); }
  void Cancel() {
    if (confirm_cancel_()) EndModal(wxID_CANCEL);
  }
  std::function<bool()> confirm_cancel_;
};

class OptionsDialog : public wxDialog {
 public:
  explicit OptionsDialog(const OptionsRequest& request)
      : wxDialog(nullptr, wxID_ANY, Wx(request.caption)), request_(request) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* boxes = new wxStaticBoxSizer(wxVERTICAL, this, Wx(dialog_text::kOptionsFrame));
    group_ = AddBox(boxes, dialog_text::kGroupBox, request.group);
    startup_ = AddBox(boxes, dialog_text::kStartupBox, request.startup);
    desktop_ = AddBox(boxes, dialog_text::kDesktopBox, request.desktop);
    sizer->Add(boxes, 0, wxEXPAND | wxALL, 8);
    if (request.with_folder) {
      auto* frame = new wxStaticBoxSizer(wxHORIZONTAL, this, Wx(dialog_text::kFolderFrame));
      folder_ = new wxTextCtrl(frame->GetStaticBox(), wxID_ANY, Wx(request.folder),
                               wxDefaultPosition, wxSize(360, -1));
      auto* browse = new wxButton(frame->GetStaticBox(), wxID_ANY, Wx(dialog_text::kBrowse));
      frame->Add(folder_, 1, wxALL | wxALIGN_CENTER_VERTICAL, 4);
      frame->Add(browse, 0, wxALL, 4);
      sizer->Add(frame, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
      Describe(folder_, TextOf(kTextFolderHint));
      Describe(browse, TextOf(kTextFolderHint));
      browse->Bind(wxEVT_BUTTON, &OptionsDialog::OnBrowse, this);
    }
    auto* about = new wxStaticBoxSizer(wxVERTICAL, this, Wx(dialog_text::kDescriptionFrame));
    description_ =
        new wxStaticText(about->GetStaticBox(), wxID_ANY, "", wxDefaultPosition, wxSize(440, 48));
    about->Add(description_, 1, wxEXPAND | wxALL, 4);
    sizer->Add(about, 0, wxEXPAND | wxALL, 8);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    auto* ok = new wxButton(this, wxID_OK, Wx(dialog_text::kOk));
    auto* cancel = new wxButton(this, wxID_CANCEL, Wx(dialog_text::kCancel));
    buttons->Add(ok, 0, wxALL, 4);
    buttons->Add(cancel, 0, wxALL, 4);
    sizer->Add(buttons, 0, wxEXPAND | wxALL, 4);
    Describe(group_, request.group.info);
    Describe(startup_, request.startup.info);
    Describe(desktop_, request.desktop.info);
    Describe(ok, TextOf(kTextContinueInstall));
    Describe(cancel, TextOf(kTextStopInstall));
    SetDescription(request.with_folder ? std::string(TextOf(kTextFolderHint)) : request.group.info);
    SetSizerAndFit(sizer);
    ok->Bind(wxEVT_BUTTON, &OptionsDialog::OnOk, this);
    cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Cancel(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Cancel(); });
  }

  OptionsChoice Choice() const {
    return {group_->GetValue(), startup_->GetValue(), desktop_->GetValue(),
            folder_ ? std::string(folder_->GetValue().utf8_str()) : request_.folder};
  }

 private:
  wxCheckBox* AddBox(wxStaticBoxSizer* boxes, const char* label, const ShortcutOffer& offer) {
    auto* box = new wxCheckBox(boxes->GetStaticBox(), wxID_ANY, Wx(label));
    box->SetValue(offer.checked);
    box->Enable(offer.enabled);
    boxes->Add(box, 0, wxALL, 4);
    return box;
  }
  void Describe(wxWindow* control, std::string_view text) {
    std::string copy(text);
    control->Bind(wxEVT_SET_FOCUS, [this, copy](wxFocusEvent& event) {
      SetDescription(copy);
      event.Skip();
    });
  }
  void SetDescription(const std::string& text) {
    description_->SetLabel(Wx(text));
    description_->Wrap(440);
  }
  void OnOk(wxCommandEvent&) {
    if (folder_) {
      if (int problem = request_.folder_problem(std::string(folder_->GetValue().utf8_str()))) {
        wxMessageBox(Wx(TextOf(problem)), Wx(request_.caption), wxOK | wxICON_EXCLAMATION, this);
        folder_->SetFocus();
        folder_->SelectAll();
        return;
      }
    }
    EndModal(wxID_OK);
  }
  void OnBrowse(wxCommandEvent&) {
    while (true) {
      wxDirDialog browser(this, Wx(TextOf(kTextChooseFolder)), folder_->GetValue(),
                          wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
      if (browser.ShowModal() != wxID_OK) return;
      std::string chosen(browser.GetPath().utf8_str());
      if (!request_.is_network_folder(chosen)) {
        folder_->SetValue(Wx(chosen));
        return;
      }
      wxMessageBox(Wx(TextOf(kTextNetworkFolder)), Wx(request_.caption), wxOK | wxICON_EXCLAMATION,
                   this);
    }
  }
  void Cancel() {
    if (request_.confirm_cancel()) EndModal(wxID_CANCEL);
  }

  const OptionsRequest& request_;
  wxCheckBox* group_ = nullptr;
  wxCheckBox* startup_ = nullptr;
  wxCheckBox* desktop_ = nullptr;
  wxTextCtrl* folder_ = nullptr;
  wxStaticText* description_ = nullptr;
};

}  // namespace

void WxDialogs::Show(const MessageBoxRequest& message) {
  wxMessageBox(Wx(message.text), Wx(message.caption), wxOK | IconOf(message.kind));
}

bool WxDialogs::Ask(const MessageBoxRequest& question) {
  return wxMessageBox(Wx(question.text), Wx(question.caption), wxYES_NO | IconOf(question.kind)) ==
         wxYES;
}

bool WxDialogs::ShowTextPage(const TextPageRequest& page) {
  TextPageDialog dialog(page);
  return dialog.ShowModal() == wxID_OK;
}

std::optional<OptionsChoice> WxDialogs::ShowOptions(const OptionsRequest& options) {
  OptionsDialog dialog(options);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return dialog.Choice();
}

}  // namespace plov
