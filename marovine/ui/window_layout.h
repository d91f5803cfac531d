#pragma once

#include <string>

#include "platform/profile.h"

namespace marovine::ui {

// Where the main window was when it last closed ("Position" in marovine.ini).
struct SavedGeometry {
  int x = 0;
  int y = 0;
  int width = 600;
  int height = 460;
};

// The widths of the window's columns: the link list, the download list and,
// when it exists, the picture pane.
struct ColumnWidths {
  int column0 = 200;
  int column1 = 400;
  int column2 = 0;
};

SavedGeometry ReadSavedGeometry(const platform::Profile& profile);
ColumnWidths ReadColumnWidths(const platform::Profile& profile);

// A saved window is put back only when its right and bottom edges lie inside
// the screen (an edge on the screen's border is already outside); otherwise it
// opens where the desktop places new windows, and its columns keep their
// first layout.
bool GeometryFitsScreen(const SavedGeometry& geometry, int screen_width, int screen_height);

// The sash positions of the first paint in a window whose splitter is
// `total_width` wide. With the picture pane, the pane gets what the two lists
// leave; when that is nothing, the download list gives up 100 pixels (keeping
// at least 10) so that the pane can be seen at all.
struct FirstPaintSashes {
  int outer = 0;  // width of the link list
  int inner = 0;  // width of the download list (only with the picture pane)
};
FirstPaintSashes PlanFirstPaint(const ColumnWidths& saved, bool quick_view, int total_width,
                                int sash_width);

// Writes the geometry and the column widths in one rewrite of the file; the
// third width only when the picture pane exists. False when the file could
// not be written.
bool SaveWindowLayout(platform::Profile& profile, const SavedGeometry& geometry,
                      const ColumnWidths& widths, bool quick_view);

}  // namespace marovine::ui
