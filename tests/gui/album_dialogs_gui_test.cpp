#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/listbox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <chrono>
#include <string>
#include <vector>

#include "marovine/album/jpeg_codec.h"
#include "marovine/album/rgb_image.h"
#include "marovine/album/sequential_urls.h"
#include "marovine/ui/album_progress_dialog.h"
#include "marovine/ui/album_settings_dialog.h"
#include "marovine/ui/sequential_url_dialog.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "tests/gui/wx_in_process.h"
#include "tests/support/sandbox.h"
#include "tests/support/xvfb_display.h"

namespace {

using namespace std::chrono_literals;
using marovine::testing::AfterDelay;
using marovine::testing::ClickControl;
using marovine::testing::LayoutFaults;
using marovine::testing::Sandbox;
using marovine::testing::ScreenshotPath;
using marovine::testing::TypeText;
using marovine::testing::WxInProcess;

// Photographs the dialog, reports layout faults, works it, and cancels it
// when the steps left it open.
template <typename Steps>
int RunDialog(wxDialog& dialog, const WxInProcess& wx, const std::string& screenshot, Steps steps) {
  AfterDelay(400ms, [&dialog, &wx, screenshot, steps] {
    EXPECT_TRUE(wx.display().Screenshot(ScreenshotPath(screenshot)));
    for (const std::string& fault : LayoutFaults(&dialog)) ADD_FAILURE() << fault;
    steps();
    if (dialog.IsModal()) dialog.EndModal(wxID_CANCEL);
  });
  return dialog.ShowModal();
}

TEST(SequentialUrlGuiTest, GeneratesPrunesAndHandsBackTheList) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  marovine::SequentialUrlDialog dialog(nullptr);
  std::vector<std::string> messages;
  dialog.set_message_sink([&](const std::string& text) { messages.push_back(text); });
  int closed_with = RunDialog(dialog, *wx, "sequential_url_dialog.png", [&] {
    TypeText(dialog.base_edit(), "http://example.test/img/");
    TypeText(dialog.first_edit(), "3");
    TypeText(dialog.last_edit(), "5");
    TypeText(dialog.digits_edit(), "3");
    ClickControl(dialog.generate_button());
    EXPECT_EQ(dialog.list()->GetCount(), 3u);
    ClickControl(dialog.remove_button());  // nothing selected
    dialog.list()->SetSelection(1);
    ClickControl(dialog.remove_button());
    TypeText(dialog.last_edit(), "five");
    ClickControl(dialog.generate_button());
    EXPECT_EQ(dialog.list()->GetCount(), 2u) << "a refused range adds nothing";
    ClickControl(dialog.FindWindow(wxID_OK));
  });
  EXPECT_EQ(closed_with, wxID_OK);
  EXPECT_EQ(messages, (std::vector<std::string>{"リストから削除したい項目を選択してください。",
                                                "整数を入力してください。"}));
  EXPECT_EQ(dialog.result(), "http://example.test/img/003.jpg http://example.test/img/005.jpg ");
}

TEST(AlbumDialogGuiTest, TheSettingsAreSavedOnOkOnly) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  Sandbox box;
  platform::Profile profile(box.Path("marovine.ini"));
  for (bool ok : {false, true}) {
    marovine::AlbumSettingsDialog dialog(nullptr, profile);
    RunDialog(dialog, *wx, "album_settings_dialog.png", [&] {
      ClickControl(dialog.menu_layout());
      ClickControl(dialog.direct_links());
      ClickControl(dialog.after_download_box());
      TypeText(dialog.width_edit(), "160");
      TypeText(dialog.columns_edit(), "0");  // no table has no columns
      ClickControl(dialog.FindWindow(ok ? wxID_OK : wxID_CANCEL));
    });
    if (!ok) {
      EXPECT_FALSE(platform::FileExists(box.Path("marovine.ini")));
    }
  }
  const char* section = "MarovineHTMLAlbum";
  EXPECT_EQ(profile.GetString(section, "AllView", ""), "0");
  EXPECT_EQ(profile.GetString(section, "MenuView", ""), "1");
  EXPECT_EQ(profile.GetString(section, "MakeHtmlLink", ""), "0");
  EXPECT_EQ(profile.GetString(section, "DontMakeHtmlLink", ""), "1");
  EXPECT_EQ(profile.GetString(section, "MakeAlbumAfterDownload", ""), "1");
  EXPECT_EQ(profile.GetString(section, "ThumbWidth", ""), "160");
  EXPECT_EQ(profile.GetString(section, "Colam", ""), "1");
  EXPECT_EQ(profile.GetString(section, "ThumbFolder", ""), "thumb");
  EXPECT_EQ(profile.GetString(section, "AlubumFileNum", ""), "20");
}

TEST(AlbumDialogGuiTest, TheFolderAlbumRunsWithItsProgressShown) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  Sandbox box;
  marovine::RgbImage picture;
  picture.width = 240;
  picture.height = 160;
  picture.pixels.assign(240 * 160 * 3, 0);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = (i * 7) % 256;
  for (int n = 1; n <= 6; ++n) {
    ASSERT_TRUE(marovine::WriteJpegRgb(box.Path("pictures/p" + std::to_string(n) + ".jpg"), picture,
                                       true, 80));
  }
  platform::Profile profile(box.Path("marovine.ini"));
  marovine::AlbumSettingsDialog dialog(nullptr, profile);
  dialog.set_folder_chooser([&] { return box.Path("pictures/"); });
  RunDialog(dialog, *wx, "album_settings_dialog_folder.png", [&] {
    ClickControl(dialog.folder_album_button());
    ClickControl(dialog.FindWindow(wxID_CANCEL));
  });
  EXPECT_TRUE(platform::FileExists(box.Path("pictures/HtmlAlbum.html")));
  EXPECT_TRUE(platform::FileExists(box.Path("pictures/thumb/p6_tn.jpg")));
  EXPECT_TRUE(platform::FileExists(box.Path("marovine.ini"))) << "the keys are saved first";
}

TEST(AlbumDialogGuiTest, TheProgressDialogCountsAndCancels) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  marovine::AlbumProgressDialog progress(nullptr);
  progress.Started(20);
  progress.Advanced(7, 20);
  WxInProcess::Pump(400ms);
  EXPECT_TRUE(wx->display().Screenshot(ScreenshotPath("album_progress_dialog.png")));
  for (const std::string& fault : LayoutFaults(&progress)) ADD_FAILURE() << fault;
  EXPECT_EQ(progress.counter()->GetLabel(), "7/20");
  EXPECT_EQ(progress.bar()->GetValue(), 7);
  EXPECT_FALSE(progress.cancel_requested());
  ClickControl(progress.FindWindow(wxID_CANCEL));
  EXPECT_TRUE(progress.cancel_requested());
}

}  // namespace
