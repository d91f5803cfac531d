#include "marovine/ui/property_sheet.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/listbook.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <utility>

#include "marovine/ui/log_detail_dialog.h"
#include "marovine/ui/property_choosers.h"
#include "marovine/ui/property_layout.h"
#include "marovine/ui/property_text.h"

namespace marovine {
namespace {

constexpr const char* kCrawlSection = "MarovineDownLoad";
constexpr int kGap = 6;

bool IsFolderOption(const SheetKey& key) {
  return key.section == kCrawlSection && (key.name == "Make Date Name Folder" ||
                                          key.name == "LinkFolder" || key.name == "TitleFolder");
}

// The event number of a sound check box ("Check3" is 3), or 0.
int SoundEvent(const SheetKey& key) {
  if (key.section != "Sound" || key.name.rfind("Check", 0) != 0) return 0;
  return std::stoi(key.name.substr(5));
}

wxButton* SmallButton(wxWindow* parent, const char* label) {
  return new wxButton(parent, wxID_ANY, wxString::FromUTF8(label), wxDefaultPosition, wxDefaultSize,
                      wxBU_EXACTFIT);
}

wxTextCtrl* NumberEdit(wxWindow* parent) {
  auto* edit = new wxTextCtrl(parent, wxID_ANY);
  // Wide enough for seven digits at whatever font size the desktop uses.
  int width = edit->GetTextExtent("0000000").x + edit->FromDIP(16);
  edit->SetMinSize(wxSize(width, -1));
  return edit;
}

}  // namespace

PropertySheetDialog::PropertySheetDialog(wxWindow* parent, PropertySheetContext context)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("標準のプロパティー"), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      context_(std::move(context)),
      profile_(context_.settings_path),
      model_(context_.storage_folder) {
  model_.Read(profile_);
  auto* column = new wxBoxSizer(wxVERTICAL);
  // The pages listed down the side: as a row of tabs, nine Japanese titles
  // are wider than the screen and GTK would hide some behind scroll arrows.
  book_ = new wxListbook(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLB_LEFT);
  const auto& pages = model_.pages();
  for (std::size_t i = 0; i < pages.size(); ++i) BuildPage(static_cast<int>(i), pages[i]);
  column->Add(book_, 1, wxEXPAND | wxALL, FromDIP(8));
  AddButtons(column);
  SetSizer(column);
  FitEditHeights(this);
  SizePages();
  TransferDataToWindow();
  Centre();
}

void PropertySheetDialog::BuildPage(int index, const SheetPage& page) {
  auto* panel = new wxScrolledWindow(book_, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                     wxVSCROLL | wxTAB_TRAVERSAL);
  panel->SetScrollRate(0, FromDIP(10));
  auto* column = new wxBoxSizer(wxVERTICAL);
  wxSizer* row = nullptr;
  for (const SheetKey& key : page.keys) AddKey(panel, column, row, index, key);
  column->AddSpacer(FromDIP(kGap));
  // The sound events' paths line up in one column.
  int widest = 0;
  for (const Shown& shown : shown_) {
    if (shown.page == index && SoundEvent(*shown.key)) {
      widest = std::max(widest, shown.control->GetBestSize().x);
    }
  }
  for (const Shown& shown : shown_) {
    if (shown.page == index && SoundEvent(*shown.key)) shown.control->SetMinSize({widest, -1});
  }
  panel->SetSizer(column);
  book_->AddPage(panel, ToWx(page.title));
  panels_.push_back(panel);
}

void PropertySheetDialog::AddKey(wxWindow* panel, wxSizer* column, wxSizer*& row, int page,
                                 const SheetKey& key) {
  if (key.control == SheetControl::kKept || key.control == SheetControl::kLogDetail) return;
  const int gap = FromDIP(kGap);
  auto new_row = [&] {
    row = new wxBoxSizer(wxHORIZONTAL);
    column->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap);
  };
  if (!key.same_row || !row) new_row();
  auto label = [&](const std::string& text) {
    if (!text.empty()) {
      row->Add(new wxStaticText(panel, wxID_ANY, ToWx(text)), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT,
               gap);
    }
  };
  Shown shown;
  shown.key = &key;
  shown.page = page;
  switch (key.control) {
    case SheetControl::kCheck: {
      auto* box = new wxCheckBox(panel, wxID_ANY, ToWx(key.caption));
      row->Add(box, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
      shown.control = box;
      if (IsFolderOption(key)) {
        box->Bind(wxEVT_CHECKBOX, [this, name = key.name](wxCommandEvent& event) {
          OnFolderOption(name, event.IsChecked());
        });
      } else if (int sound = SoundEvent(key)) {
        box->Bind(wxEVT_CHECKBOX, [this, sound](wxCommandEvent&) { OnSoundCheck(sound); });
      }
      if (key.section == kCrawlSection && key.name == "Dont Down File in Log") {
        auto* detail = SmallButton(panel, "詳細");
        detail->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnLogDetail(); });
        row->Add(detail, 0, wxALIGN_CENTER_VERTICAL);
        log_detail_button_ = detail;
      }
      break;
    }
    case SheetControl::kNumber: {
      label(key.caption);
      wxTextCtrl* edit = NumberEdit(panel);
      row->Add(edit, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
      shown.control = edit;
      if (key.section == "DownLoad" && key.name == "DouziDL") {
        auto* up = SmallButton(panel, "↑");
        auto* down = SmallButton(panel, "↓");
        up->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnStepDownloads(+1); });
        down->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnStepDownloads(-1); });
        row->Add(up, 0, wxALIGN_CENTER_VERTICAL);
        row->Add(down, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
        shown.button = up;
      }
      label(key.caption_after);
      break;
    }
    case SheetControl::kText:
    case SheetControl::kFolder: {
      label(key.caption);
      new_row();
      auto* edit = new wxTextCtrl(panel, wxID_ANY);
      row->Add(edit, 1, wxALIGN_CENTER_VERTICAL);
      shown.control = edit;
      if (key.control == SheetControl::kFolder) {
        auto* browse = SmallButton(panel, "参照");
        browse->Bind(wxEVT_BUTTON, [this, edit](wxCommandEvent&) {
          if (auto folder = ChooseFolder(this, FromWx(edit->GetValue()))) {
            edit->ChangeValue(ToWx(*folder));
          }
        });
        row->Add(browse, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, gap);
        shown.button = browse;
      }
      break;
    }
    case SheetControl::kSoundFile: {
      auto* edit = new wxTextCtrl(panel, wxID_ANY);
      edit->SetMinSize(wxSize(edit->GetTextExtent("/home/user/sounds/event.wav").x, -1));
      row->Add(edit, 1, wxALIGN_CENTER_VERTICAL);
      auto* pick = SmallButton(panel, "...");
      pick->Bind(wxEVT_BUTTON, [this, edit](wxCommandEvent&) {
        if (auto file = ChooseSoundFile(this, FromWx(edit->GetValue()))) {
          edit->ChangeValue(ToWx(*file));
        }
      });
      row->Add(pick, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, gap);
      shown.control = edit;
      shown.button = pick;
      break;
    }
    case SheetControl::kChoice: {
      for (std::size_t i = 0; i < key.choices.size(); ++i) {
        if (i > 0) new_row();
        auto* radio = new wxRadioButton(panel, wxID_ANY, ToWx(key.choices[i]), wxDefaultPosition,
                                        wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
        row->Add(radio, 0, wxALIGN_CENTER_VERTICAL);
        shown.radios.push_back(radio);
      }
      shown.control = shown.radios.front();
      break;
    }
    case SheetControl::kKept:
    case SheetControl::kLogDetail:
      return;
  }
  shown_.push_back(shown);
  if (key.section == kCrawlSection && key.name == "Kakuchoushi") AddGroupRow(panel, column);
}

