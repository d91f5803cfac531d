#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "marovine/engine/banner_list.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tarq/drop_tool_actions.h"
#include "tarq/x11_window_titles.h"
#include "tests/gui/x_test_window.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"
#include "tests/support/wait_for.h"
#include "tests/support/xvfb_display.h"

namespace {

using namespace std::chrono_literals;
using marovine::testing::ChildProcess;
using marovine::testing::Sandbox;
using marovine::testing::WaitFor;
using marovine::testing::XvfbDisplay;

constexpr char kDialogTitle[] = "Marovine Dislike File or Text";

std::string BuiltTarq() {
  const char* build = std::getenv("MAROVINE_BUILD_DIR");
  return platform::JoinPath(build ? build : ".", "tarq/tarq");
}

// Puts the tool into a program folder of its own, the way users install it:
// beside the main program (a stand-in script until that exists) and with a
// "marovine.ini", which makes that folder the program folder.
std::string InstallTarq(const Sandbox& box, bool with_main_program) {
  std::string tarq = box.Path("tarq");
  if (::link(BuiltTarq().c_str(), tarq.c_str()) != 0) {
    auto bytes = platform::ReadWholeFile(BuiltTarq());
    if (!bytes || !platform::WriteFileAtomically(tarq, *bytes)) return "";
  }
  ::chmod(tarq.c_str(), 0755);
  box.WriteFile("marovine.ini", "[Ippan]\n");
  if (with_main_program) {
    box.WriteFile("marovine", "#!/bin/sh\nexit 0\n");
    ::chmod(box.Path("marovine").c_str(), 0755);
  }
  return tarq;
}

class TarqProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(xvfb_.ok()) << "Xvfb could not be started";
    display_ = XOpenDisplay(xvfb_.name().c_str());
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
  }

  ChildProcess Start(const std::string& tarq) {
    return ChildProcess({tarq}, xvfb_.ProgramEnvironment(box_.Path("home")), box_.Path("out.txt"),
                        box_.Path("err.txt"));
  }

  // Waits until the program shows a window titled so and has drawn it (a
  // freshly mapped window is black until GTK paints it).
  std::optional<Window> WaitForDrawnWindow(const std::string& title) {
    std::optional<Window> window;
    bool drawn = WaitFor(
        [&] {
          window = marovine::testing::FindMappedWindowTitled(display_, title);
          return window && marovine::testing::HasBeenPainted(display_, *window);
        },
        60s, 50ms);
    if (!drawn) return std::nullopt;
    // Let the controls finish painting before the picture is taken.
    std::this_thread::sleep_for(500ms);
    return window;
  }

  XvfbDisplay xvfb_;
  Display* display_ = nullptr;
  Sandbox box_;
};

TEST_F(TarqProgramTest, ShowsItsDialogOnTopBesideTheMainProgram) {
  std::string tarq = InstallTarq(box_, true);
  ASSERT_FALSE(tarq.empty());
  ChildProcess program = Start(tarq);
  ASSERT_TRUE(program.started());

  auto window = WaitForDrawnWindow(kDialogTitle);
  ASSERT_TRUE(window) << box_.ReadFile("err.txt");
  EXPECT_TRUE(xvfb_.Screenshot(marovine::testing::ScreenshotPath("tarq_dialog.png")));
  EXPECT_TRUE(marovine::testing::WantsToStayOnTop(display_, *window));

  // The button's enumeration sees the tool's own window like any other.
  auto titles = marovine::tarq::TopLevelWindowTitles(display_);
  EXPECT_NE(std::find(titles.begin(), titles.end(), kDialogTitle), titles.end());

  // A file dropped now lands in the program folder's list, where the main
  // program looks for banners.
  marovine::tarq::DropToolState state;
  state.banner_path = marovine::tarq::BannerListPath(box_.path());
  std::string dropped = box_.WriteFile("Downloads/banner.gif", std::string(1234, 'x'));
  marovine::tarq::HandleDroppedPaths(state, {dropped});
  EXPECT_TRUE(marovine::IsBannerSize(box_.Path("banner.dat"), 1234));

  marovine::testing::RequestClose(display_, *window);
  EXPECT_TRUE(WaitFor([&] { return !program.Running(); }, 30s));
  EXPECT_EQ(program.Wait(), 0) << box_.ReadFile("err.txt");
}

