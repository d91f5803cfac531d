#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/bookctrl.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "marovine/ui/album_settings_dialog.h"
#include "marovine/ui/download_property_dialog.h"
#include "marovine/ui/link_property_dialog.h"
#include "marovine/ui/property_sheet.h"
#include "marovine/ui/proxy_dialog.h"
#include "marovine/ui/sequential_url_dialog.h"
#include "marovine/ui/whole_site_url_dialog.h"
#include "platform/profile.h"
#include "tests/gui/wx_in_process.h"
#include "tests/gui/x_test_window.h"
#include "tests/support/sandbox.h"
#include "tests/support/xvfb_display.h"

namespace {

using namespace std::chrono_literals;
using marovine::PropertySheetContext;
using marovine::PropertySheetDialog;
using marovine::testing::ClickControl;
using marovine::testing::LayoutFaults;
using marovine::testing::Sandbox;
using marovine::testing::ScreenshotPath;
using marovine::testing::TypeText;
using marovine::testing::WxInProcess;

// Shows every tab in turn, photographs it, and reports what is cut or
// overlaps on it.
void VisitEveryTab(PropertySheetDialog& sheet, const WxInProcess& wx, const std::string& prefix) {
  wxBookCtrlBase* book = sheet.book();
  ASSERT_EQ(book->GetPageCount(), 9u);
  for (std::size_t page = 0; page < book->GetPageCount(); ++page) {
    book->SetSelection(page);
    WxInProcess::Pump(400ms);
    std::string file = prefix + std::to_string(page + 1) + ".png";
    EXPECT_TRUE(wx.display().Screenshot(ScreenshotPath(file))) << file;
    for (const std::string& fault : LayoutFaults(book->GetPage(page))) {
      ADD_FAILURE() << "tab " << book->GetPageText(page).utf8_string() << ": " << fault;
    }
  }
  for (const std::string& fault : LayoutFaults(&sheet)) ADD_FAILURE() << "sheet: " << fault;
}

// Runs the sheet modally, working it from inside its own event loop (from a
// timer: dialogs the steps open need the idle handling that a step run from
// idle time would hold up); a sheet the steps did not close is cancelled so
// the test cannot hang.
template <typename Steps>
int RunSheet(PropertySheetDialog& sheet, Steps steps) {
  marovine::testing::AfterDelay(300ms, [&sheet, steps] {
    steps();
    if (sheet.IsModal()) sheet.EndModal(wxID_CANCEL);
  });
  return sheet.ShowModal();
}

TEST(PropertySheetGuiTest, EveryTabShowsAndOneChangePerPageReachesTheFileOnOk) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr) << "wx could not start on Xvfb";
  Sandbox box;
  std::vector<std::string> played;
  PropertySheetContext context{box.Path("marovine.ini"),
                               box.Path("store/"),
                               [&](const std::string& wave) { played.push_back(wave); },
                               {}};
  PropertySheetDialog sheet(nullptr, context);
  auto control = [&](const char* section, const char* name) {
    wxWindow* found = sheet.ControlFor(section, name);
    EXPECT_NE(found, nullptr) << section << "/" << name;
    return found;
  };

  int closed_with = RunSheet(sheet, [&] {
    VisitEveryTab(sheet, *wx, "property_sheet_tab");
    // ダウンロード: one more simultaneous download with ↑.
    ClickControl(sheet.ButtonFor("DownLoad", "DouziDL"));
    // まろびねDownLoad: the title folder, and a list for group 1.
    ClickControl(control("MarovineDownLoad", "TitleFolder"));
    EXPECT_FALSE(control("MarovineDownLoad", "Put Random Num")->IsEnabled());
    EXPECT_FALSE(
        static_cast<wxCheckBox*>(control("MarovineDownLoad", "Make Date Name Folder"))->GetValue());
    ClickControl(sheet.GroupStepButton(+1));
    TypeText(control("MarovineDownLoad", "Kakuchoushi"), "png gif");
    // 丸ごとDownLoad: no wallpapers.
    ClickControl(control("MarugotoDownload", "Kabegami"));
    // URL登録: other ignore words.
    TypeText(control("UrlInsert", "Mushi"), "ad banner");
    // リンク検索対象: every link.
    ClickControl(control("Kensaku", "KensakuLevel"));
    // 一般オプション: autosave every ten minutes.
    ClickControl(control("Ippan", "AutoSave"));
    TypeText(control("Ippan", "AutoSaveMinutes"), "10");
    // スケジュール: start at five.
    TypeText(control("Schedule", "Hour1"), " 5");
    // バナー登録: keep banner files.
    ClickControl(control("Banner", "DeleteBanner"));
    // サウンド: a sound for the start, played at once while test play is on.
    TypeText(control("Sound", "Sound3"), "/snd/start.wav");
    ClickControl(control("Sound", "TestSound"));
    ClickControl(control("Sound", "Check3"));
    sheet.book()->SetSelection(0);
    WxInProcess::Pump(200ms);
    ClickControl(sheet.FindWindow(wxID_OK));
  });

  EXPECT_EQ(closed_with, wxID_OK);
  EXPECT_TRUE(sheet.written());
  EXPECT_EQ(played, std::vector<std::string>{"/snd/start.wav"});
  platform::Profile ini(box.Path("marovine.ini"));
  EXPECT_EQ(ini.GetInt("DownLoad", "DouziDL", -1), 4);
  EXPECT_EQ(ini.GetInt("MarovineDownLoad", "TitleFolder", -1), 1);
  EXPECT_EQ(ini.GetInt("MarovineDownLoad", "Make Date Name Folder", -1), 0);
  EXPECT_EQ(ini.GetInt("MarovineDownLoad", "GroupNo", -1), 1);
  EXPECT_EQ(ini.GetString("MarovineDownLoad", "Kakuchoushi1", ""), "png gif");
  EXPECT_EQ(ini.GetString("MarovineDownLoad", "Kakuchoushi", ""), "png gif");
  EXPECT_EQ(ini.GetString("MarovineDownLoad", "Kakunou Folder", ""), box.Path("store/"));
  EXPECT_EQ(ini.GetInt("MarugotoDownload", "Kabegami", -1), 0);
  EXPECT_EQ(ini.GetString("UrlInsert", "Mushi", ""), "ad banner");
  EXPECT_EQ(ini.GetInt("Kensaku", "KensakuLevel", -1), 0);
  EXPECT_EQ(ini.GetInt("Ippan", "AutoSave", -1), 1);
  EXPECT_EQ(ini.GetInt("Ippan", "AutoSaveMinutes", -1), 10);
  EXPECT_EQ(ini.GetInt("Schedule", "Hour1", -1), 5);
  EXPECT_EQ(ini.GetInt("Banner", "DeleteBanner", -1), 0);
  EXPECT_EQ(ini.GetString("Sound", "Sound3", ""), "/snd/start.wav");
  EXPECT_EQ(ini.GetInt("Sound", "Check3", -1), 1);
}