// "GroupNo.：" [n] ← → "GroupName：" [name]: the shown extension group.
void PropertySheetDialog::AddGroupRow(wxWindow* panel, wxSizer* column) {
  const int gap = FromDIP(kGap);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  column->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap);
  row->Add(new wxStaticText(panel, wxID_ANY, wxString::FromUTF8("GroupNo.：")), 0,
           wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
  group_number_ = new wxTextCtrl(panel, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                 wxTE_READONLY | wxTE_CENTRE);
  group_number_->SetMinSize(wxSize(group_number_->GetTextExtent("00").x + FromDIP(24), -1));
  row->Add(group_number_, 0, wxALIGN_CENTER_VERTICAL);
  auto* back = SmallButton(panel, "←");
  auto* next = SmallButton(panel, "→");
  back->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnStepGroup(-1); });
  next->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnStepGroup(+1); });
  row->Add(back, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, gap);
  row->Add(next, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap * 2);
  row->Add(new wxStaticText(panel, wxID_ANY, wxString::FromUTF8("GroupName：")), 0,
           wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
  group_name_ = new wxTextCtrl(panel, wxID_ANY);
  row->Add(group_name_, 1, wxALIGN_CENTER_VERTICAL);
  group_back_ = back;
  group_next_ = next;
}

