// Unattended operation inside the window, in-process: a close that arrives
// while the tick waits on the dial-up line, and the dial-up settings command
// on a desktop without NetworkManager.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/listbox.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "marovine/document/first_start_settings.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/ui/command_ids.h"
#include "marovine/ui/frame_crawl_hooks.h"
#include "marovine/ui/main_frame.h"
#include "platform/path.h"
#include "tests/gui/wx_in_process.h"
#include "tests/support/sandbox.h"
#include "tests/support/xvfb_display.h"

namespace {

using namespace std::chrono_literals;
using marovine::testing::Sandbox;
using marovine::testing::WxInProcess;

bool IsTopLevel(wxWindow* window) {
  for (wxWindow* top : wxTopLevelWindows) {
    if (top == window) return true;
  }
  return false;
}

// Every descendant of `parent` of type T for which `matches` holds.
template <typename T>
T* FindChild(wxWindow* parent, const std::function<bool(T*)>& matches) {
  for (wxWindow* child : parent->GetChildren()) {
    if (auto* typed = dynamic_cast<T*>(child); typed != nullptr && matches(typed)) return typed;
    if (T* found = FindChild<T>(child, matches)) return found;
  }
  return nullptr;
}

class FrameUnattendedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A bus address nobody listens on: no logind, no NetworkManager, and the
    // machine's own system bus is never asked.
    wx_ = WxInProcess::Start({"DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + box_.Path("no-bus")});
    ASSERT_NE(wx_, nullptr) << "no X server or wx for the window";
    ASSERT_TRUE(platform::MakeFolders(box_.Path("program/")));
    ASSERT_TRUE(
        marovine::WriteFirstStartSettings(box_.Path("program/marovine.ini"), box_.Path("store/")));
    doc_ = std::make_unique<marovine::CMarovineDoc>(box_.Path("program/"), box_.Path("store/"));
    doc_->document_path = doc_->paths.default_document_path;
    frame_ = new marovine::ui::CMainFrame(*doc_);
    frame_->Show();
    WxInProcess::Pump(300ms);
  }
  void TearDown() override {
    if (frame_ != nullptr && IsTopLevel(frame_)) frame_->Destroy();
    WxInProcess::Pump(200ms);
  }

  Sandbox box_;
  WxInProcess* wx_ = nullptr;
  std::unique_ptr<marovine::CMarovineDoc> doc_;
  marovine::ui::CMainFrame* frame_ = nullptr;
};

TEST_F(FrameUnattendedTest, ACloseDuringTheWaitAfterHangingUpComesWhenTheWaitIsOver) {
  bool asked = false;
  bool alive_after_close_asked = false;
  marovine::testing::AfterDelay(300ms, [&] {
    asked = true;
    frame_->Close();
    alive_after_close_asked = IsTopLevel(frame_) && !frame_->IsBeingDeleted();
  });
  // With no connections to read the line is still given its pause, and the
  // window stays painted through it.
  frame_->crawl_hooks().HangUp();
  ASSERT_TRUE(asked);
  EXPECT_TRUE(alive_after_close_asked);
  EXPECT_TRUE(IsTopLevel(frame_));
  EXPECT_FALSE(frame_->IsBeingDeleted());

  auto end = std::chrono::steady_clock::now() + 20s;
  while (IsTopLevel(frame_) && std::chrono::steady_clock::now() < end) WxInProcess::Pump(50ms);
  EXPECT_FALSE(IsTopLevel(frame_)) << "the postponed close never came";
  frame_ = nullptr;
}

TEST_F(FrameUnattendedTest, DialUpSettingsWithoutNetworkManagerListNoEntryAndCannotConnect) {
  ASSERT_TRUE(frame_->HasCommand(marovine::ui::ID_DIALUP_SETTINGS));
  std::string caption;
  bool no_entry = false;
  bool cannot_connect = false;
  marovine::testing::AfterDelay(700ms, [&] {
    auto* dialog = dynamic_cast<wxDialog*>(wxTopLevelWindows.GetLast()->GetData());
    ASSERT_NE(dialog, nullptr);
    caption = dialog->GetTitle().utf8_str();
    no_entry = FindChild<wxListBox>(dialog, [](wxListBox* list) {
                 return list->GetCount() == 1 &&
                        list->GetString(0).utf8_str() == std::string("エントリ無し") &&
                        !list->IsEnabled();
               }) != nullptr;
    cannot_connect = FindChild<wxButton>(dialog, [](wxButton* button) {
                       return button->GetLabel().utf8_str() == std::string("接続不可");
                     }) != nullptr;
    EXPECT_TRUE(marovine::testing::XvfbDisplay::ScreenshotOf(
        std::getenv("DISPLAY"),
        marovine::testing::ScreenshotPath("marovine_dialup_settings_no_nm.png")));
    dialog->EndModal(wxID_CANCEL);
  });
  frame_->RunCommand(marovine::ui::ID_DIALUP_SETTINGS);
  EXPECT_EQ(caption, "Marovine RAS Controler");
  EXPECT_TRUE(no_entry);
  EXPECT_TRUE(cannot_connect);
}

}  // namespace
