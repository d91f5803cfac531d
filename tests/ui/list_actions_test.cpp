// What clicks on the download list do, decided without a display.

#include "marovine/ui/list_actions.h"

#include <gtest/gtest.h>

#include "marovine/document/marovine_doc.h"
#include "platform/path.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::DownloadItem;
using marovine::ui::ChooseDownloadDoubleClick;
using marovine::ui::DownloadClickAction;

class ListActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto state : {marovine::DS_DONE, marovine::DS_ERROR, marovine::DS_WAITING}) {
      DownloadItem item;
      item.url = "http://h/" + std::to_string(state) + ".jpg";
      item.local_path = box.WriteFile("store/" + std::to_string(state) + ".jpg", "jpeg");
      item.state = state;
      ASSERT_GE(doc.AppendDownloadItem(item), 0);
    }
  }

  marovine::testing::Sandbox box;
  marovine::CMarovineDoc doc{box.Path("program/"), box.Path("store/")};
};

TEST_F(ListActionsTest, DoubleClickOpensFinishedFilesAndFailedAddresses) {
  EXPECT_EQ(ChooseDownloadDoubleClick(doc, {0}), DownloadClickAction::kOpenFile);
  EXPECT_EQ(ChooseDownloadDoubleClick(doc, {1}), DownloadClickAction::kOpenUrl);
  EXPECT_EQ(ChooseDownloadDoubleClick(doc, {2}), DownloadClickAction::kProperties);
  EXPECT_EQ(ChooseDownloadDoubleClick(doc, {0, 1}), DownloadClickAction::kNothing);
  EXPECT_EQ(ChooseDownloadDoubleClick(doc, {}), DownloadClickAction::kNothing);
  doc.settings.open_finished_file_on_click = 0;
  doc.settings.open_failed_url_on_click = 0;
  EXPECT_EQ(ChooseDownloadDoubleClick(doc, {0}), DownloadClickAction::kProperties);
  EXPECT_EQ(ChooseDownloadDoubleClick(doc, {1}), DownloadClickAction::kProperties);
}

TEST_F(ListActionsTest, SelectionShowsEachNewlySelectedFinishedFileOnce) {
  marovine::ui::SelectionWatch watch;
  // Off in the settings: the row is remembered, nothing shown.
  EXPECT_EQ(watch.OnSelection(doc, {0}), std::nullopt);
  doc.settings.quick_view_selected = 1;
  EXPECT_EQ(watch.OnSelection(doc, {0}), std::nullopt);  // the same row again
  EXPECT_EQ(watch.OnSelection(doc, {1}), std::nullopt);  // not finished
  EXPECT_EQ(watch.OnSelection(doc, {0}), doc.download_items[0].local_path);
  EXPECT_EQ(watch.OnSelection(doc, {0, 1}), std::nullopt);  // two rows
  watch.Forget();
  EXPECT_EQ(watch.OnSelection(doc, {0}), doc.download_items[0].local_path);
  // A finished item whose file is gone shows nothing.
  watch.Forget();
  ASSERT_TRUE(platform::RemoveFile(doc.download_items[0].local_path));
  EXPECT_EQ(watch.OnSelection(doc, {0}), std::nullopt);
}

}  // namespace