// The top-level window with the title, once it is shown.
wxWindow* ShownWindowTitled(const char* title) {
  for (wxWindow* window : wxTopLevelWindows) {
    if (window->IsShown() && window->GetLabel().utf8_string() == title) return window;
  }
  return nullptr;
}

TEST(PropertySheetGuiTest, ARefusedNumberKeepsTheSheetOpenAndTheLogDetailsReturnToThePage) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  Sandbox box;
  std::vector<std::string> messages;
  PropertySheetContext context{
      box.Path("marovine.ini"), box.Path("store/"), {}, [&](const std::string& text) {
        messages.push_back(text);
      }};
  PropertySheetDialog sheet(nullptr, context);
  int closed_with = RunSheet(sheet, [&] {
    // The log details: a dialog of its own, worked from its own event loop.
    sheet.book()->SetSelection(1);
    marovine::testing::AfterDelay(800ms, [&] {
      wxWindow* detail = ShownWindowTitled("ログ詳細");
      ASSERT_NE(detail, nullptr);
      for (wxWindow* child : detail->GetChildren()) {
        if (child->GetLabel().utf8_string() == "ファイルサイズをチェックする") ClickControl(child);
      }
      ClickControl(detail->FindWindow(wxID_OK));
    });
    ClickControl(sheet.LogDetailButton());

    sheet.book()->SetSelection(5);
    TypeText(sheet.ControlFor("DownLoad", "TimeOut"), "30秒");
    TypeText(sheet.ControlFor("Ippan", "AutoSaveMinutes"), "90");
    ClickControl(sheet.FindWindow(wxID_OK));
    EXPECT_TRUE(sheet.IsModal()) << "a refused number keeps the sheet open";
    EXPECT_EQ(sheet.book()->GetSelection(), 0) << "the page of the refused edit is shown";
    EXPECT_EQ(wxWindow::FindFocus(), sheet.ControlFor("DownLoad", "TimeOut"));
    TypeText(sheet.ControlFor("DownLoad", "TimeOut"), "30");
    ClickControl(sheet.FindWindow(wxID_OK));
    EXPECT_TRUE(sheet.IsModal());
    EXPECT_EQ(sheet.book()->GetSelection(), 5);
    TypeText(sheet.ControlFor("Ippan", "AutoSaveMinutes"), "60");
    ClickControl(sheet.FindWindow(wxID_OK));
  });
  EXPECT_EQ(closed_with, wxID_OK);
  EXPECT_EQ(messages, (std::vector<std::string>{"整数を入力してください。",
                                                "0 から 60 までの整数を入力してください。"}));
  platform::Profile ini(box.Path("marovine.ini"));
  EXPECT_EQ(ini.GetInt("DownLoad", "TimeOut", -1), 30);
  EXPECT_EQ(ini.GetInt("Ippan", "AutoSaveMinutes", -1), 60);
  EXPECT_EQ(ini.GetInt("MarovineDownLoad", "CheckLogSize", -1), 1);
  EXPECT_EQ(ini.GetInt("MarovineDownLoad", "WriteMDate", -1), 0);
}

