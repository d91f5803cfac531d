#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <chrono>
#include <string>
#include <vector>

#include "marovine/ui/download_property_dialog.h"
#include "marovine/ui/link_property_dialog.h"
#include "marovine/ui/log_detail_dialog.h"
#include "marovine/ui/proxy_dialog.h"
#include "marovine/ui/whole_site_url_dialog.h"
#include "platform/profile.h"
#include "tests/gui/wx_in_process.h"
#include "tests/support/sandbox.h"
#include "tests/support/xvfb_display.h"

namespace {

using namespace std::chrono_literals;
using marovine::testing::ClickControl;
using marovine::testing::LayoutFaults;
using marovine::testing::Sandbox;
using marovine::testing::ScreenshotPath;
using marovine::testing::TypeText;
using marovine::testing::WxInProcess;

// Runs a dialog modally and works it from inside its event loop, after a
// photograph and a look at its layout; a dialog the steps left open is
// cancelled so the test cannot hang.
template <typename Steps>
int RunDialog(wxDialog& dialog, const WxInProcess& wx, const std::string& screenshot, Steps steps) {
  marovine::testing::AfterDelay(400ms, [&dialog, &wx, screenshot, steps] {
    EXPECT_TRUE(wx.display().Screenshot(ScreenshotPath(screenshot)));
    for (const std::string& fault : LayoutFaults(&dialog)) ADD_FAILURE() << fault;
    steps();
    if (dialog.IsModal()) dialog.EndModal(wxID_CANCEL);
  });
  return dialog.ShowModal();
}

TEST(ItemPropertyGuiTest, TheLinkDialogStepsGroupAndLevelWithinRangeAndWritesOnOk) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  Sandbox box;
  box.WriteFile("marovine.ini", "[MarovineDownLoad]\nGroupName1=Pictures\n");
  platform::Profile profile(box.Path("marovine.ini"));
  marovine::LinkItem item;
  item.url = "http://example.test/gallery/";
  item.folder = "/data/gallery/";
  item.title = "Gallery";
  item.search_level = 3;
  item.group = 0;
  item.random_number = 17;
  marovine::LinkPropertyDialog dialog(nullptr, profile, item);
  int closed_with = RunDialog(dialog, *wx, "link_property_dialog.png", [&] {
    EXPECT_EQ(dialog.group_text()->GetValue().utf8_string(), "0 ： 無題");
    ClickControl(dialog.group_step(+1));
    EXPECT_EQ(dialog.group_text()->GetValue().utf8_string(), "1 ： Pictures");
    ClickControl(dialog.level_step(+1));
    EXPECT_EQ(dialog.level_text()->GetValue(), "3") << "there is no level after 3";
    ClickControl(dialog.level_step(-1));
    TypeText(dialog.folder_edit(), "/data/other");
    TypeText(dialog.page_limit_edit(), " 30 ");
    ClickControl(dialog.FindWindow(wxID_OK));
  });
  ASSERT_EQ(closed_with, wxID_OK);
  const marovine::LinkItem& edited = dialog.item();
  EXPECT_EQ(edited.group, 1);
  EXPECT_EQ(edited.search_level, 2);
  EXPECT_EQ(edited.folder, "/data/other/");
  EXPECT_EQ(edited.page_limit, 30);
  EXPECT_EQ(edited.random_number, 17);
  EXPECT_EQ(edited.title, "Gallery");
}

TEST(ItemPropertyGuiTest, AWholeSiteLinkKeepsItsGroupAndLevel) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  Sandbox box;
  platform::Profile profile(box.Path("marovine.ini"));
  marovine::LinkItem item;
  item.url = "http://example.test/";
  item.folder = "/data/mirror/";
  item.mode = marovine::MODE_WHOLE_SITE;
  item.group = marovine::kWholeSiteGroup;
  item.search_level = marovine::kWholeSiteSearchLevel;
  marovine::LinkPropertyDialog dialog(nullptr, profile, item);
  RunDialog(dialog, *wx, "link_property_dialog_whole_site.png", [&] {
    EXPECT_EQ(dialog.group_text()->GetValue().utf8_string(), "丸ごとDL設定");
    for (int delta : {-1, +1}) {
      EXPECT_FALSE(dialog.group_step(delta)->IsEnabled());
      EXPECT_FALSE(dialog.level_step(delta)->IsEnabled());
    }
    ClickControl(dialog.FindWindow(wxID_OK));
  });
  EXPECT_EQ(dialog.item().group, marovine::kWholeSiteGroup);
  EXPECT_EQ(dialog.item().search_level, marovine::kWholeSiteSearchLevel);
  EXPECT_EQ(dialog.item().mode, marovine::MODE_WHOLE_SITE);
}

TEST(ItemPropertyGuiTest, TheDownloadDialogWritesItsEditsBackOnOkOnly) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  marovine::DownloadItem item;
  item.url = "http://example.test/a.jpg";
  item.local_path = "/data/a.jpg";
  item.site_url = "http://example.test/";
  item.kind = marovine::KIND_CRAWL;
  for (bool ok : {false, true}) {
    marovine::DownloadPropertyDialog dialog(nullptr, item);
    RunDialog(dialog, *wx, "download_property_dialog.png", [&] {
      TypeText(dialog.url_edit(), "http://example.test/b.jpg");
      TypeText(dialog.path_edit(), "/data/b.jpg");
      ClickControl(dialog.FindWindow(ok ? wxID_OK : wxID_CANCEL));
    });
    marovine::DownloadItem shown = item;
    if (ok) {
      shown.url = "http://example.test/b.jpg";
      shown.local_path = "/data/b.jpg";
    }
    EXPECT_EQ(dialog.item(), shown) << (ok ? "OK" : "Cancel");
  }
}

