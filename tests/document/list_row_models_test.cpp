#include <gtest/gtest.h>

#include <string>

#include "marovine/document/download_row_model.h"
#include "marovine/document/link_row_model.h"

namespace {

using marovine::DownloadRowModel;
using marovine::LinkRowModel;
using marovine::ViewHint;

ViewHint Hint(int code, int value_a = 0, int row_b = 0, const std::string& text = "") {
  ViewHint hint;
  hint.code = code;
  hint.value_a = value_a;
  hint.row_b = row_b;
  hint.text1 = text;
  return hint;
}

TEST(LinkRowModelTest, CarriesOutHintsAndAnswersThroughThem) {
  LinkRowModel view;
  for (const char* url : {"http://a/", "http://b/", "http://c/"}) {
    ViewHint append = Hint(marovine::HINT_APPEND_ROW, -1, 0, url);
    view.OnHint(append);
  }
  ViewHint image = Hint(marovine::HINT_SET_IMAGE, 2, 1);
  image.image_group = 3;
  view.OnHint(image);
  EXPECT_EQ(view.rows()[1].image, 11);

  ViewHint selection = Hint(marovine::HINT_SELECTED_ROWS, 500);
  selection.selection.fill(-7);
  view.OnHint(selection);
  EXPECT_EQ(selection.value_a, 0);
  EXPECT_EQ(selection.selection[0], -7);  // untouched when nothing is selected
  view.Select(2);
  view.Select(0);
  selection.value_a = 500;
  view.OnHint(selection);
  ASSERT_EQ(selection.value_a, 2);
  EXPECT_EQ(selection.selection[0], 0);
  EXPECT_EQ(selection.selection[1], 2);

  ViewHint move_to_end = Hint(marovine::HINT_MOVE_ROW, 3, 0, "http://a/");
  view.OnHint(move_to_end);  // a position equal to the row count does nothing
  EXPECT_EQ(view.rows()[0].url, "http://a/");
  ViewHint move = Hint(marovine::HINT_MOVE_ROW, 2, 0, "http://a/");
  view.OnHint(move);
  EXPECT_EQ(view.rows()[2].url, "http://a/");
  EXPECT_EQ(view.rows()[2].image, 1);

  ViewHint count = Hint(marovine::HINT_SET_COUNT, 42, 0);
  view.OnHint(count);
  ViewHint title = Hint(marovine::HINT_SET_TITLE, 0, 0, "題名");
  view.OnHint(title);
  EXPECT_EQ(view.rows()[0].count, "42");
  EXPECT_EQ(view.rows()[0].title, "題名");

  ViewHint scroll = Hint(marovine::HINT_BRING_INTO_VIEW, 2);
  view.OnHint(scroll);
  scroll.value_a = 0;
  view.OnHint(scroll);
  EXPECT_EQ(view.top_row(), 0);

  ViewHint unknown = Hint(12, 0, 0, "x");
  view.OnHint(unknown);
  ViewHint remove = Hint(marovine::HINT_DELETE_ROW, 0);
  view.OnHint(remove);
  EXPECT_EQ(view.rows().size(), 2u);
}

TEST(DownloadRowModelTest, FormatsProgressAndRewritesOnlyChangedCells) {
  DownloadRowModel view;
  EXPECT_EQ(view.AppendRow("http://h/dir/"), 0);
  EXPECT_EQ(view.rows()[0].cells[DownloadRowModel::kFileName], "");
  view.UpdateProgress(0, 5000, 0, 0, "接続中", 0);
  const auto& cells = view.rows()[0].cells;
  EXPECT_EQ(cells[DownloadRowModel::kSize], "4/0");
  EXPECT_EQ(cells[DownloadRowModel::kPercent], "0");
  EXPECT_EQ(cells[DownloadRowModel::kSpeed], "0");
  EXPECT_EQ(cells[DownloadRowModel::kElapsed], "0:00");
  view.UpdateProgress(0, 3LL * 1024 * 1024 * 1024, 4LL * 1024 * 1024 * 1024, 125, "受信中", 1);
  EXPECT_EQ(cells[DownloadRowModel::kSize], "3145728/4194304");
  EXPECT_EQ(cells[DownloadRowModel::kPercent], "75");
  EXPECT_EQ(cells[DownloadRowModel::kElapsed], "2:05");
  EXPECT_EQ(cells[DownloadRowModel::kRetry], "1");
  int writes = view.cell_writes();
  view.UpdateProgress(0, 3LL * 1024 * 1024 * 1024, 4LL * 1024 * 1024 * 1024, 125, "受信中", 1);
  EXPECT_EQ(view.cell_writes(), writes);
  view.UpdateProgress(0, 8192, 0, 3670, "", 12);
  EXPECT_EQ(cells[DownloadRowModel::kElapsed], "61:10");
  EXPECT_EQ(cells[DownloadRowModel::kSpeed], "17");
  EXPECT_EQ(cells[DownloadRowModel::kRetry], "12");
}

TEST(DownloadRowModelTest, SwapResetDeleteAndSelection) {
  DownloadRowModel view;
  view.AppendRow("http://h/a.jpg");
  view.AppendRow("http://h/b.jpg");
  view.AppendRow("http://h/c.jpg");
  view.SetImage(marovine::IMAGE_DONE, 0);
  view.SwapRows(0, 1);
  EXPECT_EQ(view.rows()[0].cells[DownloadRowModel::kFileName], "b.jpg");
  EXPECT_EQ(view.rows()[0].image, marovine::IMAGE_DONE);  // images stay put
  view.UpdateProgress(1, 10, 20, 1, "x", 0);
  view.ResetRow("http://h/z.jpg", 1);
  EXPECT_EQ(view.rows()[1].cells[DownloadRowModel::kSize], "");
  EXPECT_EQ(view.rows()[1].cells[DownloadRowModel::kUrl], "http://h/z.jpg");
  view.Select(2);
  view.Select(0);
  EXPECT_EQ(view.SelectedRows(1), std::vector<int>{0});
  view.DeleteRow(0);
  EXPECT_EQ(view.SelectedRows(2), std::vector<int>{1});
  EXPECT_EQ(view.RowCount(), 2);
}

}  // namespace
