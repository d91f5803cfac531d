// The main window's parts driven in this process on a private X server: the
// two lists over a real document, the frame's commands, and a crawl run by
// the window's own timer.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "marovine/album/jpeg_codec.h"
#include "marovine/album/rgb_image.h"
#include "marovine/document/document_file.h"
#include "marovine/document/download_list_view.h"
#include "marovine/document/first_start_settings.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/ui/command_ids.h"
#include "marovine/ui/download_list_ctrl.h"
#include "marovine/ui/link_list_ctrl.h"
#include "marovine/ui/main_frame.h"
#include "marovine/ui/property_sheet.h"
#include "marovine/ui/quick_view_pane.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "tests/gui/wx_in_process.h"
#include "tests/support/nginx_server.h"
#include "tests/support/sandbox.h"
#include "tests/support/xvfb_display.h"

// wx_in_process.cpp turns leak detection off for this program: wx and GTK
// keep caches for the life of the process.

namespace {

using namespace std::chrono_literals;
using marovine::testing::Sandbox;

class TestApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

// One X server and one wx application for the test process, started by the
// first test that needs them and ended after the last.
class WxSession : public ::testing::Environment {
 public:
  static bool Start() {
    if (instance_->started_) return instance_->ok_;
    instance_->started_ = true;
    instance_->xvfb_ = std::make_unique<marovine::testing::XvfbDisplay>();
    if (!instance_->xvfb_->ok()) return false;
    for (const std::string& setting :
         instance_->xvfb_->ProgramEnvironment(instance_->home_.path())) {
      auto equals = setting.find('=');
      ::setenv(setting.substr(0, equals).c_str(), setting.substr(equals + 1).c_str(), 1);
    }
    static int argc = 1;
    static char name[] = "marovine_window_test";
    static char* argv[] = {name, nullptr};
    wxApp::SetInstance(new TestApp);
    instance_->ok_ = wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
    if (instance_->ok_) {
      instance_->loop_ = std::make_unique<wxGUIEventLoop>();
      wxEventLoopBase::SetActive(instance_->loop_.get());
    }
    return instance_->ok_;
  }

  void TearDown() override {
    if (!ok_) return;
    wxEventLoopBase::SetActive(nullptr);
    loop_.reset();
    wxEntryCleanup();
  }

  static WxSession* instance_;

 private:
  bool started_ = false;
  bool ok_ = false;
  Sandbox home_;
  std::unique_ptr<marovine::testing::XvfbDisplay> xvfb_;
  std::unique_ptr<wxGUIEventLoop> loop_;
};

WxSession* WxSession::instance_ =
    static_cast<WxSession*>(::testing::AddGlobalTestEnvironment(new WxSession));

// Runs the event loop until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, std::chrono::seconds limit = 60s) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    wxTheApp->Yield(true);
    wxTheApp->ProcessPendingEvents();
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

class MarovineWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WxSession::Start()) << "no X server or wx for the window";
    ASSERT_TRUE(platform::MakeFolders(box_.Path("program/")));
    ASSERT_TRUE(
        marovine::WriteFirstStartSettings(box_.Path("program/marovine.ini"), box_.Path("store/")));
  }
  void TearDown() override {
    if (frame_ != nullptr) {
      frame_->Destroy();
      PumpUntil([] { return wxTopLevelWindows.empty(); }, 10s);
    }
  }

  void Set(const char* section, const char* key, const std::string& value) {
    platform::Profile profile(box_.Path("program/marovine.ini"));
    ASSERT_TRUE(profile.WriteString(section, key, value));
  }

  void MakeWindow() {
    doc_ = std::make_unique<marovine::CMarovineDoc>(box_.Path("program/"), box_.Path("store/"));
    doc_->document_path = doc_->paths.default_document_path;
    frame_ = new marovine::ui::CMainFrame(*doc_);
  }

  marovine::DownloadItem Item(const std::string& url) {
    marovine::DownloadItem item;
    item.url = url;
    item.local_path = box_.Path("store/") + platform::NameOf(url);
    return item;
  }

  Sandbox box_;
  std::unique_ptr<marovine::CMarovineDoc> doc_;
  marovine::ui::CMainFrame* frame_ = nullptr;
};