TEST(LogDetailGuiTest, TheBoxesComeBackOnOkOnly) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  for (bool ok : {false, true}) {
    std::vector<marovine::LogDetailOption> options = {{"更新日時を記録する", false},
                                                      {"ファイルサイズを記録する", true}};
    marovine::testing::AfterDelay(500ms, [&] {
      wxWindow* detail = nullptr;
      for (wxWindow* window : wxTopLevelWindows) {
        if (window->IsShown() && window->GetLabel().utf8_string() == "ログ詳細") detail = window;
      }
      ASSERT_NE(detail, nullptr);
      EXPECT_TRUE(wx->display().Screenshot(ScreenshotPath("log_detail_dialog.png")));
      for (const std::string& fault : LayoutFaults(detail)) ADD_FAILURE() << fault;
      for (wxWindow* child : detail->GetChildren()) {
        if (dynamic_cast<wxCheckBox*>(child)) ClickControl(child);
      }
      ClickControl(detail->FindWindow(ok ? wxID_OK : wxID_CANCEL));
    });
    EXPECT_EQ(marovine::EditLogDetail(nullptr, options), ok);
    EXPECT_EQ(options[0].on, ok);
    EXPECT_EQ(options[1].on, !ok);
  }
}

TEST(ProxyDialogGuiTest, TheListAndTheChoicesAreWrittenOnOk) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  Sandbox box;
  box.WriteFile("proxy.txt", "a.example:8080\nb.example:3128\n");
  platform::Profile profile(box.Path("marovine.ini"));
  marovine::ProxyDialog dialog(nullptr, box.path(), profile);
  using Group = marovine::ProxyDialogModel::Group;
  int closed_with = RunDialog(dialog, *wx, "proxy_dialog.png", [&] {
    EXPECT_EQ(dialog.list()->GetCount(), 2u);
    TypeText(dialog.entry_edit(), "c.example:80");
    ClickControl(dialog.add_button());
    EXPECT_EQ(dialog.entry_edit()->GetValue(), "");
    dialog.list()->SetSelection(0);
    ClickControl(dialog.remove_button());
    dialog.UseEntry(1);  // as a double click on the second line
    EXPECT_EQ(dialog.default_proxy_edit()->GetValue(), "c.example:80");
    ClickControl(dialog.choice(Group::kSelection, 1));
    ClickControl(dialog.choice(Group::kOnError, 2));
    ClickControl(dialog.no_cache_box());
    ClickControl(dialog.FindWindow(wxID_OK));
  });
  EXPECT_EQ(closed_with, wxID_OK);
  EXPECT_EQ(box.ReadFile("proxy.txt"), "b.example:3128\nc.example:80\n");
  EXPECT_EQ(profile.GetString("Proxy", "DefaultProxy", ""), "c.example:80");
  EXPECT_EQ(profile.GetInt("Proxy", "UseThisProxy", -1), 1);
  EXPECT_EQ(profile.GetInt("Proxy", "DontUseProxy", -1), 0);
  EXPECT_EQ(profile.GetInt("Proxy", "ErrorProxyRandom", -1), 1);
  EXPECT_EQ(profile.GetInt("Proxy", "ErrorDontUseProxy", -1), 0);
  EXPECT_EQ(profile.GetInt("Proxy", "ErrorDontDealProxy", -1), 1);
  EXPECT_EQ(profile.GetInt("Proxy", "EnableCash", -1), 1);
}

}  // namespace

namespace {

TEST(WholeSiteUrlGuiTest, AllThreeFieldsAreNeededAndAHistoryFileFillsThem) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  Sandbox box;
  box.WriteFile("mirrors/site/履歴.txt",
                "[BaseUrl]\nBaseUrl=http://example.test/docs/\nMidashi=Docs\n");
  box.WriteFile("mirrors/other.txt", "[Other]\nKey=1\n");
  marovine::WholeSiteUrlDialog dialog(nullptr, box.Path("mirrors/"));
  std::vector<std::string> messages;
  dialog.set_message_sink([&](const std::string& text) { messages.push_back(text); });
  int closed_with = RunDialog(dialog, *wx, "whole_site_url_dialog.png", [&] {
    TypeText(dialog.url_edit(), "http://example.test/");
    ClickControl(dialog.FindWindow(wxID_OK));
    EXPECT_TRUE(dialog.IsModal()) << "the heading is missing";
    EXPECT_FALSE(dialog.ImportHistory(box.Path("mirrors/other.txt")));
    EXPECT_TRUE(dialog.ImportHistory(box.Path("mirrors/site/履歴.txt")));
    ClickControl(dialog.FindWindow(wxID_OK));
  });
  EXPECT_EQ(closed_with, wxID_OK);
  EXPECT_EQ(messages, (std::vector<std::string>{"全ての項目に記述してください。",
                                                "正式な履歴ファイルではありません！"}));
  marovine::WholeSiteUrlEntry entry = dialog.entry();
  EXPECT_EQ(entry.url, "http://example.test/docs/");
  EXPECT_EQ(entry.heading, "Docs");
  EXPECT_EQ(entry.root_folder, box.Path("mirrors/"));
}

}  // namespace
