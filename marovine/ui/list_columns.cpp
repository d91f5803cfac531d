#include "marovine/ui/list_columns.h"

#include <utility>

namespace marovine::ui {
namespace {

constexpr const char* kSize = "Size";

}  // namespace

const std::vector<ListColumn>& LinkListColumns() {
  static const std::vector<ListColumn> columns = {
      {"URL", "ListColumn0", 320},
      {"タイトル", "ListColumn1", 300},
      {"総ファイル数", "ListColumn2", 100},
  };
  return columns;
}

const std::vector<ListColumn>& DownloadListColumns() {
  static const std::vector<ListColumn> columns = {
      {"ファイル名", "DownColumn0", 150}, {"サイズ", "DownColumn1", 80},
      {"％", "DownColumn2", 40},          {"速度", "DownColumn3", 56},
      {"経過", "DownColumn4", 56},        {"リトライ", "DownColumn5", 56},
      {"コメント", "DownColumn6", 300},   {"ＵＲＬ", "DownColumn7", 300},
  };
  return columns;
}

std::vector<int> ReadColumnWidths(const platform::Profile& profile,
                                  const std::vector<ListColumn>& columns) {
  std::vector<int> widths;
  widths.reserve(columns.size());
  for (const ListColumn& column : columns) {
    widths.push_back(profile.GetInt(kSize, column.width_key, column.default_width));
  }
  return widths;
}

bool SaveColumnWidths(platform::Profile& profile, const std::vector<ListColumn>& columns,
                      const std::vector<int>& widths) {
  std::vector<std::pair<std::string, std::string>> values;
  for (std::size_t i = 0; i < columns.size() && i < widths.size(); ++i) {
    if (widths[i] >= 0 && widths[i] < 2000) {
      values.emplace_back(columns[i].width_key, std::to_string(widths[i]));
    }
  }
  if (values.empty()) return true;
  return profile.WriteStrings(kSize, values);
}

}  // namespace marovine::ui
