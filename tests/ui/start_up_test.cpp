// Start-up choices, the recent list, the About lines and the command tables.

#include "marovine/ui/start_up.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "marovine/document/settings_keys.h"
#include "marovine/ui/about_lines.h"
#include "marovine/ui/command_ids.h"
#include "marovine/ui/command_layout.h"
#include "marovine/ui/recent_files.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::ui::DocumentToOpenAtStart;

TEST(StartUpTest, CommandLineTakesTheFolderTheTickAndTheDocument) {
  auto parsed = marovine::ui::ParseStartUpArguments({"--home", "/p", "--tick-ms", "250", "a.mrv"});
  EXPECT_TRUE(parsed.error.empty());
  EXPECT_EQ(parsed.home, "/p");
  EXPECT_EQ(parsed.tick_ms, 250);
  EXPECT_EQ(parsed.rest, std::vector<std::string>{"a.mrv"});
  EXPECT_FALSE(marovine::ui::ParseStartUpArguments({"--tick-ms", "0"}).error.empty());
  EXPECT_FALSE(marovine::ui::ParseStartUpArguments({"--tick-ms", "5x"}).error.empty());
  EXPECT_FALSE(marovine::ui::ParseStartUpArguments({"--home"}).error.empty());
}

TEST(StartUpTest, TheDefaultDocumentOpensOnlyWhenAskedForAndThere) {
  const std::string def = "/p/default.mrv";
  EXPECT_EQ(DocumentToOpenAtStart({}, true, def, true), def);
  EXPECT_EQ(DocumentToOpenAtStart({"end"}, true, def, true), def);
  EXPECT_EQ(DocumentToOpenAtStart({}, false, def, true), std::nullopt);
  EXPECT_EQ(DocumentToOpenAtStart({}, true, def, false), std::nullopt);
  EXPECT_EQ(DocumentToOpenAtStart({"/x/list.mrv"}, true, def, true), "/x/list.mrv");
  // A name that merely holds "end" is still the document asked for.
  EXPECT_EQ(DocumentToOpenAtStart({"/x/weekend.mrv"}, true, def, true), "/x/weekend.mrv");
  EXPECT_EQ(marovine::ui::FrameCaption(def), "default.mrv - marovine");
}

TEST(RecentFilesTest, KeepsFourNewestFirstWithoutRepeats) {
  marovine::testing::Sandbox box;
  platform::Profile profile(box.Path("marovine.ini"));
  marovine::ui::RecentFiles recent(profile);
  for (const char* path : {"/a.mrv", "/b.mrv", "/c.mrv", "/d.mrv", "/e.mrv"}) {
    ASSERT_TRUE(recent.Add(path));
  }
  EXPECT_EQ(recent.Load(), (std::vector<std::string>{"/e.mrv", "/d.mrv", "/c.mrv", "/b.mrv"}));
  ASSERT_TRUE(recent.Add("/c.mrv"));
  EXPECT_EQ(recent.Load(), (std::vector<std::string>{"/c.mrv", "/e.mrv", "/d.mrv", "/b.mrv"}));
  ASSERT_TRUE(recent.Remove("/e.mrv"));
  EXPECT_EQ(recent.Load(), (std::vector<std::string>{"/c.mrv", "/d.mrv", "/b.mrv"}));
  EXPECT_EQ(profile.GetString("Recent File List", "File1", ""), "/c.mrv");
}

TEST(AboutLinesTest, TotalsAreShownInKilobytesWithoutWrappingAt4Gigabytes) {
  marovine::testing::Sandbox box;
  platform::Profile profile(box.Path("marovine.ini"));
  ASSERT_TRUE(marovine::WriteDownloadTotals(profile, {5LL * 1024 * 1024 * 1024 + 2047, 12}));
  auto lines = marovine::ui::AboutLines(profile);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "Marovine Version 3.7.2");
  EXPECT_EQ(lines[5], "Total DownLoad Files : 12 files");
  EXPECT_EQ(lines[6], "Total DownLoad Bytes : 5242881 kb");
}

