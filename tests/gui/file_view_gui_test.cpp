#include <gtest/gtest.h>
#include <wx/listctrl.h>

#include <chrono>
#include <string>
#include <vector>

#include "marovine/album/jpeg_codec.h"
#include "marovine/album/rgb_image.h"
#include "marovine/ui/file_view_dialog.h"
#include "tests/gui/wx_in_process.h"
#include "tests/support/sandbox.h"
#include "tests/support/xvfb_display.h"

namespace {

using namespace std::chrono_literals;
using marovine::testing::AfterDelay;
using marovine::testing::LayoutFaults;
using marovine::testing::Sandbox;
using marovine::testing::ScreenshotPath;
using marovine::testing::WxInProcess;

std::string LogEntry(const std::string& name, const std::string& url, const std::string& path) {
  return "[" + name + "]\nUrl=" + url +
         "\nRefer=http://example.test/\nMessage=正常に終了しました。\n" + "FilePass=" + path +
         "\nModifiedDate=None\nFileSize=0\n";
}

TEST(FileViewGuiTest, ShowsTheSitesFilesPreviewsAPictureAndHandsBackRefetches) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  Sandbox box;
  marovine::RgbImage picture;
  picture.width = 600;
  picture.height = 400;
  picture.pixels.resize(600 * 400 * 3);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    picture.pixels[i] = static_cast<std::uint8_t>((i / 3) % 600 * 255 / 600);
  }
  ASSERT_TRUE(marovine::WriteJpegRgb(box.Path("site/wide.jpg"), picture, true, 85));
  box.WriteFile("site/notes.txt", "not a picture");
  std::string log = box.WriteFile(
      "Log/site.txt",
      LogEntry("wide.jpg", "http://example.test/wide.jpg", box.Path("site/wide.jpg")) +
          LogEntry("notes.txt", "http://example.test/notes.txt", box.Path("site/notes.txt")) +
          LogEntry("gone.jpg", "http://example.test/gone.jpg", box.Path("site/gone.jpg")));
  marovine::FileViewDialog view(nullptr, {log, box.Path("banner.dat"), true});
  std::vector<std::string> messages;
  view.set_message_sink([&](const std::string& text) { messages.push_back(text); });
  AfterDelay(400ms, [&] {
    wxListCtrl* list = view.list();
    ASSERT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(list->GetItemText(0, 1).utf8_string(), "○");
    EXPECT_EQ(list->GetItemText(2, 1).utf8_string(), "×");
    EXPECT_EQ(list->GetItemText(2, 2), "");
    list->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    WxInProcess::Pump(300ms);
    EXPECT_EQ(view.preview_size(), wxSize(180, 120));
    EXPECT_TRUE(wx->display().Screenshot(ScreenshotPath("file_view.png")));
    for (const std::string& fault : LayoutFaults(&view)) ADD_FAILURE() << fault;
    view.Preview(1);
    EXPECT_EQ(view.preview_size(), wxSize(0, 0)) << "a text file is no picture";
    // Banner registration of the text file: recorded, deleted, shown as gone.
    list->SetItemState(0, 0, wxLIST_STATE_SELECTED);
    list->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    view.RegisterSelectedAsBanners();
    EXPECT_EQ(list->GetItemText(1, 1).utf8_string(), "×");
    list->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    list->SetItemState(2, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    view.RefetchSelected();
  });
  EXPECT_EQ(view.ShowModal(), wxID_OK);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(box.ReadFile("banner.dat"), ";\n13\n255\n");
  ASSERT_EQ(view.refetch().size(), 2u);
  EXPECT_EQ(view.refetch()[0].url, "http://example.test/wide.jpg");
  EXPECT_EQ(view.refetch()[0].path, box.Path("site/wide.jpg"));
  EXPECT_EQ(view.refetch()[1].url, "http://example.test/gone.jpg");
}

TEST(FileViewGuiTest, AMissingLogIsSaidAndLeavesTheListEmpty) {
  WxInProcess* wx = WxInProcess::Start();
  ASSERT_NE(wx, nullptr);
  Sandbox box;
  marovine::FileViewDialog view(nullptr, {box.Path("Log/none.txt"), box.Path("banner.dat"), true});
  std::vector<std::string> messages;
  view.set_message_sink([&](const std::string& text) { messages.push_back(text); });
  AfterDelay(300ms, [&] { view.EndModal(wxID_OK); });
  view.ShowModal();
  EXPECT_EQ(view.list()->GetItemCount(), 0);
  EXPECT_EQ(messages, std::vector<std::string>{marovine::kFileViewLogMissing});
  EXPECT_TRUE(view.refetch().empty());
}

}  // namespace
