#include "marovine/ui/main_frame.h"

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/dnd.h>
#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>

#include "marovine/document/banner_commands.h"
#include "marovine/document/crawl_hooks.h"
#include "marovine/document/document_file.h"
#include "marovine/document/download_ordering.h"
#include "marovine/document/dropped_file.h"
#include "marovine/document/link_album_command.h"
#include "marovine/document/link_list_view.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/refetch_queue.h"
#include "marovine/document/settings_keys.h"
#include "marovine/document/shell_commands.h"
#include "marovine/document/url_entry.h"
#include "marovine/engine/site_log_paths.h"
#include "marovine/ui/about_lines.h"
#include "marovine/ui/album_progress_dialog.h"
#include "marovine/ui/album_settings_dialog.h"
#include "marovine/ui/command_ids.h"
#include "marovine/ui/command_layout.h"
#include "marovine/ui/download_list_ctrl.h"
#include "marovine/ui/download_property_dialog.h"
#include "marovine/ui/file_view_dialog.h"
#include "marovine/ui/frame_crawl_hooks.h"
#include "marovine/ui/link_list_ctrl.h"
#include "marovine/ui/link_property_dialog.h"
#include "marovine/ui/property_sheet.h"
#include "marovine/ui/property_text.h"
#include "marovine/ui/proxy_dialog.h"
#include "marovine/ui/quick_view_pane.h"
#include "marovine/ui/quick_view_settings_dialog.h"
#include "marovine/ui/recent_files.h"
#include "marovine/ui/sequential_url_dialog.h"
#include "marovine/ui/start_up.h"
#include "marovine/ui/tray_icon.h"
#include "marovine/ui/ui_artwork.h"
#include "marovine/ui/window_layout.h"
#include "marovine/ui/wx_ui_services.h"
#include "marovine/unattended/canberra_sound_player.h"
#include "platform/path.h"
#include "platform/program_folder.h"

namespace marovine::ui {
namespace {

constexpr const char* kReady = "ﾚﾃﾞｨ";
constexpr const char* kRunning = "開始  ";
constexpr const char* kStopped = "停止  ";
constexpr const char* kNewDocumentQuestion = "現在の内容は全て失われます！";
constexpr const char* kCannotSave = "ファイルを保存できません";
constexpr const char* kCannotRead = "ファイルを開けません";
constexpr const char* kDocumentFilter = "まろびねファイル(*.mrv)|*.mrv";
constexpr int kTrayPeriodMs = 1500;
constexpr int kTrayTimerId = 100;

// A key written in brackets after the tab is one the menu shows but does not
// own (the accelerator table does); wx would take the tab for its own.
wxString MenuText(int id) {
  std::string caption = CommandCaption(id);
  if (auto tab = caption.find("\t["); tab != std::string::npos) caption.replace(tab, 1, "  ");
  return ToWx(caption);
}

// Where the window opens: as it was when it closed, when that fits the screen.
struct Placement {
  wxPoint position = wxDefaultPosition;
  wxSize size;
  bool restored = false;
};

Placement PlaceFrame(const platform::Profile& profile) {
  SavedGeometry saved = ReadSavedGeometry(profile);
  wxSize screen = wxGetDisplaySize();
  Placement placement;
  SavedGeometry defaults;
  placement.size = wxSize(defaults.width, defaults.height);
  if (GeometryFitsScreen(saved, screen.GetWidth(), screen.GetHeight())) {
    placement.position = wxPoint(saved.x, saved.y);
    placement.size = wxSize(saved.width, saved.height);
    placement.restored = true;
  }
  return placement;
}

wxItemKind KindOf(int id) {
  switch (id) {
    case ID_CLIPBOARD_WATCH:
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_STATUS_BAR:
      return wxITEM_CHECK;
    case ID_MODE_CRAWL:
    case ID_MODE_WHOLE_SITE:
      return wxITEM_RADIO;
    default:
      return wxITEM_NORMAL;
  }
}

// Files dropped on any part of the window.
class FileDrop : public wxFileDropTarget {
 public:
  explicit FileDrop(CMainFrame* frame) : frame_(frame) {}
  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& names) override {
    std::vector<std::string> paths;
    for (const wxString& name : names) paths.emplace_back(name.utf8_str());
    // After the drag has ended: opening a document may show a dialog.
    frame_->CallAfter([frame = frame_, paths] { frame->HandleDroppedFiles(paths); });
    return true;
  }

 private:
  CMainFrame* frame_;
};

}  // namespace

