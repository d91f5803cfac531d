#include "tarq/x11_window_titles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/path.h"
#include "tarq/drop_tool_actions.h"
#include "tarq/title_search.h"
#include "tests/gui/x_test_window.h"
#include "tests/support/sandbox.h"
#include "tests/support/xvfb_display.h"

namespace {

using marovine::tarq::TopLevelWindowTitles;
using marovine::testing::TestWindow;
using marovine::testing::TestWindowLook;
using marovine::testing::XvfbDisplay;
using Titles = std::vector<std::string>;

class WindowTitlesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(xvfb_.ok()) << "Xvfb could not be started";
    display_ = XOpenDisplay(xvfb_.name().c_str());
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
  }

  XvfbDisplay xvfb_;
  Display* display_ = nullptr;
};

TEST_F(WindowTitlesTest, TakesShownUnownedTitledWindowsFrontFirst) {
  TestWindow back(display_, {.title = "奥の画像.jpg - ビューア"});
  TestWindow hidden(display_, {.title = "hidden.jpg", .mapped = false});
  TestWindow untitled(display_, {.title = ""});
  TestWindow owned(display_, {.title = "dialog.gif", .owner = back.id()});
  TestWindow desktop(display_, {.title = "Desktop", .desktop = true});
  TestWindow legacy(display_, {.title = "old viewer - [legacy.bmp]", .legacy_title = true});
  TestWindow front(display_, {.title = "前の写真.gif"});
  EXPECT_EQ(TopLevelWindowTitles(display_),
            (Titles{"前の写真.gif", "old viewer - [legacy.bmp]", "奥の画像.jpg - ビューア"}));
}

TEST_F(WindowTitlesTest, PrefersTheWindowManagersLists) {
  TestWindow a(display_, {.title = "a.jpg"});
  TestWindow b(display_, {.title = "b.jpg"});
  TestWindow c(display_, {.title = "c.jpg"});
  // A window manager lists only the windows it manages.
  Window clients[] = {c.id(), a.id()};
  marovine::testing::PublishClientList(display_, "_NET_CLIENT_LIST", clients, 2);
  EXPECT_EQ(TopLevelWindowTitles(display_), (Titles{"c.jpg", "a.jpg"}));
  // Its stacking list runs bottom to top; the front window comes first.
  Window stacking[] = {b.id(), a.id(), c.id()};
  marovine::testing::PublishClientList(display_, "_NET_CLIENT_LIST_STACKING", stacking, 3);
  EXPECT_EQ(TopLevelWindowTitles(display_), (Titles{"c.jpg", "a.jpg", "b.jpg"}));
}

// The whole way of the "今後まろびねでダウンロードしない" button: real window
// titles, the title table, the cut, the record and the deletion.
TEST_F(WindowTitlesTest, FindsRecordsAndDeletesTheFileAnotherWindowShows) {
  marovine::testing::Sandbox box;
  std::string shown = box.WriteFile("DL/広告.gif", std::string(468, 'g'));
  TestWindow terminal(display_, {.title = "端末 - bash"});
  TestWindow viewer(display_, {.title = "画像ビューア - [" + shown + "]"});
  TestWindow editor(display_, {.title = "メモ帳"});

  marovine::tarq::DropToolState state;
  state.banner_path = box.Path("banner.dat");
  state.also_delete = true;
  auto table = marovine::tarq::TitleTable(TopLevelWindowTitles(display_));
  auto report = marovine::tarq::DislikeFileShownInTitles(state, table);

  EXPECT_FALSE(report.message);
  ASSERT_TRUE(report.used_title_index);
  EXPECT_EQ(table.at(*report.used_title_index), "画像ビューア - [" + shown + "]");
  EXPECT_EQ(box.ReadFile("banner.dat"), ";\n468\n103\n");
  EXPECT_FALSE(platform::FileExists(shown));
  EXPECT_EQ(state.status, shown + "処理。ついでに削除。");
}

}  // namespace