TEST_F(MarovineWindowTest, DownloadListHoldsTenThousandRowsAndKeepsSelectionsWithTheirRows) {
  MakeWindow();
  auto* view = frame_->download_list();
  for (int i = 0; i < marovine::kMaxDownloadRows; ++i) {
    ASSERT_EQ(doc_->AppendDownloadItem(Item("http://h/p" + std::to_string(i) + ".jpg")), i);
  }
  EXPECT_EQ(view->GetItemCount(), 10000);
  // The 10,001st row is refused, and the document keeps its last item.
  EXPECT_EQ(view->AppendRow("http://h/one-too-many.jpg"), 9999);
  EXPECT_EQ(view->GetItemCount(), 10000);
  EXPECT_EQ(view->GetItemText(9999, 0), "p9999.jpg");
  EXPECT_EQ(view->GetItemText(9999, 7), "http://h/p9999.jpg");

  view->SetItemState(3, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  view->SetItemState(7, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  EXPECT_EQ(view->SelectedRows(10), (std::vector<int>{3, 7}));
  EXPECT_EQ(view->SelectedRows(1), (std::vector<int>{3}));
  doc_->RemoveDownloadItem(5);
  EXPECT_EQ(view->GetItemCount(), 9999);
  EXPECT_EQ(view->SelectedRows(10), (std::vector<int>{3, 6}));
  EXPECT_EQ(view->GetItemText(5, 0), "p6.jpg");

  // Progress texts, and a swap that leaves the images where they were.
  view->UpdateProgress(0, 2048, 0, 0, "受信中", 1);
  EXPECT_EQ(view->GetItemText(0, 1), "2/0");
  EXPECT_EQ(view->GetItemText(0, 2), "0");
  EXPECT_EQ(view->GetItemText(0, 3), "0");
  EXPECT_EQ(view->GetItemText(0, 6), wxString::FromUTF8("受信中"));
  view->SetImage(marovine::IMAGE_ERROR, 0);
  view->SwapRows(0, 1);
  EXPECT_EQ(view->GetItemText(1, 0), "p0.jpg");
  EXPECT_EQ(view->model().rows()[0].image, marovine::IMAGE_ERROR);
  EXPECT_EQ(view->model().rows()[1].image, marovine::IMAGE_WAITING);
}

TEST_F(MarovineWindowTest, LinkListAnswersHintsFromTheControlItself) {
  MakeWindow();
  for (int i = 0; i < 40; ++i) {
    ASSERT_EQ(doc_->RegisterUrl("http://site" + std::to_string(i) + ".test/index.html"), 1);
  }
  auto* view = frame_->link_list();
  EXPECT_EQ(view->GetItemCount(), 40);
  EXPECT_EQ(view->model().rows()[0].image, 3);  // waiting, crawl mode

  marovine::ViewHint query;
  query.code = marovine::HINT_SELECTED_ROWS;
  query.value_a = marovine::kMaxHintSelection;
  query.selection.fill(-7);
  doc_->Broadcast(query);
  EXPECT_EQ(query.value_a, 0);
  EXPECT_EQ(query.selection[0], -7);

  view->SetItemState(2, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  view->SetItemState(9, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  // Row 2 moves to 5: it leaves the selection, row 9 keeps its own.
  marovine::ViewHint move;
  move.code = marovine::HINT_MOVE_ROW;
  move.row_b = 2;
  move.value_a = 5;
  move.text1 = "http://site2.test/index.html";
  doc_->Broadcast(move);
  EXPECT_EQ(view->GetItemText(5, 0), "http://site2.test/index.html");
  EXPECT_EQ(view->GetItemText(2, 0), "http://site3.test/index.html");
  query.value_a = marovine::kMaxHintSelection;
  doc_->Broadcast(query);
  ASSERT_EQ(query.value_a, 1);
  EXPECT_EQ(query.selection[0], 9);
  // A position equal to the row count moves nothing.
  move.row_b = 0;
  move.value_a = 40;
  doc_->Broadcast(move);
  EXPECT_EQ(view->GetItemText(0, 0), "http://site0.test/index.html");

  frame_->Show();
  PumpUntil([&] { return view->IsShownOnScreen(); }, 10s);
  view->EnsureVisible(39);
  PumpUntil([&] { return view->GetTopItem() > 0; }, 10s);
  marovine::ViewHint top;
  top.code = marovine::HINT_BRING_INTO_VIEW;
  top.value_a = 0;
  doc_->Broadcast(top);
  PumpUntil([&] { return view->GetTopItem() == 0; }, 10s);
  EXPECT_EQ(view->GetTopItem(), 0);
}

TEST_F(MarovineWindowTest, TogglesWriteTheirKeysAndADroppedDocumentOpens) {
  Set("Other", "ClipWatch", "0");
  MakeWindow();
  platform::Profile& profile = doc_->profile;
  wxToolBar* toolbar = frame_->GetToolBar();
  const int watch = marovine::ui::WxIdOf(marovine::ui::ID_CLIPBOARD_WATCH);
  frame_->RunCommand(marovine::ui::ID_CLIPBOARD_WATCH);
  EXPECT_EQ(profile.GetInt("Other", "ClipWatch", -1), 1);
  EXPECT_TRUE(toolbar->GetToolState(watch));
  frame_->RunCommand(marovine::ui::ID_CLIPBOARD_WATCH);
  EXPECT_EQ(profile.GetInt("Other", "ClipWatch", -1), 0);
  EXPECT_FALSE(toolbar->GetToolState(watch));

  frame_->RunCommand(marovine::ui::ID_MODE_WHOLE_SITE);
  EXPECT_EQ(profile.GetString("DownLoad", "DownLoad Way-Marovine", ""), "0");
  EXPECT_EQ(profile.GetString("DownLoad", "Download Way-Marugoto", ""), "1");
  EXPECT_EQ(doc_->settings.registration_mode, marovine::kRegisterWholeSite);
  EXPECT_TRUE(toolbar->GetToolState(marovine::ui::WxIdOf(marovine::ui::ID_MODE_WHOLE_SITE)));
  EXPECT_FALSE(toolbar->GetToolState(marovine::ui::WxIdOf(marovine::ui::ID_MODE_CRAWL)));
  frame_->RunCommand(marovine::ui::ID_MODE_CRAWL);
  EXPECT_EQ(doc_->settings.registration_mode, marovine::kRegisterCrawl);

  std::string other;
  {
    marovine::CMarovineDoc saved(box_.Path("program/"), box_.Path("store/"));
    ASSERT_EQ(saved.RegisterUrl("http://dropped.test/index.html"), 1);
    other = box_.Path("lists/Saved.MRV");
    ASSERT_TRUE(platform::MakeFoldersForFile(other));
    ASSERT_TRUE(marovine::SaveDocumentFile(saved, other));
  }
  // A URL list is imported, a document opened and added.
  std::string text = box_.WriteFile("lists/urls.txt", "see http://listed.test/a.html\n");
  frame_->HandleDroppedFiles({text, other});
  ASSERT_EQ(doc_->link_items.size(), 2u);
  EXPECT_EQ(doc_->link_items[0].url, "http://listed.test/a.html");
  EXPECT_EQ(doc_->link_items[1].url, "http://dropped.test/index.html");
  EXPECT_EQ(doc_->document_path, other);
  EXPECT_EQ(frame_->GetTitle(), "Saved.MRV - marovine");
  EXPECT_EQ(profile.GetString("Recent File List", "File1", "", 4096), other);
}

TEST_F(MarovineWindowTest, TheTimerCrawlsUntilEveryRowShowsItsFinishedImage) {
  Sandbox site;
  site.WriteFile("s/index.html", "<a href='a.jpg'>a</a><a href='b.jpg'>b</a>");
  auto image = marovine::AllocateRgbImage(64, 48);
  ASSERT_TRUE(image);
  std::fill(image->pixels.begin(), image->pixels.end(), 180);
  const std::string picture = marovine::EncodeJpegRgb(*image, true, 90).value_or("");
  site.WriteFile("s/a.jpg", picture);
  site.WriteFile("s/b.jpg", picture + std::string(100, '\0'));
  marovine::testing::NginxServer server(site.path());
  ASSERT_TRUE(server.ok());
  Set("DownLoad", "RetryWaitTime", "0");
  Set("MarovineDownLoad", "Kakunou Folder", box_.Path("store/"));
  Set("MarovineDownLoad", "Kakuchoushi", "jpg");
  Set("MarovineDownLoad", "Make Date Name Folder", "0");
  Set("MarovineDownLoad", "Put Random Num", "0");
  Set("MarovineDownLoad", "Dont Down Gomi", "0");
  Set("Ippan", "Clear_List_After_Finish_Site", "0");
  Set("QuickView", "CreateViewWindow", "1");
  Set("QuickView", "ViewAfterDownLoad", "1");
  MakeWindow();
  doc_->crawl().SetTickPeriod(100ms);
  ASSERT_NE(frame_->quick_view(), nullptr);
  EXPECT_FALSE(frame_->quick_view()->HasPicture());
  ASSERT_EQ(doc_->RegisterUrl(server.Url("/s/index.html")), 1);
  frame_->RunCommand(marovine::ui::ID_START);
  frame_->ShowAndRun();

  ASSERT_TRUE(PumpUntil([&] { return doc_->crawl().CrawlFinished(); }));
  const auto& rows = frame_->download_list()->model().rows();
  ASSERT_EQ(frame_->download_list()->GetItemCount(), 3);
  for (int row = 1; row < 3; ++row) {
    EXPECT_EQ(rows[row].image, marovine::IMAGE_DONE) << row;
    EXPECT_EQ(frame_->download_list()->GetItemText(row, 2), "100");
  }
  EXPECT_EQ(frame_->GetStatusBar()->GetStatusText(2), wxString::FromUTF8("停止  "));
  EXPECT_EQ(box_.ReadFile("store/a.jpg"), picture);
  // Each finished picture went to the pane.
  EXPECT_TRUE(frame_->quick_view()->HasPicture());
}

// In fast mode a transfer that ends wakes the collection through the event
// loop: with one tick and the next a minute away, the files still finish.
TEST_F(MarovineWindowTest, FastModeCollectsEndedTransfersWithoutWaitingForTheTimer) {
  Sandbox site;
  site.WriteFile("s/index.html", "<a href='a.zip'>a</a><a href='b.zip'>b</a>");
  site.WriteFile("s/a.zip", std::string(5000, 'a'));
  site.WriteFile("s/b.zip", std::string(6000, 'b'));
  marovine::testing::NginxServer server(site.path());
  ASSERT_TRUE(server.ok());
  Set("DownLoad", "FastMode", "1");
  Set("MarovineDownLoad", "Kakunou Folder", box_.Path("store/"));
  Set("MarovineDownLoad", "Kakuchoushi", "zip");
  Set("MarovineDownLoad", "Make Date Name Folder", "0");
  Set("MarovineDownLoad", "Put Random Num", "0");
  Set("MarovineDownLoad", "Dont Down Gomi", "0");
  Set("Ippan", "Clear_List_After_Finish_Site", "0");
  MakeWindow();
  doc_->crawl().SetTickPeriod(60s);
  ASSERT_EQ(doc_->RegisterUrl(server.Url("/s/index.html")), 1);
  frame_->RunCommand(marovine::ui::ID_START);
  frame_->ShowAndRun();
  doc_->crawl().CrawlTick();  // queues and starts the site's page

  const auto& rows = frame_->download_list()->model().rows();
  EXPECT_TRUE(PumpUntil(
      [&] {
        return rows.size() == 3 && rows[1].image == marovine::IMAGE_DONE &&
               rows[2].image == marovine::IMAGE_DONE;
      },
      30s));
  EXPECT_EQ(box_.ReadFile("store/b.zip"), std::string(6000, 'b'));
}

}  // namespace

namespace {

// Sends a command the way a menu, a context menu or the toolbar does.
void ChooseMenuCommand(wxWindow* frame, int command) {
  wxCommandEvent event(wxEVT_MENU, marovine::ui::WxIdOf(command));
  event.SetEventObject(frame);
  frame->ProcessWindowEvent(event);
}

TEST_F(MarovineWindowTest, MenuChoicesReachTheListCommandsAndTheSettingsAreReread) {
  using namespace marovine::ui;
  MakeWindow();
  for (const char* name : {"a.zip", "b.zip", "c.zip"}) {
    ASSERT_GE(doc_->AppendDownloadItem(Item(std::string("http://files.test/") + name)), 0);
  }
  CLinkView* downloads = frame_->download_list();
  downloads->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);

  // The download list's own menu: finished, then removed.
  ChooseMenuCommand(frame_, ID_DOWN_FINISHED);
  EXPECT_EQ(doc_->download_items[1].state, marovine::DS_DONE);
  EXPECT_EQ(doc_->download_items[0].state, marovine::DS_WAITING);
  ChooseMenuCommand(frame_, ID_DOWN_DELETE);
  ASSERT_EQ(doc_->download_items.size(), 2u);
  EXPECT_EQ(doc_->download_items[1].url, "http://files.test/c.zip");
  EXPECT_EQ(downloads->GetItemCount(), 2);

  // Every command of the three menus has an entry or a button, except
  // dial-up, which the unattended parts bring.
  for (int id : {ID_URL_ENTRY, ID_SEARCH, ID_REPLACE, ID_ORDER_SHUFFLE, ID_EXPORT_LINKS,
                 ID_BANNER_MERGE, ID_HELP, ID_LINK_PROPERTIES, ID_DOWN_PROPERTIES_MENU}) {
    EXPECT_NE(frame_->GetMenuBar()->FindItem(WxIdOf(id)), nullptr) << id;
  }
  EXPECT_NE(frame_->GetToolBar()->FindById(WxIdOf(ID_URL_ENTRY)), nullptr);

  // A change made in the property sheet is what the document works with.
  ASSERT_EQ(doc_->settings.animate_tray_icon, 1);
  bool sheet_seen = false;
  marovine::testing::AfterDelay(300ms, [&sheet_seen] {
    for (wxWindow* window : wxTopLevelWindows) {
      if (auto* sheet = dynamic_cast<marovine::PropertySheetDialog*>(window)) {
        sheet_seen = true;
        marovine::testing::ClickControl(sheet->ControlFor("Ippan", "IconAnimation"));
        marovine::testing::ClickControl(sheet->FindWindow(wxID_OK));
      }
    }
  });
  ChooseMenuCommand(frame_, ID_DEFAULT_PROPERTIES);
  EXPECT_TRUE(sheet_seen);
  EXPECT_EQ(doc_->profile.GetInt("Ippan", "IconAnimation", -1), 0);
  EXPECT_EQ(doc_->settings.animate_tray_icon, 0);
}

}  // namespace
