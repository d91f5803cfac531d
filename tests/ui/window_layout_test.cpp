// The window's placement and column rules, without a display.

#include "marovine/ui/window_layout.h"

#include <gtest/gtest.h>

#include "marovine/ui/list_columns.h"
#include "platform/profile.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::ui::ColumnWidths;
using marovine::ui::GeometryFitsScreen;
using marovine::ui::PlanFirstPaint;
using marovine::ui::SavedGeometry;

TEST(WindowLayoutTest, ASavedWindowReturnsOnlyWhenItFitsInsideTheScreen) {
  EXPECT_TRUE(GeometryFitsScreen({0, 0, 600, 460}, 1024, 768));
  EXPECT_TRUE(GeometryFitsScreen({423, 307, 600, 460}, 1024, 768));
  // An edge on the screen's border is outside.
  EXPECT_FALSE(GeometryFitsScreen({424, 0, 600, 460}, 1024, 768));
  EXPECT_FALSE(GeometryFitsScreen({0, 308, 600, 460}, 1024, 768));
  // Off to the left or above, or without a size, it could not be reached.
  EXPECT_FALSE(GeometryFitsScreen({-590, 0, 600, 460}, 1024, 768));
  EXPECT_FALSE(GeometryFitsScreen({10, 10, 0, 460}, 1024, 768));
  // A sum that would wrap around is not "small".
  EXPECT_FALSE(GeometryFitsScreen({2147483000, 0, 2147483000, 460}, 1024, 768));
}

TEST(WindowLayoutTest, FirstPaintGivesThePicturePaneRoomWhenTheListsTakeEverything) {
  // Two columns: the saved widths as they are.
  auto two = PlanFirstPaint({200, 400, 0}, false, 600, 5);
  EXPECT_EQ(two.outer, 200);
  EXPECT_EQ(two.inner, 400);
  // The pane would get nothing: the download list gives up 100 pixels.
  auto squeezed = PlanFirstPaint({200, 400, 0}, true, 600, 5);
  EXPECT_EQ(squeezed.outer, 200);
  EXPECT_EQ(squeezed.inner, 300);
  // ...but keeps at least 10.
  EXPECT_EQ(PlanFirstPaint({500, 105, 0}, true, 600, 5).inner, 10);
  // Room left: nothing changes.
  EXPECT_EQ(PlanFirstPaint({200, 300, 150}, true, 800, 5).inner, 300);
}

TEST(WindowLayoutTest, ClosingWritesTheThirdWidthOnlyWithThePicturePane) {
  marovine::testing::Sandbox box;
  platform::Profile profile(box.Path("marovine.ini"));
  EXPECT_EQ(marovine::ui::ReadSavedGeometry(profile).width, 600);
  EXPECT_EQ(marovine::ui::ReadColumnWidths(profile).column1, 400);
  ASSERT_TRUE(profile.WriteString("Position", "splitter13", "77"));

  ASSERT_TRUE(marovine::ui::SaveWindowLayout(profile, {5, 6, 700, 500}, {210, 320, 90}, false));
  EXPECT_EQ(profile.GetInt("Position", "splitter13", 0), 77);
  ASSERT_TRUE(marovine::ui::SaveWindowLayout(profile, {5, 6, 700, 500}, {210, 320, 90}, true));
  SavedGeometry geometry = marovine::ui::ReadSavedGeometry(profile);
  ColumnWidths widths = marovine::ui::ReadColumnWidths(profile);
  EXPECT_EQ(geometry.x, 5);
  EXPECT_EQ(geometry.height, 500);
  EXPECT_EQ(widths.column0, 210);
  EXPECT_EQ(widths.column2, 90);
}

TEST(ListColumnsTest, WidthsOutsideTheRangeKeepTheSavedOnes) {
  marovine::testing::Sandbox box;
  platform::Profile profile(box.Path("marovine.ini"));
  const auto& columns = marovine::ui::DownloadListColumns();
  ASSERT_EQ(columns.size(), 8u);
  std::vector<int> widths = marovine::ui::ReadColumnWidths(profile, columns);
  EXPECT_EQ(widths, (std::vector<int>{150, 80, 40, 56, 56, 56, 300, 300}));

  ASSERT_TRUE(
      marovine::ui::SaveColumnWidths(profile, columns, {151, 2000, 1999, -1, 0, 56, 300, 300}));
  widths = marovine::ui::ReadColumnWidths(profile, columns);
  EXPECT_EQ(widths, (std::vector<int>{151, 80, 1999, 56, 0, 56, 300, 300}));
  EXPECT_EQ(marovine::ui::ReadColumnWidths(profile, marovine::ui::LinkListColumns()),
            (std::vector<int>{320, 300, 100}));
}

}  // namespace