CMainFrame::CMainFrame(CMarovineDoc& doc)
    : wxFrame(nullptr, wxID_ANY, ToWx(FrameCaption(doc.document_path))),
      doc_(doc),
      ui_(std::make_unique<WxUiServices>(this)),
      hooks_(std::make_unique<FrameCrawlHooks>(
          doc, FrameCrawlHooks::Window{this, ui_.get(), [this] { return quick_view_; },
                                       // Not inside the tick that asked: the
                                       // close saves and tears down.
                                       [this] { CallAfter([this] { Close(); }); },
                                       [this] { PollClipboard(); }})),
      tray_timer_(this, kTrayTimerId) {
  Placement placement = PlaceFrame(doc_.profile);
  layout_restored_ = !placement.restored;
  SetSize(wxRect(placement.position, placement.size));
  SetIcons(ApplicationIcons());

  doc_.SetUiServices(ui_.get());
  doc_.crawl().SetCrawlHooks(hooks_.get());

  CreateCommands();
  CreateStatusBar(3);
  const int widths[] = {-1, 160, 60};
  GetStatusBar()->SetStatusWidths(3, widths);
  SetStatusText(ToWx(kReady), 0);
  CreateToolbar();
  CreateMenus();
  CreateAccelerators();
  CreateColumns();
  CreateTray();
  SyncToggles();

  Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
  Bind(wxEVT_ICONIZE, &CMainFrame::OnIconize, this);
}

CMainFrame::~CMainFrame() {
  tray_timer_.Stop();
  doc_.crawl().SetCrawlHooks(nullptr);
  doc_.SetUiServices(nullptr);
}

void CMainFrame::CreateCommands() {
  commands_[ID_FILE_NEW] = [this] { NewDocument(); };
  commands_[ID_FILE_OPEN] = [this] { OpenDocumentDialog(); };
  commands_[ID_FILE_SAVE] = [this] { SaveDocument(); };
  commands_[ID_FILE_SAVE_AS] = [this] { SaveDocumentAs(); };
  for (int i = 0; i < kRecentFileCount; ++i) {
    commands_[ID_FILE_MRU_FIRST + i] = [this, i] {
      auto paths = RecentFiles(doc_.profile).Load();
      if (i < static_cast<int>(paths.size())) OpenDocument(paths[i]);
    };
  }
  commands_[ID_APP_EXIT] = [this] { Close(); };
  commands_[ID_TRAY_EXIT] = [this] { Close(); };
  commands_[ID_APP_ABOUT] = [this] { ShowAbout(); };
  commands_[ID_TRAY_ABOUT] = [this] { ShowAbout(); };
  commands_[ID_TRAY_RESTORE] = [this] { RestoreFromTray(); };
  commands_[ID_VIEW_TOOLBAR] = [this] {
    GetToolBar()->Show(!GetToolBar()->IsShown());
    SendSizeEvent();
    SyncToggles();
  };
  commands_[ID_VIEW_STATUS_BAR] = [this] {
    GetStatusBar()->Show(!GetStatusBar()->IsShown());
    SendSizeEvent();
    SyncToggles();
  };
  commands_[ID_START] = [this] { doc_.crawl().StartCommand(); };
  commands_[ID_STOP_LISTING] = [this] { doc_.crawl().StopListingCommand(); };
  commands_[ID_STOP_ALL] = [this] { doc_.crawl().StopAllCommand(); };
  commands_[ID_CLIPBOARD_WATCH] = [this] { ToggleClipboardWatch(); };
  commands_[ID_MODE_CRAWL] = [this] { SetRegistrationMode(true); };
  commands_[ID_MODE_WHOLE_SITE] = [this] { SetRegistrationMode(false); };
  commands_[ID_QUICK_VIEW_SETTINGS] = [this] { ShowQuickViewSettings(); };
  commands_[ID_DIALUP_SETTINGS] = [this] { hooks_->ShowDialUpSettings(doc_.profile); };
  CreateListCommands();
  CreateDialogCommands();
  for (const auto& [id, handler] : commands_) {
    // Menus, buttons and keys carry the id in wx's band.
    Bind(
        wxEVT_MENU, [this, id = id](wxCommandEvent&) { RunCommand(id); }, WxIdOf(id));
  }
}

void CMainFrame::RunCommand(int id) {
  auto found = commands_.find(id);
  if (found == commands_.end()) return;
  found->second();
  SyncToggles();
  AfterCrawlStep();
}

std::vector<int> CMainFrame::SelectedLinks() { return SelectedLinkRows(doc_); }

std::vector<int> CMainFrame::SelectedDownloads(int maximum) {
  return download_list_->SelectedRows(maximum);
}

