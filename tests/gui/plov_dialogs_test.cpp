#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_io.h"
#include "tests/gui/x_test_window.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"
#include "tests/support/wait_for.h"
#include "tests/support/xvfb_display.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using marovine::testing::ChildProcess;
using marovine::testing::FindProgram;
using marovine::testing::Sandbox;
using marovine::testing::WaitFor;
using marovine::testing::XvfbDisplay;

constexpr char kTitle[] = "プロフ テスト";

// A package whose options dialog offers all three boxes and a folder.
constexpr char kScript[] =
    "[Install]\nTitle=プロフ テスト\nInstallDir=Plov Test\n"
    "[Group]\nValue=1\nGroupName=Plov Test\nInfo=スタートメニューに登録します。\n"
    "Item1=Tool, tool.exe\n[Startup]\nValue=0\nItem1=Tool, tool.exe\n"
    "[Desktop]\nValue=1\nItem1=Tool, tool.exe\n[Files]\nItem1=tool.exe\n";

std::string BuildDir() {
  const char* build = std::getenv("MAROVINE_BUILD_DIR");
  return build ? build : ".";
}

// The variables of the program under test, set through env(1) so that they
// replace the ones the test runs with.
std::vector<std::string> WithEnvironment(const std::vector<std::string>& variables,
                                         const std::vector<std::string>& command) {
  std::vector<std::string> argv = {"/usr/bin/env"};
  argv.insert(argv.end(), variables.begin(), variables.end());
  argv.insert(argv.end(), command.begin(), command.end());
  return argv;
}

class PlovDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(xvfb_.ok()) << "Xvfb could not be started";
    display_ = XOpenDisplay(xvfb_.name().c_str());
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
  }

  bool WaitForDrawnWindow(const std::string& title) {
    bool drawn = WaitFor(
        [&] {
          auto window = marovine::testing::FindMappedWindowTitled(display_, title);
          return window && marovine::testing::HasBeenPainted(display_, *window);
        },
        60s, 50ms);
    if (drawn) std::this_thread::sleep_for(500ms);  // the controls finish painting
    return drawn;
  }

  XvfbDisplay xvfb_;
  Display* display_ = nullptr;
  Sandbox box_;
};

TEST_F(PlovDialogTest, TheLinuxOptionsDialogShowsItsJapaneseTexts) {
  std::string plov = BuildDir() + "/plov/plov";
  if (!fs::exists(plov)) GTEST_SKIP() << "no plov program in this build";
  fs::create_directories(box_.Path("package"));
  fs::copy_file(plov, box_.Path("package/setup"));
  box_.WriteFile("package/setup.inf", kScript);
  ChildProcess program(
      WithEnvironment(xvfb_.ProgramEnvironment(box_.Path("home")), {box_.Path("package/setup")}),
      {}, box_.Path("out.txt"), box_.Path("err.txt"));
  ASSERT_TRUE(WaitForDrawnWindow(kTitle)) << box_.ReadFile("err.txt");
  EXPECT_TRUE(xvfb_.Screenshot(marovine::testing::ScreenshotPath("plov_options.png")));
  // Nothing is installed while the dialog is open.
  EXPECT_FALSE(fs::exists(box_.Path("home/.local/opt/Plov Test")));
}

TEST_F(PlovDialogTest, TheWindowsOptionsDialogShowsItsJapaneseTextsUnderWine) {
  std::string plov_exe = BuildDir() + "/../win64/plov/windows/plov.exe";
  std::string wine = FindProgram("wine"), wineboot = FindProgram("wineboot"),
              wineserver = FindProgram("wineserver");
  if (!fs::exists(plov_exe) || wine.empty() || wineserver.empty()) {
    GTEST_SKIP() << "no plov.exe (win64 preset) or no Wine";
  }
  std::vector<std::string> environment = xvfb_.ProgramEnvironment(box_.Path("home"));
  environment.push_back("WINEPREFIX=" + box_.Path("prefix"));
  environment.push_back("WINEDEBUG=-all");
  environment.push_back("WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d");
  // On an English locale, where only the resource's UTF-16 texts can show
  // Japanese.
  environment.push_back("LANG=en_US.UTF-8");
  environment.push_back("LC_ALL=en_US.UTF-8");
  auto run = [&](const std::vector<std::string>& command) {
    return ChildProcess(WithEnvironment(environment, command), {}, "/dev/null", "/dev/null").Wait();
  };
  run({wineboot, "-i"});
  // Wine has no MS UI Gothic; a CJK font stands in for it.
  run({wine, "reg", "add", "HKCU\\Software\\Wine\\Fonts\\Replacements", "/v", "MS UI Gothic", "/d",
       "Noto Sans CJK JP", "/f"});
  std::string package = box_.Path("prefix/drive_c/pkg");
  fs::create_directories(package);
  fs::copy_file(plov_exe, package + "/setup.exe");
  box_.WriteFile("prefix/drive_c/pkg/setup.inf", kScript);

  ChildProcess program(WithEnvironment(environment, {wine, "C:\\pkg\\setup.exe"}), {},
                       box_.Path("out.txt"), box_.Path("err.txt"));
  bool shown = WaitForDrawnWindow(kTitle);
  if (shown) {
    EXPECT_TRUE(xvfb_.Screenshot(marovine::testing::ScreenshotPath("plov_wine_options.png")));
  }
  run({wineserver, "-k"});
  ASSERT_TRUE(shown) << box_.ReadFile("err.txt");
}

}  // namespace