// The button press goes through the real program: its enumeration on its own
// display connection, the title table, the list box and the record.
TEST_F(TarqProgramTest, NeverDownloadButtonRecordsTheFileAnotherWindowShows) {
  std::string tarq = InstallTarq(box_, true);
  ASSERT_FALSE(tarq.empty());
  std::string shown = box_.WriteFile("pics/見せ物.jpg", std::string(2048, 'v'));
  marovine::testing::TestWindow viewer(display_, {.title = "Viewer - [" + shown + "]"});
  ChildProcess program = Start(tarq);
  auto window = WaitForDrawnWindow(kDialogTitle);
  ASSERT_TRUE(window) << box_.ReadFile("err.txt");

  // Focus starts on the first check box; four steps reach the button.
  marovine::testing::TypeKeys(display_, *window, {XK_Tab, XK_Tab, XK_Tab, XK_Tab, XK_space});
  EXPECT_TRUE(WaitFor([&] { return marovine::IsBannerSize(box_.Path("banner.dat"), 2048); }, 30s))
      << box_.ReadFile("err.txt");
  EXPECT_EQ(box_.ReadFile("banner.dat"), ";\n2048\n118\n");
  EXPECT_TRUE(platform::FileExists(shown));
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(xvfb_.Screenshot(marovine::testing::ScreenshotPath("tarq_title_search.png")));

  marovine::testing::RequestClose(display_, *window);
  EXPECT_TRUE(WaitFor([&] { return !program.Running(); }, 30s));
}

TEST_F(TarqProgramTest, LeftEdgeButtonMovesTheWindowToTheCorner) {
  std::string tarq = InstallTarq(box_, true);
  ASSERT_FALSE(tarq.empty());
  ChildProcess program = Start(tarq);
  auto window = WaitForDrawnWindow(kDialogTitle);
  ASSERT_TRUE(window) << box_.ReadFile("err.txt");
  XMoveWindow(display_, *window, 300, 200);
  XSync(display_, False);
  ASSERT_TRUE(WaitFor([&] {
    return marovine::testing::ScreenPosition(display_, *window) == std::make_pair(300, 200);
  }));

  marovine::testing::TypeKeys(display_, *window, {XK_Tab, XK_space});
  EXPECT_TRUE(WaitFor(
      [&] { return marovine::testing::ScreenPosition(display_, *window) == std::make_pair(0, 0); },
      30s));
  EXPECT_TRUE(marovine::testing::WantsToStayOnTop(display_, *window));
}

TEST_F(TarqProgramTest, RefusesToRunAwayFromTheMainProgram) {
  std::string tarq = InstallTarq(box_, false);
  ASSERT_FALSE(tarq.empty());
  ChildProcess program = Start(tarq);
  ASSERT_TRUE(program.started());

  // The refusal is a message box; closing it ends the program.
  auto box_window = WaitForDrawnWindow("tarq");
  ASSERT_TRUE(box_window) << box_.ReadFile("err.txt");
  EXPECT_TRUE(xvfb_.Screenshot(marovine::testing::ScreenshotPath("tarq_refusal.png")));
  EXPECT_FALSE(marovine::testing::FindMappedWindowTitled(display_, kDialogTitle));

  marovine::testing::RequestClose(display_, *box_window);
  EXPECT_TRUE(WaitFor([&] { return !program.Running(); }, 30s));
  EXPECT_EQ(program.Wait(), 1);
  EXPECT_FALSE(platform::FileExists(box_.Path("banner.dat")));
}

}  // namespace