void CMainFrame::CreateListCommands() {
  // The main menu takes at most 1000 selected downloads, the download list's
  // own menu all of them.
  auto menu_downloads = [this] { return SelectedDownloads(kMainMenuDownloadSelection); };
  auto all_downloads = [this] { return SelectedDownloads(download_list_->RowCount()); };
  auto rows_moved = [this] { selection_watch_.Forget(); };

  commands_[ID_URL_ENTRY] = [this] { UrlEntryCommand(doc_, *ui_); };
  commands_[ID_DELETE_SELECTED] = [this, menu_downloads, rows_moved] {
    std::vector<int> links = SelectedLinks();
    // The downloads are asked for only when no link is selected.
    DeleteSelectedItems(doc_, *ui_, links, links.empty() ? menu_downloads() : std::vector<int>{});
    rows_moved();
  };
  commands_[ID_LINK_DELETE] = [this] { DeleteSelectedLinks(doc_, *ui_, SelectedLinks()); };
  commands_[ID_DOWN_DELETE] = [this, all_downloads, rows_moved] {
    DeleteSelectedDownloads(doc_, *ui_, all_downloads());
    rows_moved();
  };
  commands_[ID_LINK_UP] = [this] { mover_.MoveUp(doc_); };
  commands_[ID_LINK_DOWN] = [this] { mover_.MoveDown(doc_); };
  auto search_again = [this, menu_downloads] {
    std::vector<int> links = SelectedLinks();
    SearchAgainSelection(doc_, links, links.empty() ? menu_downloads() : std::vector<int>{});
  };
  auto mark_finished = [this, menu_downloads] {
    std::vector<int> links = SelectedLinks();
    MarkFinishedSelection(doc_, links, links.empty() ? menu_downloads() : std::vector<int>{});
  };
  commands_[ID_SEARCH_AGAIN] = search_again;
  commands_[ID_LINK_UNFINISHED] = search_again;
  commands_[ID_MARK_FINISHED] = mark_finished;
  commands_[ID_LINK_FINISHED] = mark_finished;
  commands_[ID_DOWN_UNFINISHED] = [this, all_downloads] {
    doc_.MarkDownloadsUnfinished(all_downloads());
  };
  commands_[ID_DOWN_FINISHED] = [this, all_downloads] {
    MarkDownloadsFinished(doc_, all_downloads());
  };
  commands_[ID_DOWN_BANNER] = [this, rows_moved] {
    RegisterDownloadsAsBanners(doc_, SelectedDownloads(static_cast<int>(kMaxBannerSelection)));
    rows_moved();
  };

  commands_[ID_IMPORT_FILE] = [this] { ImportListFileCommand(doc_, *ui_); };
  commands_[ID_PASTE_CLIPBOARD] = [this] { PasteClipboard(doc_, *ui_, *hooks_); };
  commands_[ID_EXPORT_LINKS] = [this] { ExportLinkListCommand(doc_, *ui_); };
  commands_[ID_EXPORT_DOWNLOADS] = [this] { ExportDownloadListCommand(doc_, *ui_); };
  commands_[ID_BANNER_MERGE] = [this] { MergeBannerDifferenceCommand(doc_, *ui_); };

  commands_[ID_ORDER_BY_URL] = [this, rows_moved] {
    OrderDownloadsByFolder(doc_, *ui_);
    rows_moved();
  };
  commands_[ID_ORDER_SHUFFLE] = [this, rows_moved] {
    ShuffleDownloads(doc_, *ui_);
    rows_moved();
  };
  commands_[ID_ORDER_SPREAD] = [this, rows_moved] {
    SpreadDownloadsOverFolders(doc_, *ui_);
    rows_moved();
  };
  commands_[ID_SEARCH] = [this] { search_.SearchCommand(doc_, *ui_); };
  commands_[ID_FIND_NEXT] = [this] { search_.FindNext(doc_, *ui_); };
  commands_[ID_REPLACE] = [this] { ReplaceCommand(doc_, *ui_); };

  commands_[ID_LINK_OPEN_URL] = [this] { OpenLinkUrl(doc_, *ui_, SelectedLinks()); };
  commands_[ID_LINK_OPEN_FOLDER] = [this] { OpenLinkFolder(doc_, *ui_, SelectedLinks()); };
  commands_[ID_LINK_LOG] = [this] { ShowLinkLog(doc_, *ui_, SelectedLinks()); };
  commands_[ID_DOWN_OPEN_FOLDER] = [this, all_downloads] {
    OpenDownloadFolder(doc_, *ui_, all_downloads());
  };
  commands_[ID_DOWN_OPEN_FILE] = [this, all_downloads] {
    OpenDownloadFile(doc_, *ui_, all_downloads());
  };
  commands_[ID_DOWN_OPEN_URL] = [this, all_downloads] {
    OpenDownloadUrl(doc_, *ui_, all_downloads());
  };
  commands_[ID_DROP_TOOL] = [this] { StartDropTool(*ui_, platform::ExecutableFolder()); };
  commands_[ID_HELP] = [this] { OpenHelp(*ui_, platform::ExecutableFolder()); };
  commands_[ID_README] = [this] { OpenReadMe(*ui_, platform::ExecutableFolder()); };
  commands_[ID_HOME_PAGE] = [this] { OpenHomePage(*ui_); };
}

