#include "marovine/document/settings_pages_items.h"

#include <gtest/gtest.h>

#include "tests/support/sandbox.h"

namespace {

using marovine::LinkItem;
using marovine::testing::Sandbox;

TEST(ItemDialogTextsTest, GroupAndStateLinesFollowTheItemsMode) {
  Sandbox box;
  box.WriteFile("marovine.ini", "[MarovineDownLoad]\nGroupName4=Movies\n");
  platform::Profile profile(box.Path("marovine.ini"));
  LinkItem item;
  item.group = 4;
  item.state = marovine::LS_SEARCHING;
  EXPECT_EQ(marovine::LinkItemGroupCaption(profile, item), "4 ： Movies");
  EXPECT_EQ(marovine::LinkItemStateCaption(item),
            "処理中です。設定の変更は反映されないかもしれません。");
  item.group = 5;
  EXPECT_EQ(marovine::LinkItemGroupCaption(profile, item), "5 ： 無題");
  item.mode = marovine::MODE_WHOLE_SITE;
  EXPECT_EQ(marovine::LinkItemGroupCaption(profile, item), "丸ごとDL設定");
  EXPECT_EQ(marovine::LinkItemStateCaption(item), "丸ごとダウンロードモードです。");
}

TEST(ItemDialogTextsTest, AHistoryFilesRootIsTheFolderAboveItsMirror) {
  EXPECT_EQ(marovine::RootFolderOfHistory("/d/site/abc/履歴.txt"), "/d/site/");
  EXPECT_EQ(marovine::RootFolderOfHistory("/d/site//abc//履歴.txt"), "/d/site//");
  EXPECT_EQ(marovine::RootFolderOfHistory("/abc/履歴.txt"), "/");
  EXPECT_EQ(marovine::RootFolderOfHistory("/履歴.txt"), "/");
}

}  // namespace
