#include "marovine/ui/window_layout.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace marovine::ui {
namespace {

constexpr const char* kPosition = "Position";

}  // namespace

SavedGeometry ReadSavedGeometry(const platform::Profile& profile) {
  SavedGeometry defaults;
  return {profile.GetInt(kPosition, "x", defaults.x), profile.GetInt(kPosition, "y", defaults.y),
          profile.GetInt(kPosition, "width", defaults.width),
          profile.GetInt(kPosition, "height", defaults.height)};
}

ColumnWidths ReadColumnWidths(const platform::Profile& profile) {
  ColumnWidths defaults;
  return {profile.GetInt(kPosition, "splitter11", defaults.column0),
          profile.GetInt(kPosition, "splitter12", defaults.column1),
          profile.GetInt(kPosition, "splitter13", defaults.column2)};
}

bool GeometryFitsScreen(const SavedGeometry& geometry, int screen_width, int screen_height) {
  // A window saved while the frame was off screen or collapsed would be
  // restored unreachable or invisible.
  if (geometry.x < 0 || geometry.y < 0 || geometry.width <= 0 || geometry.height <= 0) {
    return false;
  }
  // 64-bit: a hand-edited file must not make the sum wrap into "fits".
  return static_cast<long long>(geometry.x) + geometry.width < screen_width &&
         static_cast<long long>(geometry.y) + geometry.height < screen_height;
}

FirstPaintSashes PlanFirstPaint(const ColumnWidths& saved, bool quick_view, int total_width,
                                int sash_width) {
  FirstPaintSashes plan;
  plan.outer = std::max(0, saved.column0);
  plan.inner = std::max(0, saved.column1);
  if (!quick_view) return plan;
  int pane = total_width - plan.outer - plan.inner - 2 * sash_width;
  if (pane <= 0) plan.inner = std::max(10, plan.inner - 100);
  return plan;
}

bool SaveWindowLayout(platform::Profile& profile, const SavedGeometry& geometry,
                      const ColumnWidths& widths, bool quick_view) {
  std::vector<std::pair<std::string, std::string>> values = {
      {"x", std::to_string(geometry.x)},
      {"y", std::to_string(geometry.y)},
      {"width", std::to_string(geometry.width)},
      {"height", std::to_string(geometry.height)},
      {"splitter11", std::to_string(widths.column0)},
      {"splitter12", std::to_string(widths.column1)},
  };
  if (quick_view) values.emplace_back("splitter13", std::to_string(widths.column2));
  return profile.WriteStrings(kPosition, values);
}

}  // namespace marovine::ui
