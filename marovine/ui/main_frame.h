#pragma once

#include <wx/frame.h>
#include <wx/splitter.h>
#include <wx/timer.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "marovine/document/list_edit_commands.h"
#include "marovine/document/list_import.h"
#include "marovine/document/list_search.h"
#include "marovine/ui/command_layout.h"
#include "marovine/ui/list_actions.h"

class wxMenu;
class wxMenuItem;

namespace marovine {
class CMarovineDoc;
class SoundPlayer;
}  // namespace marovine

namespace marovine::ui {

class CLinkList;
class CLinkView;
class QuickViewPane;
class MarovineTrayIcon;
class WxUiServices;
class FrameCrawlHooks;

// The program's only top-level window: toolbar, menus, the three status
// panes, the columns of the link list, the download list and (when the
// settings ask for it) the picture pane, and the tray icon where the desktop
// has a tray. Its commands reach the document; the crawl itself runs from the
// download list's heartbeat.
class CMainFrame : public wxFrame {
 public:
  explicit CMainFrame(CMarovineDoc& doc);
  ~CMainFrame() override;

  // Adds the items of a document file to the lists and makes it the current
  // document; a file that cannot be read is said so and leaves the recent
  // list.
  bool OpenDocument(const std::string& path);
  // Shows the window and starts the heartbeat.
  void ShowAndRun();

  // Whether a command works now: menus, toolbar and accelerators show only
  // those.
  bool HasCommand(int id) const { return commands_.count(id) != 0; }
  void RunCommand(int id);
  void HandleDroppedFiles(const std::vector<std::string>& paths);
  // The clipboard watch's step, once a crawl tick while the watch is on.
  void PollClipboard();

  CLinkList* link_list() const { return link_list_; }
  CLinkView* download_list() const { return download_list_; }
  QuickViewPane* quick_view() const { return quick_view_; }
  wxSplitterWindow* outer_splitter() const { return outer_; }
  wxSplitterWindow* inner_splitter() const { return inner_; }
  bool has_tray() const { return tray_ != nullptr; }
  FrameCrawlHooks& crawl_hooks() { return *hooks_; }

 private:
  void CreateCommands();
  void CreateMenus();
  void CreateToolbar();
  void CreateAccelerators();
  void CreateColumns();
  void CreateTray();
  wxMenu* BuildMenu(const MenuLayout& layout);
  void RebuildRecentFiles();
  void PopupContextMenu(const std::vector<int>& layout, wxPoint screen_position);
  void SyncToggles();

  void ApplyFirstPaint();
  void OnClose(wxCloseEvent& event);
  void OnIconize(wxIconizeEvent& event);
  void RestoreFromTray();
  void ShowAbout();

  void NewDocument();
  void OpenDocumentDialog();
  bool SaveDocument();
  void SaveDocumentAs();
  void SetCurrentDocument(const std::string& path);
  void ToggleClipboardWatch();
  void SetRegistrationMode(bool crawl_mode);
  void ShowQuickViewSettings();
  void CreateListCommands();
  void CreateDialogCommands();
  void ShowPropertySheet();
  void ShowProxySettings();
  void ShowAlbumSettings();
  void RegisterSequentialUrls();
  void EditLinkProperties(int row);
  void EditDownloadProperties(int row);
  void ShowFileViewOf(const std::vector<int>& link_rows);
  void MakeAlbums();
  void AfterSettingsChanged();
  std::vector<int> SelectedLinks();
  std::vector<int> SelectedDownloads(int maximum);
  void OnLinkDoubleClick();
  void OnDownloadDoubleClick();
  void OnDownloadSelection();
  void AfterCrawlStep();

  CMarovineDoc& doc_;
  std::unique_ptr<WxUiServices> ui_;
  std::unique_ptr<FrameCrawlHooks> hooks_;
  std::map<int, std::function<void()>> commands_;
  ListSearch search_;
  LinkMover mover_;
  ClipboardWatcher clipboard_watcher_;
  std::unique_ptr<SoundPlayer> sound_player_;  // the property sheet's test sound

  wxSplitterWindow* outer_ = nullptr;
  wxSplitterWindow* inner_ = nullptr;  // only with the picture pane
  CLinkList* link_list_ = nullptr;
  CLinkView* download_list_ = nullptr;
  QuickViewPane* quick_view_ = nullptr;

  wxMenu* file_menu_ = nullptr;
  std::vector<wxMenuItem*> recent_items_;
  size_t recent_position_ = 0;

  std::unique_ptr<MarovineTrayIcon> tray_;
  wxTimer tray_timer_;
  SelectionWatch selection_watch_;
  // Set once the first paint has laid out the columns, or from the start when
  // the saved window did not fit the screen.
  bool layout_restored_ = false;
  bool closing_ = false;
  bool polling_clipboard_ = false;
};

}  // namespace marovine::ui
