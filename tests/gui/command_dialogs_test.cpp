// The dialogs of the list commands, each run modally as the window runs it,
// filled in and confirmed the way a user would, and photographed.
//
// wx and GTK keep caches for the life of a process that LeakSanitizer would
// report, so each test runs its dialog in a child process of this program
// with the environment of a program under test (its own Xvfb display).

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/init.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "marovine/ui/list_search_dialogs.h"
#include "marovine/ui/url_entry_dialogs.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"
#include "tests/support/xvfb_display.h"

namespace {

using namespace marovine;
using marovine::testing::ChildProcess;
using marovine::testing::Sandbox;
using marovine::testing::ScreenshotPath;
using marovine::testing::XvfbDisplay;

constexpr char kChildVariable[] = "MAROVINE_DIALOG_TEST_CHILD";

bool InChild() { return std::getenv(kChildVariable) != nullptr; }

// Runs this test again in a child process on a fresh X display; the child
// does the work (see RunDialog).
void RunInChild() {
  XvfbDisplay xvfb;
  ASSERT_TRUE(xvfb.ok()) << "Xvfb could not be started";
  Sandbox box;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string filter = std::string(info->test_suite_name()) + "." + info->name();
  std::vector<std::string> env = xvfb.ProgramEnvironment(box.Path("home"));
  env.push_back(std::string(kChildVariable) + "=1");
  if (const char* build = std::getenv("MAROVINE_BUILD_DIR")) {
    env.push_back(std::string("MAROVINE_BUILD_DIR=") + build);
  }
  ChildProcess child({"/proc/self/exe", "--gtest_filter=" + filter}, env, box.Path("out.txt"),
                     box.Path("out.txt"));
  int status = child.Wait();
  EXPECT_EQ(status, 0) << platform::ReadWholeFile(box.Path("out.txt")).value_or("");
}

wxWindow* Control(wxWindow* dialog, int id) {
  wxWindow* control = dialog->FindWindow(id);
  if (control == nullptr) ADD_FAILURE() << "no control " << id;
  return control;
}

void SetText(wxWindow* dialog, int id, const char* utf8) {
  if (auto* text = wxDynamicCast(Control(dialog, id), wxTextCtrl)) {
    text->SetValue(wxString::FromUTF8(utf8));
  }
}

// Ticks a check box as a click does, so that the dialog hears of it.
void Tick(wxWindow* dialog, int id, bool on) {
  auto* box = wxDynamicCast(Control(dialog, id), wxCheckBox);
  if (box == nullptr) return;
  box->SetValue(on);
  wxCommandEvent event(wxEVT_CHECKBOX, id);
  event.SetEventObject(box);
  event.SetInt(on ? 1 : 0);
  box->ProcessWindowEvent(event);
}

void Press(wxWindow* dialog, int id) {
  wxWindow* button = Control(dialog, id);
  if (button == nullptr) return;
  wxCommandEvent event(wxEVT_BUTTON, id);
  event.SetEventObject(button);
  button->ProcessWindowEvent(event);
}

// In the child: starts wx, calls `run` (which shows a dialog modally) and,
// once the dialog has been up for a moment, photographs the screen and hands
// the dialog to `act`, which fills it in and closes it.
void RunDialog(const std::string& screenshot, const std::function<void()>& run,
               const std::function<void(wxWindow*)>& act) {
  wxApp::SetInstance(new wxApp);
  int argc = 1;
  char name[] = "command_dialogs";
  char* argv[] = {name, nullptr};
  ASSERT_TRUE(wxEntryStart(argc, argv));
  ASSERT_TRUE(wxTheApp->CallOnInit());
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    wxWindow* dialog =
        wxTopLevelWindows.IsEmpty() ? nullptr : wxTopLevelWindows.GetLast()->GetData();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(XvfbDisplay::ScreenshotOf(std::getenv("DISPLAY"), ScreenshotPath(screenshot)));
    act(dialog);
  });
  // The dialog paints within this time; the picture is all that waits for it.
  timer.StartOnce(700);
  run();
  wxEntryCleanup();
}

// Dialog control ids.
enum : int {
  kLinks = 1001,
  kLinkUrl = 1002,
  kText = 1004,
  kReplacement = 1005,
  kOk = 1006,
  kCancel = 1007,
  kHeading = 1008,
  kRootFolder = 1009,
  kDownloads = 1010,
  kDownloadUrl = 1011,
  kDownloadPath = 1028,
};

TEST(CommandDialogsTest, SearchDialogReopensWithTheLastValuesAndEnablesByList) {
  if (!InChild()) return RunInChild();
  SearchSettings settings;
  settings.text = "cat";
  settings.links = settings.link_url = true;
  bool accepted = false;
  RunDialog(
      "search_dialog.png", [&] { accepted = AskSearchSettings(nullptr, settings); },
      [](wxWindow* dialog) {
        EXPECT_EQ(dialog->GetLabel(), wxString::FromUTF8("検索"));
        EXPECT_TRUE(Control(dialog, kLinkUrl)->IsEnabled());
        EXPECT_FALSE(Control(dialog, kDownloadUrl)->IsEnabled());
        SetText(dialog, kText, "ねこ");
        Tick(dialog, kDownloads, true);
        EXPECT_TRUE(Control(dialog, kDownloadUrl)->IsEnabled());
        Tick(dialog, kDownloadPath, true);
        Press(dialog, kOk);
      });
  EXPECT_TRUE(accepted);
  EXPECT_EQ(settings.text, "ねこ");
  EXPECT_TRUE(settings.links && settings.link_url && settings.downloads);
  EXPECT_TRUE(settings.download_path);
  EXPECT_FALSE(settings.download_url);
}

TEST(CommandDialogsTest, ReplaceDialogAnswersNothingWhenCancelled) {
  if (!InChild()) return RunInChild();
  ReplaceRequest request;
  bool accepted = true;
  RunDialog(
      "replace_dialog.png", [&] { accepted = AskReplaceRequest(nullptr, request); },
      [](wxWindow* dialog) {
        EXPECT_FALSE(Control(dialog, kLinkUrl)->IsEnabled());
        SetText(dialog, kText, "a");
        SetText(dialog, kReplacement, "b");
        Tick(dialog, kLinks, true);
        Press(dialog, kCancel);
      });
  EXPECT_FALSE(accepted);
  EXPECT_EQ(request.from, "");
  EXPECT_FALSE(request.links);
}

TEST(CommandDialogsTest, CrawlUrlDialogGivesTheTypedAddress) {
  if (!InChild()) return RunInChild();
  std::optional<std::string> url;
  RunDialog(
      "crawl_url_dialog.png", [&] { url = AskCrawlUrl(nullptr, "http://"); },
      [](wxWindow* dialog) {
        EXPECT_EQ(dialog->GetLabel(), wxString::FromUTF8("まろびねダウンロード用URLの挿入"));
        SetText(dialog, kText, "http://h.example/gallery/");
        Press(dialog, kOk);
      });
  EXPECT_EQ(url, "http://h.example/gallery/");
}

}  // namespace