TEST(CommandLayoutTest, ToolbarHasItsTwentyFiveEntriesAndShowsOnlyWorkingCommands) {
  using namespace marovine::ui;
  const auto& toolbar = ToolbarLayout();
  ASSERT_EQ(toolbar.size(), 25u);
  EXPECT_EQ(std::count(toolbar.begin(), toolbar.end(), kSeparator), 5);
  EXPECT_EQ(toolbar.front(), ID_FILE_NEW);
  EXPECT_EQ(toolbar[8], ID_MODE_CRAWL);
  EXPECT_EQ(toolbar[9], ID_MODE_WHOLE_SITE);
  EXPECT_EQ(toolbar.back(), ID_ALBUM_SETTINGS);

  // Missing commands leave no gap and no stray separator.
  auto works = [](int id) { return id == ID_START || id == ID_CLIPBOARD_WATCH; };
  EXPECT_EQ(PresentEntries(toolbar, works),
            (std::vector<int>{ID_START, kSeparator, ID_CLIPBOARD_WATCH}));
  EXPECT_TRUE(PresentEntries(DownloadContextMenuLayout(), [](int) { return false; }).empty());

  EXPECT_EQ(CommandToolTip(ID_FILE_OPEN), "開く");
  EXPECT_EQ(CommandToolTip(ID_CLIPBOARD_WATCH), "クリップボードの監視ON/OFF");
  EXPECT_EQ(CommandCaption(ID_START), "まろびね開始(&S)\t[Space]");
  for (int id : toolbar) {
    if (id != kSeparator) {
      EXPECT_FALSE(CommandCaption(id).empty()) << id;
    }
  }
  EXPECT_EQ(CommandOfWxId(WxIdOf(ID_FILE_MRU_FIRST + 3)), ID_FILE_MRU_FIRST + 3);
}

TEST(CommandLayoutTest, EveryMainMenuCommandHasItsPlaceAndEmptySubmenusVanish) {
  using namespace marovine::ui;
  std::vector<int> placed;
  std::function<void(const MenuLayout&)> collect = [&](const MenuLayout& menu) {
    for (int id : menu.ids) {
      if (IsSubmenuEntry(id)) {
        collect(menu.submenus.at(static_cast<std::size_t>(SubmenuIndex(id))));
      } else if (id != kSeparator) {
        placed.push_back(id);
      }
    }
  };
  for (const MenuLayout& menu : MainMenuLayout()) collect(menu);
  for (int id : {57600, 57601, 57603, 57604, 32831, 32846, 32847, 57616, 57665, 32773, 32778, 32816,
                 32826, 32827, 32781, 32789, 32835, 32837, 32838, 32848, 32843, 32844, 32849, 32850,
                 32851, 32777, 32787, 32782, 32798, 32799, 32863, 32774, 32815, 32858, 32860, 32861,
                 32788, 32797, 59392, 59393, 32855, 32879, 32830, 32823, 32824, 32825, 57664}) {
    EXPECT_EQ(std::count(placed.begin(), placed.end(), id), 1) << id;
    EXPECT_FALSE(CommandCaption(id).empty()) << id;
  }
  for (int id : LinkContextMenuLayout()) EXPECT_FALSE(ContextMenuCaption(id).empty()) << id;
  for (int id : DownloadContextMenuLayout()) EXPECT_FALSE(ContextMenuCaption(id).empty()) << id;
  EXPECT_EQ(ContextMenuCaption(ID_FILE_VIEW), "FileViewを表示(&V)");
  EXPECT_EQ(CommandCaption(ID_FILE_VIEW), "FileView(&V)");

  // The edit menu's orderings come as a submenu, which goes when none works.
  const MenuLayout& edit = MainMenuLayout().at(1);
  auto only = [](int wanted) { return [wanted](int id) { return id == wanted; }; };
  EXPECT_EQ(PresentMenuEntries(edit, only(ID_ORDER_SHUFFLE)), (std::vector<int>{SubmenuEntry(0)}));
  EXPECT_EQ(PresentMenuEntries(edit, only(ID_SEARCH)), (std::vector<int>{ID_SEARCH}));
}

}  // namespace