TEST(PropertySheetGuiTest, CancelAndTheCloseButtonWriteNothing) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  Sandbox box;
  box.WriteFile("marovine.ini", "[DownLoad]\nDouziDL=2\n");
  PropertySheetContext context{box.Path("marovine.ini"), box.Path("store/"), {}, {}, {}};
  for (bool close_button : {false, true}) {
    PropertySheetDialog sheet(nullptr, context);
    int closed_with = RunSheet(sheet, [&] {
      ClickControl(sheet.ButtonFor("DownLoad", "DouziDL"));
      ClickControl(sheet.ControlFor("Banner", "DontDownBanner"));
      if (close_button) {
        sheet.Close();
      } else {
        ClickControl(sheet.FindWindow(wxID_CANCEL));
      }
    });
    EXPECT_EQ(closed_with, wxID_CANCEL);
    EXPECT_FALSE(sheet.written());
    EXPECT_EQ(box.ReadFile("marovine.ini"), "[DownLoad]\nDouziDL=2\n");
  }
}

TEST(PropertySheetGuiTest, TheSettingsAreReloadedAfterTheSheetWhateverClosedIt) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  Sandbox box;
  int reloads = 0;
  PropertySheetContext context{
      box.Path("marovine.ini"), box.Path("store/"), {}, {}, [&] { ++reloads; }};
  for (int button : {wxID_CANCEL, wxID_OK}) {
    marovine::testing::AfterDelay(300ms, [button] {
      for (wxWindow* window : wxTopLevelWindows) {
        if (auto* sheet = dynamic_cast<PropertySheetDialog*>(window)) {
          ClickControl(sheet->FindWindow(button));
        }
      }
    });
    EXPECT_EQ(marovine::ShowDefaultPropertySheet(nullptr, context), button == wxID_OK);
  }
  EXPECT_EQ(reloads, 2);
}