void PropertySheetDialog::AddButtons(wxSizer* column) {
  auto* buttons = new wxStdDialogButtonSizer;
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetDefault();
  ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOk(); });
  buttons->AddButton(ok);
  buttons->AddButton(new wxButton(this, wxID_CANCEL, wxString::FromUTF8("キャンセル")));
  buttons->Realize();
  column->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(8));
}

// Every page gets the size of the largest, so switching tabs never resizes
// the sheet; a page taller than the screen allows scrolls instead of being cut.
void PropertySheetDialog::SizePages() {
  wxSize largest(0, 0);
  for (wxWindow* panel : panels_) largest.IncTo(panel->GetSizer()->CalcMin());
  int display = wxDisplay::GetFromWindow(this);
  wxRect area = wxDisplay(display == wxNOT_FOUND ? 0 : display).GetClientArea();
  int room = area.height - FromDIP(170);  // tabs, buttons and the title bar
  wxSize page = largest;
  if (page.y > room) {
    page.y = std::max(room, FromDIP(200));
    page.x += wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this);
  }
  for (wxWindow* panel : panels_) {
    panel->SetMinSize(page);
    panel->FitInside();
  }
  Fit();
  SetMinSize(GetSize());
}

PropertySheetDialog::Shown* PropertySheetDialog::Find(const std::string& section,
                                                      const std::string& name) {
  for (Shown& shown : shown_) {
    if (shown.key->section == section && shown.key->name == name) return &shown;
  }
  return nullptr;
}

const PropertySheetDialog::Shown* PropertySheetDialog::Find(const std::string& section,
                                                            const std::string& name) const {
  return const_cast<PropertySheetDialog*>(this)->Find(section, name);
}

wxWindow* PropertySheetDialog::ControlFor(const std::string& section,
                                          const std::string& name) const {
  const Shown* shown = Find(section, name);
  return shown ? shown->control : nullptr;
}

wxWindow* PropertySheetDialog::ButtonFor(const std::string& section,
                                         const std::string& name) const {
  const Shown* shown = Find(section, name);
  return shown ? shown->button : nullptr;
}

std::string PropertySheetDialog::EditText(const std::string& section,
                                          const std::string& name) const {
  auto* edit = dynamic_cast<wxTextCtrl*>(ControlFor(section, name));
  return edit ? FromWx(edit->GetValue()) : std::string();
}

void PropertySheetDialog::SetEditText(const std::string& section, const std::string& name,
                                      const std::string& text) {
  if (auto* edit = dynamic_cast<wxTextCtrl*>(ControlFor(section, name))) {
    edit->ChangeValue(ToWx(text));
  }
}

bool PropertySheetDialog::CheckValue(const std::string& section, const std::string& name) const {
  auto* box = dynamic_cast<wxCheckBox*>(ControlFor(section, name));
  return box && box->GetValue();
}

bool PropertySheetDialog::TransferDataToWindow() {
  for (const Shown& shown : shown_) {
    const SheetKey& key = *shown.key;
    switch (key.control) {
      case SheetControl::kCheck:
        static_cast<wxCheckBox*>(shown.control)->SetValue(model_.Flag(key.section, key.name));
        break;
      case SheetControl::kChoice: {
        int index = model_.Int(key.section, key.name) - key.min;
        if (index >= 0 && index < static_cast<int>(shown.radios.size())) {
          shown.radios[static_cast<std::size_t>(index)]->SetValue(true);
        }
        break;
      }
      default:
        static_cast<wxTextCtrl*>(shown.control)
            ->ChangeValue(ToWx(model_.Text(key.section, key.name)));
        break;
    }
  }
  ShowGroup();
  UpdateRandomNumberBox();
  return true;
}

// Takes a number edit into the model; a refused text shows its message on
// the page of the edit and leaves the focus there.
bool PropertySheetDialog::TakeNumber(const Shown& shown) {
  auto* edit = static_cast<wxTextCtrl*>(shown.control);
  auto error = model_.SetNumberText(shown.key->section, shown.key->name, FromWx(edit->GetValue()));
  if (!error) {
    edit->ChangeValue(ToWx(model_.Text(shown.key->section, shown.key->name)));
    return true;
  }
  book_->SetSelection(static_cast<std::size_t>(shown.page));
  if (context_.show_message) {
    context_.show_message(*error);
  } else {
    wxMessageBox(ToWx(*error), "marovine", wxOK | wxICON_EXCLAMATION, this);
  }
  edit->SetFocus();
  edit->SelectAll();
  return false;
}

