// The countdown and dial-up windows in this process, on a private X server:
// their buttons and timers reach the models, and what the models say shows.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/stattext.h>

#include <cstdlib>
#include <memory>

#include "marovine/ui/dialup_dialog.h"
#include "marovine/ui/shutdown_countdown_dialog.h"
#include "tests/support/private_system_bus.h"
#include "tests/support/sandbox.h"
#include "tests/support/xvfb_display.h"

namespace marovine::ui {
namespace {

using testing::Sandbox;
using testing::XvfbDisplay;

// One wx application for the whole test program, on its own X server.
class WxOnXvfb : public ::testing::Environment {
 public:
  void SetUp() override {
    if (wxTheApp != nullptr) return;  // another suite made it
    xvfb_ = std::make_unique<XvfbDisplay>();
    if (!xvfb_->ok()) return;
    ::setenv("DISPLAY", xvfb_->name().c_str(), 1);
    ::setenv("GDK_BACKEND", "x11", 1);
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    wxApp::SetInstance(new wxApp);
    ready_ = wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
  }
  void TearDown() override {
    if (ready_) wxEntryCleanup();
  }
  static bool ready() { return ready_; }
  static XvfbDisplay* display() { return xvfb_.get(); }

 private:
  static inline std::unique_ptr<XvfbDisplay> xvfb_;
  static inline bool ready_ = false;
};

const ::testing::Environment* const kWx = ::testing::AddGlobalTestEnvironment(new WxOnXvfb);

template <typename T>
T* OpenDialog() {
  for (wxWindow* window : wxTopLevelWindows) {
    if (auto* dialog = dynamic_cast<T*>(window); dialog != nullptr && dialog->IsModal()) {
      return dialog;
    }
  }
  return nullptr;
}

class UnattendedDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!WxOnXvfb::ready()) GTEST_SKIP() << "no X server for the dialogs";
  }
};

TEST_F(UnattendedDialogsTest, CancelEndsTheCountdownAndEachShowingCountsTheFullTenSeconds) {
  CountdownDialogPresenter presenter(nullptr);
  wxTheApp->CallAfter([] {
    auto* dialog = OpenDialog<ShutdownCountdownDialog>();
    ASSERT_NE(dialog, nullptr);
    wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
    dialog->FindWindow(wxID_CANCEL)->GetEventHandler()->ProcessEvent(click);
  });
  EXPECT_FALSE(presenter.RunCountdown());

  int bar_at_start = -1;
  wxString seconds_after_six_steps;
  wxTheApp->CallAfter([&] {
    auto* dialog = OpenDialog<ShutdownCountdownDialog>();
    ASSERT_NE(dialog, nullptr);
    bar_at_start = dialog->countdown().bar_position();
    for (int step = 0; step < 6; ++step) dialog->Step();
    EXPECT_EQ(dialog->countdown().seconds_left(), 8);
    if (XvfbDisplay* display = WxOnXvfb::display()) {
      dialog->Update();
      wxYield();
      display->Screenshot(testing::ScreenshotPath("shutdown_countdown.png"));
    }
    while (!dialog->countdown().RunOut()) dialog->Step();
  });
  EXPECT_TRUE(presenter.RunCountdown());
  EXPECT_EQ(bar_at_start, 50);
}

TEST_F(UnattendedDialogsTest, TheDialUpDialogListsTheProfilesAndDialsTheChosenOne) {
  if (!testing::BusToolsPresent()) GTEST_SKIP() << "dbus-daemon or python3-dbusmock missing";
  testing::PrivateSystemBus bus;
  ASSERT_TRUE(bus.StartTemplate("networkmanager", "org.freedesktop.NetworkManager"));
  for (const char* settings :
       {"{'connection': {'id': <'Office LAN'>, 'type': <'802-3-ethernet'>}}",
        "{'connection': {'id': <'Mobile'>, 'type': <'gsm'>}, 'gsm': {'username': <'taro'>}}"}) {
    GVariant* value =
        g_variant_parse(G_VARIANT_TYPE("a{sa{sv}}"), settings, nullptr, nullptr, nullptr);
    ASSERT_TRUE(bus.Call("org.freedesktop.NetworkManager",
                         "/org/freedesktop/NetworkManager/Settings",
                         "org.freedesktop.NetworkManager.Settings", "AddConnection",
                         g_variant_new_tuple(&value, 1)));
  }
  Sandbox home;
  home.WriteFile("marovine.ini", "[MarovineRasControl]\nListNo=0\nRedial=0\n");
  platform::Profile profile(home.Path("marovine.ini"));
  NetworkManagerDialUp network;

  wxArrayString shown;
  wxString ok_label;
  wxTheApp->CallAfter([&] {
    auto* dialog = OpenDialog<DialUpDialog>();
    ASSERT_NE(dialog, nullptr);
    for (wxWindow* child : dialog->GetChildren()) {
      if (auto* list = dynamic_cast<wxListBox*>(child); list != nullptr && shown.empty()) {
        shown = list->GetStrings();
      }
    }
    ok_label = dialog->FindWindow(wxID_OK)->GetLabel();
    if (XvfbDisplay* display = WxOnXvfb::display()) {
      wxYield();
      display->Screenshot(testing::ScreenshotPath("dialup_settings.png"));
    }
    wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
    dialog->FindWindow(wxID_OK)->GetEventHandler()->ProcessEvent(click);
  });
  DialUpDialog settings(nullptr, network, profile, DialUpController::Mode::kSettings);
  EXPECT_EQ(settings.ShowModal(), wxID_OK);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], "Mobile");
  EXPECT_EQ(shown[1], "Office LAN");
  EXPECT_EQ(ok_label, wxString::FromUTF8("設定更新"));

  // Dial mode: the mocked NetworkManager connects at once, so the dialog
  // has nothing left to show.
  DialUpDialogPrompt prompt(nullptr);
  EXPECT_TRUE(prompt.RunDialMode(network, profile));
  EXPECT_EQ(bus.MethodCalls("org.freedesktop.NetworkManager", "/org/freedesktop/NetworkManager",
                            "ActivateConnection")
                .size(),
            1u);
}

}  // namespace
}  // namespace marovine::ui