void CMainFrame::CreateDialogCommands() {
  commands_[ID_DEFAULT_PROPERTIES] = [this] { ShowPropertySheet(); };
  commands_[ID_PROXY_SETTINGS] = [this] { ShowProxySettings(); };
  commands_[ID_ALBUM_SETTINGS] = [this] { ShowAlbumSettings(); };
  commands_[ID_SEQUENCE_URLS] = [this] { RegisterSequentialUrls(); };
  commands_[ID_ALBUM] = [this] { MakeAlbums(); };
  commands_[ID_FILE_VIEW] = [this] { ShowFileViewOf(SelectedLinks()); };
  auto link_properties = [this] {
    std::vector<int> links = SelectedLinks();
    if (links.size() == 1) EditLinkProperties(links.front());
  };
  commands_[ID_LINK_PROPERTIES] = link_properties;
  commands_[ID_LINK_PROPERTIES_MENU] = link_properties;
  auto download_properties = [this] {
    std::vector<int> rows = SelectedDownloads(1);
    if (!rows.empty()) EditDownloadProperties(rows.front());
  };
  commands_[ID_DOWN_PROPERTIES_MENU] = download_properties;
  commands_[ID_DOWN_PROPERTIES] = download_properties;
}

void CMainFrame::AfterSettingsChanged() {
  doc_.LoadSettings();
  if (quick_view_ != nullptr) quick_view_->SetShowNameAndSize(doc_.settings.quick_view_size != 0);
  SyncToggles();
}

void CMainFrame::ShowPropertySheet() {
  PropertySheetContext context;
  context.settings_path = doc_.profile.path();
  context.storage_folder = doc_.storage_folder;
  context.play_sound = [this](const std::string& wave) {
    if (sound_player_ == nullptr) sound_player_ = std::make_unique<CanberraSoundPlayer>();
    sound_player_->Play(wave);
  };
  context.show_message = [this](const std::string& text) {
    ui_->ShowMessage(text, MessageIcon::kNone);
  };
  context.reload_settings = [this] { AfterSettingsChanged(); };
  ShowDefaultPropertySheet(this, context);
  // Whatever the sheet wrote is read again, also when it was cancelled after
  // a page had already written (the log detail dialog writes at once).
  AfterSettingsChanged();
}

void CMainFrame::ShowProxySettings() {
  ShowProxyDialog(this, doc_.paths.folder, doc_.profile);
  AfterSettingsChanged();
}

void CMainFrame::ShowAlbumSettings() {
  ShowAlbumSettingsDialog(this, doc_.profile);
  AfterSettingsChanged();
}

void CMainFrame::RegisterSequentialUrls() {
  SequentialUrlDialog dialog(this);
  if (dialog.ShowModal() != wxID_OK) return;
  for (const std::string& url : dialog.lines()) doc_.RegisterUrl(url);
}

void CMainFrame::MakeAlbums() {
  std::vector<int> links = SelectedLinks();
  AlbumProgressDialog progress(this);
  MakeAlbumsOfSelectedLinks(doc_, links, progress);
}

void CMainFrame::ShowFileViewOf(const std::vector<int>& link_rows) {
  if (link_rows.size() != 1 || link_rows.front() >= static_cast<int>(doc_.link_items.size())) {
    return;
  }
  const std::string& url = doc_.link_items[link_rows.front()].url;
  FileViewContext context;
  context.log_path = url.empty() ? platform::JoinPath(doc_.paths.log_folder, "Normal_Download.txt")
                                 : SiteDetailLogPath(doc_.paths.log_folder, url);
  context.banner_path = doc_.paths.banner_list_path;
  context.delete_banner_files = doc_.profile.GetInt("Banner", "DeleteBanner", 1) != 0;
  // The crawl writes its log keys in batches; the window shows them all.
  doc_.crawl().FlushLogWrites();
  QueueRefetches(doc_, ShowFileView(this, context));
}

void CMainFrame::EditLinkProperties(int row) {
  if (row < 0 || row >= static_cast<int>(doc_.link_items.size())) return;
  const LinkItem before = doc_.link_items[row];
  if (before.state == LS_SEARCHING) return;  // the crawl works on it
  LinkItem edited = before;
  if (!EditLinkItemProperties(this, doc_.profile, edited)) return;
  // The crawl goes on while the dialog is open: the edit applies only to the
  // item it was made for, and not once that item is being searched.
  if (row >= static_cast<int>(doc_.link_items.size()) || !(doc_.link_items[row] == before)) return;
  doc_.link_items[row] = edited;
  if (edited.url != before.url) {
    ViewHint hint;
    hint.code = HINT_SET_URL;
    hint.row_b = row;
    hint.text1 = edited.url;
    doc_.Broadcast(hint);
  }
  doc_.SetLinkRowImage(row);
  doc_.SetLinkRowCount(row);
}