bool PropertySheetDialog::TransferDataFromWindow() {
  for (const Shown& shown : shown_) {
    const SheetKey& key = *shown.key;
    switch (key.control) {
      case SheetControl::kCheck:
        model_.SetFlag(key.section, key.name, static_cast<wxCheckBox*>(shown.control)->GetValue());
        break;
      case SheetControl::kNumber:
        if (!TakeNumber(shown)) return false;
        break;
      case SheetControl::kChoice:
        for (std::size_t i = 0; i < shown.radios.size(); ++i) {
          if (shown.radios[i]->GetValue()) {
            model_.SetInt(key.section, key.name, key.min + static_cast<int>(i));
          }
        }
        break;
      default:
        model_.SetText(key.section, key.name,
                       FromWx(static_cast<wxTextCtrl*>(shown.control)->GetValue()));
        break;
    }
  }
  model_.SetShownGroupName(FromWx(group_name_->GetValue()));
  return true;
}

void PropertySheetDialog::OnOk() {
  if (!Validate() || !TransferDataFromWindow()) return;
  if (!model_.Write(profile_)) {
    wxMessageBox(wxString::FromUTF8("設定ファイルに書き込めません。\n") + ToWx(profile_.path()),
                 "marovine", wxOK | wxICON_ERROR, this);
    return;
  }
  written_ = true;
  EndModal(wxID_OK);
}

void PropertySheetDialog::OnStepDownloads(int delta) {
  // A text that is no number steps from the value last taken.
  (void)model_.SetNumberText("DownLoad", "DouziDL", EditText("DownLoad", "DouziDL"));
  model_.StepSimultaneousDownloads(delta);
  SetEditText("DownLoad", "DouziDL", model_.Text("DownLoad", "DouziDL"));
}

void PropertySheetDialog::OnStepGroup(int delta) {
  model_.SetText(kCrawlSection, "Kakuchoushi", EditText(kCrawlSection, "Kakuchoushi"));
  model_.SetShownGroupName(FromWx(group_name_->GetValue()));
  model_.MoveGroup(delta);
  ShowGroup();
}

void PropertySheetDialog::ShowGroup() {
  group_number_->ChangeValue(wxString::Format("%d", model_.ShownGroup()));
  SetEditText(kCrawlSection, "Kakuchoushi", model_.Text(kCrawlSection, "Kakuchoushi"));
  group_name_->ChangeValue(ToWx(model_.ShownGroupName()));
}

void PropertySheetDialog::OnFolderOption(const std::string& name, bool on) {
  model_.ClickFolderOption(name, on);
  for (const char* option : {"Make Date Name Folder", "LinkFolder", "TitleFolder"}) {
    if (auto* box = dynamic_cast<wxCheckBox*>(ControlFor(kCrawlSection, option))) {
      box->SetValue(model_.Flag(kCrawlSection, option));
    }
  }
  UpdateRandomNumberBox();
}

void PropertySheetDialog::UpdateRandomNumberBox() {
  if (wxWindow* box = ControlFor(kCrawlSection, "Put Random Num")) {
    box->Enable(model_.RandomNumberEnabled());
  }
}

void PropertySheetDialog::OnSoundCheck(int event) {
  if (!CheckValue("Sound", "TestSound") || !context_.play_sound) return;
  std::string wave = EditText("Sound", "Sound" + std::to_string(event));
  if (!wave.empty()) context_.play_sound(wave);
}

void PropertySheetDialog::OnLogDetail() {
  std::vector<LogDetailOption> options;
  std::vector<const SheetKey*> keys;
  for (const SheetPage& page : model_.pages()) {
    for (const SheetKey& key : page.keys) {
      if (key.control != SheetControl::kLogDetail) continue;
      options.push_back({key.caption, model_.Flag(key.section, key.name)});
      keys.push_back(&key);
    }
  }
  if (!EditLogDetail(this, options)) return;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    model_.SetFlag(keys[i]->section, keys[i]->name, options[i].on);
  }
}

bool ShowDefaultPropertySheet(wxWindow* parent, const PropertySheetContext& context) {
  bool written = false;
  {
    PropertySheetDialog sheet(parent, context);
    sheet.ShowModal();
    written = sheet.written();
  }
  if (context.reload_settings) context.reload_settings();
  return written;
}

}  // namespace marovine