// Escape cancels and Enter in an edit presses OK, typed on the real
// keyboard.
TEST(PropertySheetGuiTest, EscapeCancelsAndEnterAccepts) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  Display* display = XOpenDisplay(wx->display().name().c_str());
  ASSERT_NE(display, nullptr);
  Sandbox box;
  PropertySheetContext context{box.Path("marovine.ini"), box.Path("store/")};
  for (KeySym key : {XK_Escape, XK_Return}) {
    PropertySheetDialog sheet(nullptr, context);
    int closed_with = RunSheet(sheet, [&] {
      TypeText(sheet.ControlFor("DownLoad", "TimeOut"), "40");
      sheet.ControlFor("DownLoad", "TimeOut")->SetFocus();
      WxInProcess::Pump(200ms);
      auto window = marovine::testing::FindMappedWindowTitled(display, "標準のプロパティー");
      ASSERT_TRUE(window);
      marovine::testing::TypeKeys(display, *window, {key});
      WxInProcess::Pump(500ms);
      EXPECT_FALSE(sheet.IsModal()) << "the key left the sheet open";
    });
    EXPECT_EQ(closed_with, key == XK_Escape ? wxID_CANCEL : wxID_OK);
    EXPECT_EQ(sheet.written(), key == XK_Return);
  }
  XCloseDisplay(display);
  EXPECT_EQ(platform::Profile(box.Path("marovine.ini")).GetInt("DownLoad", "TimeOut", -1), 40);
}

// The same sheet with the desktop's font half as large again as the usual
// 10 points.
constexpr char kLargeFont[] = "Sans 15";
TEST(PropertySheetGuiTest, NothingIsCutOrOverlapsWithLargerFonts) {
  WxInProcess* wx = WxInProcess::Start({}, kLargeFont);
  ASSERT_NE(wx, nullptr);
  if (wx->desktop_font() != kLargeFont) {
    GTEST_SKIP() << "wx already started at the normal size in this process";
  }
  Sandbox box;
  PropertySheetContext context{box.Path("marovine.ini"), box.Path("store/"), {}, {}, {}};
  PropertySheetDialog sheet(nullptr, context);
  RunSheet(sheet, [&] { VisitEveryTab(sheet, *wx, "property_sheet_large_font_tab"); });

  // The other dialogs of the options, at the same size.
  platform::Profile profile(box.Path("marovine.ini"));
  marovine::LinkItem item;
  item.url = "http://example.test/gallery/";
  item.folder = box.Path("store/");
  std::vector<std::unique_ptr<wxDialog>> dialogs;
  dialogs.push_back(std::make_unique<marovine::LinkPropertyDialog>(nullptr, profile, item));
  dialogs.push_back(
      std::make_unique<marovine::DownloadPropertyDialog>(nullptr, marovine::DownloadItem{}));
  dialogs.push_back(std::make_unique<marovine::ProxyDialog>(nullptr, box.path(), profile));
  dialogs.push_back(std::make_unique<marovine::AlbumSettingsDialog>(nullptr, profile));
  dialogs.push_back(std::make_unique<marovine::SequentialUrlDialog>(nullptr));
  dialogs.push_back(std::make_unique<marovine::WholeSiteUrlDialog>(nullptr, box.path()));
  int shown = 0;
  for (auto& dialog : dialogs) {
    ++shown;
    wxDialog* open = dialog.get();
    marovine::testing::AfterDelay(400ms, [open, wx, shown] {
      std::string file = "large_font_dialog" + std::to_string(shown) + ".png";
      EXPECT_TRUE(wx->display().Screenshot(ScreenshotPath(file)));
      for (const std::string& fault : LayoutFaults(open)) {
        ADD_FAILURE() << open->GetTitle().utf8_string() << ": " << fault;
      }
      open->EndModal(wxID_CANCEL);
    });
    dialog->ShowModal();
  }
}

}  // namespace