void CMainFrame::EditDownloadProperties(int row) {
  if (row < 0 || row >= static_cast<int>(doc_.download_items.size())) return;
  const DownloadItem before = doc_.download_items[row];
  if (before.state == DS_RUNNING) return;  // its transfer owns the item
  DownloadItem edited = before;
  if (!EditDownloadItemProperties(this, edited)) return;
  if (row >= static_cast<int>(doc_.download_items.size()) ||
      !(doc_.download_items[row] == before)) {
    return;
  }
  DownloadItem& item = doc_.download_items[row];
  item.referer = edited.referer;
  item.site_url = edited.site_url;
  if (edited.local_path != before.local_path) doc_.SetItemLocalPath(row, edited.local_path);
  if (edited.url != before.url) {
    item.url = edited.url;
    if (DownloadListView* view = doc_.download_view()) view->ResetRow(item.url, row);
  }
}

void CMainFrame::PollClipboard() {
  // The paste question is modal and the crawl's timer goes on under it: a
  // second poll must not stack a second question.
  if (polling_clipboard_) return;
  polling_clipboard_ = true;
  clipboard_watcher_.Poll(doc_, *ui_, *hooks_);
  polling_clipboard_ = false;
}

void CMainFrame::OnLinkDoubleClick() {
  std::vector<int> selected = SelectedLinks();
  switch (ChooseLinkDoubleClick(doc_, selected)) {
    case LinkClickAction::kFileView:
      ShowFileViewOf(selected);
      break;
    case LinkClickAction::kProperties:
      if (selected.size() == 1) EditLinkProperties(selected.front());
      break;
    case LinkClickAction::kNothing:
      break;
  }
}

wxMenu* CMainFrame::BuildMenu(const MenuLayout& layout) {
  auto* menu = new wxMenu;
  for (int id : PresentMenuEntries(layout, [this](int id) { return HasCommand(id); })) {
    if (id == kSeparator) {
      menu->AppendSeparator();
    } else if (IsSubmenuEntry(id)) {
      const MenuLayout& submenu = layout.submenus[static_cast<std::size_t>(SubmenuIndex(id))];
      menu->AppendSubMenu(BuildMenu(submenu), ToWx(submenu.title));
    } else if (id == ID_FILE_MRU_FIRST) {
      file_menu_ = menu;
      recent_position_ = menu->GetMenuItemCount();
    } else {
      menu->Append(WxIdOf(id), MenuText(id), wxEmptyString, KindOf(id));
    }
  }
  return menu;
}

void CMainFrame::CreateMenus() {
  auto* bar = new wxMenuBar;
  for (const MenuLayout& layout : MainMenuLayout()) {
    wxMenu* menu = BuildMenu(layout);
    if (menu->GetMenuItemCount() == 0 && menu != file_menu_) {
      delete menu;
      continue;
    }
    bar->Append(menu, ToWx(layout.title));
  }
  SetMenuBar(bar);
  RebuildRecentFiles();
}

void CMainFrame::RebuildRecentFiles() {
  if (file_menu_ == nullptr) return;
  for (wxMenuItem* item : recent_items_) file_menu_->Destroy(item);
  recent_items_.clear();
  std::vector<std::string> paths = RecentFiles(doc_.profile).Load();
  size_t position = recent_position_;
  if (paths.empty()) {
    wxMenuItem* none = file_menu_->Insert(position, WxIdOf(ID_FILE_MRU_FIRST),
                                          ToWx(CommandCaption(ID_FILE_MRU_FIRST)));
    none->Enable(false);
    recent_items_.push_back(none);
    return;
  }
  for (size_t i = 0; i < paths.size(); ++i) {
    wxString label = wxString::Format("&%zu ", i + 1) + ToWx(paths[i]);
    recent_items_.push_back(
        file_menu_->Insert(position + i, WxIdOf(ID_FILE_MRU_FIRST + static_cast<int>(i)), label));
  }
}

void CMainFrame::CreateToolbar() {
  wxToolBar* toolbar = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT | wxTB_TOP);
  toolbar->SetToolBitmapSize(wxSize(16, 16));
  for (int id : PresentEntries(ToolbarLayout(), [this](int id) { return HasCommand(id); })) {
    if (id == kSeparator) {
      toolbar->AddSeparator();
      continue;
    }
    wxString tip = ToWx(CommandToolTip(id));
    toolbar->AddTool(WxIdOf(id), tip, ToolbarImage(id), tip, KindOf(id));
  }
  toolbar->Realize();
}

