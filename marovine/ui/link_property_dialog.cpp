#include "marovine/ui/link_property_dialog.h"

#include <algorithm>

#include "marovine/document/settings_pages.h"
#include "marovine/document/settings_pages_items.h"
#include "marovine/ui/property_choosers.h"
#include "marovine/ui/property_layout.h"
#include "marovine/ui/property_text.h"
#include "platform/path.h"

namespace marovine {
namespace {

wxTextCtrl* ReadOnly(wxWindow* parent) {
  return new wxTextCtrl(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
}

// "caption [edit] after" on one row; answers the row.
wxBoxSizer* InlineRow(wxWindow* parent, wxSizer* column, const std::string& caption,
                      wxWindow* control, const std::string& after = "") {
  const int gap = parent->FromDIP(6);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  if (!caption.empty()) {
    row->Add(new wxStaticText(parent, wxID_ANY, ToWx(caption)), 0,
             wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
  }
  row->Add(control, 0, wxALIGN_CENTER_VERTICAL);
  if (!after.empty()) {
    row->Add(new wxStaticText(parent, wxID_ANY, ToWx(after)), 0, wxALIGN_CENTER_VERTICAL | wxLEFT,
             gap);
  }
  column->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap);
  return row;
}

wxTextCtrl* ShortEdit(wxWindow* parent, long style = 0) {
  auto* edit = new wxTextCtrl(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, style);
  edit->SetMinSize(wxSize(edit->GetTextExtent("0000000").x + parent->FromDIP(16), -1));
  return edit;
}

}  // namespace

LinkPropertyDialog::LinkPropertyDialog(wxWindow* parent, const platform::Profile& profile,
                                       const LinkItem& item)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("個別プロパティー"), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      profile_(profile),
      item_(item) {
  const bool whole_site = item_.mode == MODE_WHOLE_SITE;
  auto* column = new wxBoxSizer(wxVERTICAL);

  wxBoxSizer* row = AddCaptionedRow(this, column, "URL：");
  url_ = new wxTextCtrl(this, wxID_ANY, ToWx(item_.url));
  url_->SetMinSize(wxSize(FromDIP(420), -1));
  row->Add(url_, 1, wxALIGN_CENTER_VERTICAL);
  AddSmallButton(this, row, "ブラウザで表示")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    OpenWithDesktop(FromWx(url_->GetValue()));
  });

  row = AddCaptionedRow(this, column, "格納フォルダ：");
  folder_ = new wxTextCtrl(this, wxID_ANY, ToWx(item_.folder));
  row->Add(folder_, 1, wxALIGN_CENTER_VERTICAL);
  AddSmallButton(this, row, "参照")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    if (auto folder = ChooseFolder(this, FromWx(folder_->GetValue()))) {
      folder_->ChangeValue(ToWx(*folder));
    }
  });

  wxTextCtrl* state = ReadOnly(this);
  state->ChangeValue(ToWx(LinkItemStateCaption(item_)));
  InlineRow(this, column, "状態：", state)->GetItem(state)->SetProportion(1);

  random_ = ShortEdit(this);
  random_->ChangeValue(wxString::Format("%d", item_.random_number));
  InlineRow(this, column, "乱数：", random_);

  group_ = ReadOnly(this);
  row = InlineRow(this, column, "拡張子グループ：", group_);
  row->GetItem(group_)->SetProportion(1);
  group_back_ = AddSmallButton(this, row, "←");
  group_next_ = AddSmallButton(this, row, "→");
  group_back_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { StepGroup(-1); });
  group_next_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { StepGroup(+1); });

  credentials_ = AddCaptionedEdit(this, column, "基本認証（ユーザー：パスワード）");
  credentials_->ChangeValue(ToWx(item_.credentials));
  AddCaptionedEdit(this, column, "その他の付加情報", wxTE_READONLY)->ChangeValue(ToWx(item_.title));

  level_ = ShortEdit(this, wxTE_READONLY);
  row = InlineRow(this, column, "検索レベル：", level_);
  level_back_ = AddSmallButton(this, row, "←");
  level_next_ = AddSmallButton(this, row, "→");
  level_back_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { StepLevel(-1); });
  level_next_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { StepLevel(+1); });

  page_limit_ = ShortEdit(this);
  page_limit_->ChangeValue(wxString::Format("%d", item_.page_limit));
  InlineRow(this, column, "最大検索ページ数(０で無効化)", page_limit_);
  reset_days_ = ShortEdit(this);
  reset_days_->ChangeValue(wxString::Format("%d", item_.reset_days));
  InlineRow(this, column, "", reset_days_, "日ごとに、未終了に戻す。(０で無効化)");

  // A whole-site item has no extension group, and searches at its own level,
  // which the arrows' 0..3 must not replace.
  for (wxButton* arrow : {group_back_, group_next_, level_back_, level_next_}) {
    arrow->Enable(!whole_site);
  }
  AddOkCancel(this, column);
  FitEditHeights(this);
  SetSizerAndFit(column);
  ShowGroupAndLevel();
  url_->SetFocus();
  Centre();
}

void LinkPropertyDialog::StepGroup(int delta) {
  item_.group = std::clamp(item_.group + delta, 0, kLastExtensionGroup);
  ShowGroupAndLevel();
}

void LinkPropertyDialog::StepLevel(int delta) {
  item_.search_level = std::clamp(item_.search_level + delta, 0, kLastSearchLevel);
  ShowGroupAndLevel();
}

void LinkPropertyDialog::ShowGroupAndLevel() {
  group_->ChangeValue(ToWx(LinkItemGroupCaption(profile_, item_)));
  level_->ChangeValue(wxString::Format("%d", item_.search_level));
}

bool LinkPropertyDialog::TakeNumber(wxTextCtrl* edit, int max, std::int32_t& field) {
  int number = 0;
  if (auto error = ParseEditNumber(FromWx(edit->GetValue()), 0, max, false, number)) {
    RefuseEdit(this, edit, *error);
    return false;
  }
  field = number;
  return true;
}

bool LinkPropertyDialog::TransferDataFromWindow() {
  LinkItem edited = item_;
  constexpr int kNoLimit = 1000000000;
  if (!TakeNumber(random_, kLargestRandomNumber, edited.random_number) ||
      !TakeNumber(page_limit_, kNoLimit, edited.page_limit) ||
      !TakeNumber(reset_days_, kNoLimit, edited.reset_days)) {
    return false;
  }
  edited.url = FromWx(url_->GetValue());
  if (edited.url.empty()) {
    RefuseEdit(this, url_, "URLを入力してください。");
    return false;
  }
  // The engine joins the folder and a name directly.
  edited.folder = platform::WithTrailingSeparator(FromWx(folder_->GetValue()));
  edited.credentials = FromWx(credentials_->GetValue());
  item_ = edited;
  return true;
}

bool EditLinkItemProperties(wxWindow* parent, const platform::Profile& profile, LinkItem& item) {
  LinkPropertyDialog dialog(parent, profile, item);
  if (dialog.ShowModal() != wxID_OK) return false;
  item = dialog.item();
  return true;
}

}  // namespace marovine