void CMainFrame::CreateAccelerators() {
  const struct {
    int flags;
    int key;
    int id;
  } keys[] = {
      {wxACCEL_CTRL, 'F', ID_SEARCH},
      {wxACCEL_CTRL, 'N', ID_FILE_NEW},
      {wxACCEL_CTRL, 'O', ID_FILE_OPEN},
      {wxACCEL_CTRL, 'S', ID_FILE_SAVE},
      {wxACCEL_NORMAL, WXK_DELETE, ID_DELETE_SELECTED},
      {wxACCEL_NORMAL, WXK_F3, ID_FIND_NEXT},
      {wxACCEL_NORMAL, WXK_SPACE, ID_START},
  };
  std::vector<wxAcceleratorEntry> entries;
  for (const auto& key : keys) {
    if (HasCommand(key.id)) entries.emplace_back(key.flags, key.key, WxIdOf(key.id));
  }
  SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(entries.size()), entries.data()));
}

void CMainFrame::CreateColumns() {
  const bool quick_view = doc_.profile.GetInt("QuickView", "CreateViewWindow", 0) != 0;
  outer_ = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                wxSP_3D | wxSP_LIVE_UPDATE);
  outer_->SetMinimumPaneSize(1);
  link_list_ = new CLinkList(outer_, doc_.profile);
  wxWindow* right = nullptr;
  if (quick_view) {
    inner_ = new wxSplitterWindow(outer_, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                  wxSP_3D | wxSP_LIVE_UPDATE);
    inner_->SetMinimumPaneSize(1);
    download_list_ = new CLinkView(inner_, doc_);
    quick_view_ = new QuickViewPane(inner_);
    inner_->SplitVertically(download_list_, quick_view_);
    right = inner_;
  } else {
    right = download_list_ = new CLinkView(outer_, doc_);
  }
  // As in a static splitter, the last column takes what a resize adds.
  outer_->SplitVertically(link_list_, right, 200);
  doc_.AddLinkView(link_list_);
  if (quick_view_ != nullptr) {
    doc_.LoadSettings();
    quick_view_->SetShowNameAndSize(doc_.settings.quick_view_size != 0);
  }

  for (wxWindow* target :
       {static_cast<wxWindow*>(link_list_), static_cast<wxWindow*>(download_list_),
        static_cast<wxWindow*>(quick_view_)}) {
    if (target != nullptr) target->SetDropTarget(new FileDrop(this));
  }
  link_list_->on_context_menu = [this](wxPoint at) {
    PopupContextMenu(LinkContextMenuLayout(), at);
  };
  download_list_->on_context_menu = [this](wxPoint at) {
    PopupContextMenu(DownloadContextMenuLayout(), at);
  };
  download_list_->on_double_click = [this] { OnDownloadDoubleClick(); };
  link_list_->on_double_click = [this] { OnLinkDoubleClick(); };
  link_list_->on_click = [this] { mover_.LinkListClicked(); };
  download_list_->on_selection_changed = [this] { OnDownloadSelection(); };
  download_list_->after_step = [this] { AfterCrawlStep(); };

  outer_->Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
    event.Skip();
    if (layout_restored_) return;
    layout_restored_ = true;
    CallAfter(&CMainFrame::ApplyFirstPaint);
  });
}

void CMainFrame::ApplyFirstPaint() {
  ColumnWidths saved = ReadColumnWidths(doc_.profile);
  FirstPaintSashes plan = PlanFirstPaint(saved, quick_view_ != nullptr,
                                         outer_->GetClientSize().GetWidth(), outer_->GetSashSize());
  outer_->SetSashPosition(plan.outer);
  if (inner_ != nullptr) inner_->SetSashPosition(plan.inner);
  if (doc_.profile.GetInt("Ippan", "StartMinimum", 0) != 0) {
    // Without a tray a hidden window could never come back.
    if (tray_ != nullptr) {
      Hide();
    } else {
      Iconize(true);
    }
  }
}

void CMainFrame::CreateTray() {
  if (!MarovineTrayIcon::Available()) return;
  MarovineTrayIcon::Actions actions;
  actions.restore = [this] { RestoreFromTray(); };
  actions.start = [this] { RunCommand(ID_START); };
  actions.stop = [this] { RunCommand(ID_STOP_ALL); };
  actions.about = [this] { RunCommand(ID_TRAY_ABOUT); };
  actions.quit = [this] { CallAfter([this] { Close(); }); };
  tray_ = std::make_unique<MarovineTrayIcon>(std::move(actions));
  // The timer reports to its owner, the frame.
  Bind(
      wxEVT_TIMER,
      [this](wxTimerEvent&) {
        if (tray_ != nullptr) {
          tray_->AnimationStep(doc_.crawl().running() && doc_.settings.animate_tray_icon != 0);
        }
      },
      tray_timer_.GetId());
  tray_timer_.Start(kTrayPeriodMs);
}

void CMainFrame::SyncToggles() {
  const bool watch = doc_.profile.GetInt("Other", "ClipWatch", 0) != 0;
  const bool crawl_mode = doc_.profile.GetInt("DownLoad", "DownLoad Way-Marovine", 1) != 0;
  wxToolBar* toolbar = GetToolBar();
  wxMenuBar* menus = GetMenuBar();
  auto set = [&](int command, bool on) {
    int id = WxIdOf(command);
    if (toolbar != nullptr && toolbar->FindById(id) != nullptr) toolbar->ToggleTool(id, on);
    if (menus != nullptr && menus->FindItem(id) != nullptr) menus->Check(id, on);
  };
  set(ID_CLIPBOARD_WATCH, watch);
  set(ID_MODE_CRAWL, crawl_mode);
  set(ID_MODE_WHOLE_SITE, !crawl_mode);
  set(ID_VIEW_TOOLBAR, toolbar != nullptr && toolbar->IsShown());
  set(ID_VIEW_STATUS_BAR, GetStatusBar() != nullptr && GetStatusBar()->IsShown());
}

void CMainFrame::ShowAndRun() {
  doc_.crawl().SetClipboardWatch(doc_.profile.GetInt("Other", "ClipWatch", 0) != 0);
  Show();
  AfterCrawlStep();
  download_list_->StartHeartbeat();
}

void CMainFrame::AfterCrawlStep() {
  ui_->SetStatusText(2, doc_.crawl().running() ? kRunning : kStopped);
}

void CMainFrame::PopupContextMenu(const std::vector<int>& layout, wxPoint screen_position) {
  std::vector<int> entries = PresentEntries(layout, [this](int id) { return HasCommand(id); });
  if (entries.empty()) return;
  wxMenu menu;
  for (int id : entries) {
    if (id == kSeparator) {
      menu.AppendSeparator();
    } else {
      menu.Append(WxIdOf(id), ToWx(ContextMenuCaption(id)));
    }
  }
  PopupMenu(&menu, ScreenToClient(screen_position));
}

void CMainFrame::OnDownloadDoubleClick() {
  std::vector<int> selected = download_list_->SelectedRows(2);
  switch (ChooseDownloadDoubleClick(doc_, selected)) {
    case DownloadClickAction::kOpenFile:
      OpenDownloadFile(doc_, *ui_, selected);
      break;
    case DownloadClickAction::kOpenUrl:
      OpenDownloadUrl(doc_, *ui_, selected);
      break;
    case DownloadClickAction::kProperties:
      EditDownloadProperties(selected.front());
      break;
    case DownloadClickAction::kNothing:
      break;
  }
}

void CMainFrame::OnDownloadSelection() {
  auto path = selection_watch_.OnSelection(doc_, download_list_->SelectedRows(2));
  if (path && quick_view_ != nullptr) quick_view_->ShowPicture(*path);
}

void CMainFrame::HandleDroppedFiles(const std::vector<std::string>& paths) {
  Raise();
  for (const std::string& path : paths) {
    switch (ChooseDroppedFileAction(path)) {
      case DroppedFileAction::kOpenDocument:
        OpenDocument(path);
        break;
      case DroppedFileAction::kImportSiteHistory:
        ImportSiteHistoryText(doc_, *ui_, path);
        break;
      case DroppedFileAction::kImportUrlList:
        ImportDroppedListFile(doc_, *ui_, path);
        break;
    }
  }
}

bool CMainFrame::OpenDocument(const std::string& path) {
  ui_->SetWaitCursor(true);
  DocumentLoadResult loaded = LoadDocumentFile(doc_, path);
  ui_->SetWaitCursor(false);
  if (!loaded.ok) {
    (void)RecentFiles(doc_.profile).Remove(path);
    RebuildRecentFiles();
    ui_->ShowMessage(std::string(kCannotRead) + "\n" + path + "\n" + loaded.error,
                     MessageIcon::kWarning);
    return false;
  }
  SetCurrentDocument(path);
  AfterCrawlStep();
  return true;
}

void CMainFrame::SetCurrentDocument(const std::string& path) {
  doc_.document_path = path;
  SetTitle(ToWx(FrameCaption(path)));
  (void)RecentFiles(doc_.profile).Add(path);
  RebuildRecentFiles();
}

void CMainFrame::NewDocument() {
  if (!doc_.link_items.empty() || !doc_.download_items.empty()) {
    if (!ui_->AskYesNo(kNewDocumentQuestion, MessageIcon::kQuestion)) return;
  }
  // Items being fetched cannot leave the list under their transfers.
  if (!doc_.crawl().CrawlFinished()) doc_.crawl().StopAllCommand();
  doc_.ClearDownloadList();
  for (int i = static_cast<int>(doc_.link_items.size()) - 1; i >= 0; --i) {
    doc_.RemoveLinkItemKeepLog(i);
  }
  doc_.document_path = doc_.paths.default_document_path;
  SetTitle(ToWx(FrameCaption(doc_.document_path)));
}

void CMainFrame::OpenDocumentDialog() {
  wxFileDialog dialog(this, ToWx(CommandToolTip(ID_FILE_OPEN)), ToWx(doc_.paths.folder),
                      "default.mrv", ToWx(kDocumentFilter), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return;
  OpenDocument(std::string(dialog.GetPath().utf8_str()));
}

bool CMainFrame::SaveDocument() {
  if (SaveDocumentFile(doc_, doc_.document_path)) return true;
  ui_->ShowMessage(std::string(kCannotSave) + "\n" + doc_.document_path, MessageIcon::kWarning);
  return false;
}

void CMainFrame::SaveDocumentAs() {
  wxFileDialog dialog(this, ToWx(CommandToolTip(ID_FILE_SAVE_AS)),
                      ToWx(platform::FolderOf(doc_.document_path)),
                      ToWx(platform::NameOf(doc_.document_path)), ToWx(kDocumentFilter),
                      wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (dialog.ShowModal() != wxID_OK) return;
  std::string path(dialog.GetPath().utf8_str());
  if (!SaveDocumentFile(doc_, path)) {
    ui_->ShowMessage(std::string(kCannotSave) + "\n" + path, MessageIcon::kWarning);
    return;
  }
  SetCurrentDocument(path);
}

void CMainFrame::ToggleClipboardWatch() {
  bool on = doc_.profile.GetInt("Other", "ClipWatch", 0) == 0;
  doc_.crawl().SetClipboardWatch(on);
  if (!doc_.profile.WriteString("Other", "ClipWatch", on ? "1" : "0")) {
    ui_->ShowMessage(std::string(kCannotSave) + "\n" + doc_.profile.path(), MessageIcon::kWarning);
  }
}

void CMainFrame::SetRegistrationMode(bool crawl_mode) {
  bool written =
      doc_.profile.WriteStrings("DownLoad", {{"DownLoad Way-Marovine", crawl_mode ? "1" : "0"},
                                             {"Download Way-Marugoto", crawl_mode ? "0" : "1"}});
  if (!written) {
    ui_->ShowMessage(std::string(kCannotSave) + "\n" + doc_.profile.path(), MessageIcon::kWarning);
  }
  doc_.LoadSettings();
}

void CMainFrame::ShowQuickViewSettings() {
  if (!ShowQuickViewSettingsDialog(this, doc_.profile.path())) return;
  doc_.LoadSettings();
  if (quick_view_ != nullptr) quick_view_->SetShowNameAndSize(doc_.settings.quick_view_size != 0);
}

void CMainFrame::ShowAbout() {
  wxDialog dialog(this, wxID_ANY, ToWx(kAboutCaption));
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  wxArrayString lines;
  for (const std::string& line : AboutLines(doc_.profile)) lines.Add(ToWx(line));
  sizer->Add(new wxListBox(&dialog, 1027, wxDefaultPosition, wxSize(320, 160), lines), 1,
             wxEXPAND | wxALL, 8);
  sizer->Add(new wxButton(&dialog, wxID_OK, "OK"), 0, wxALIGN_RIGHT | wxALL, 8);
  dialog.SetSizerAndFit(sizer);
  dialog.ShowModal();
}

void CMainFrame::OnIconize(wxIconizeEvent& event) {
  event.Skip();
  // Minimising hides into the tray; without a tray the window stays on the
  // taskbar, or it could not be reached again.
  if (event.IsIconized() && tray_ != nullptr) CallAfter([this] { Hide(); });
}

void CMainFrame::RestoreFromTray() {
  Show();
  Iconize(false);
  Raise();
}

void CMainFrame::OnClose(wxCloseEvent& event) {
  if (closing_) return;
  // A countdown or dial-up step of the tick is still on the stack.
  if (event.CanVeto() && hooks_->PostponeClose()) {
    event.Veto();
    return;
  }
  wxRect rect = GetRect();
  ColumnWidths widths;
  widths.column0 = outer_->GetSashPosition();
  if (inner_ != nullptr) {
    widths.column1 = inner_->GetSashPosition();
    widths.column2 = quick_view_->GetSize().GetWidth();
  } else {
    widths.column1 = download_list_->GetSize().GetWidth();
  }
  (void)SaveWindowLayout(doc_.profile, {rect.x, rect.y, rect.width, rect.height}, widths,
                         quick_view_ != nullptr);

  download_list_->StopHeartbeat();
  if (SaveDocumentAtFinish(doc_.profile) && !SaveDocument() && event.CanVeto()) {
    // The list would be lost: the user decides.
    if (!ui_->AskYesNo("保存せずに終了しますか？", MessageIcon::kQuestion)) {
      event.Veto();
      download_list_->StartHeartbeat();
      return;
    }
  }
  closing_ = true;
  // Heard to its end (or for its length and a second at most).
  hooks_->PlayEventSound(EVENT_PROGRAM_END);
  link_list_->SaveColumnWidths();
  download_list_->SaveColumnWidths();
  tray_timer_.Stop();
  tray_.reset();
  Destroy();
}

}  // namespace marovine::ui
