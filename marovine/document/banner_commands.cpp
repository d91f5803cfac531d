#include "marovine/document/banner_commands.h"

#include <cstdio>
#include <iterator>

#include "marovine/document/list_file_reader.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/ui_services.h"
#include "marovine/engine/banner_list.h"
#include "platform/path.h"
#include "platform/unique_handle.h"

namespace marovine {

namespace {

// Whether the list can be appended to, without changing it.
bool CanAppendTo(const std::string& path) {
  platform::UniqueFile file(std::fopen(path.c_str(), "ab"));
  return static_cast<bool>(file);
}

}  // namespace

int RegisterDownloadsAsBanners(CMarovineDoc& doc, const std::vector<int>& download_rows) {
  const bool delete_files = doc.profile.GetInt("Banner", "DeleteBanner", 1) != 0;
  int registered = 0;
  // The first 500 selected rows, from the last of them up.
  auto end = download_rows.size() > kMaxBannerSelection
                 ? download_rows.begin() + kMaxBannerSelection
                 : download_rows.end();
  for (auto it = std::make_reverse_iterator(end); it != download_rows.rend(); ++it) {
    int row = *it;
    if (row < 0 || row >= static_cast<int>(doc.download_items.size())) continue;
    const DownloadItem& item = doc.download_items[row];
    if (item.state == DS_RUNNING) continue;
    const std::string path = item.local_path;
    if (!platform::FileExists(path) || platform::IsFolder(path)) continue;
    auto signature = TextSignatureOf(path);
    auto size = platform::FileSizeOf(path);
    if (!signature || !size) continue;
    if (!AppendBannerEntry(doc.paths.banner_list_path, *size, *signature)) break;
    ++registered;
    if (delete_files) {
      (void)platform::RemoveFile(path);  // a file left behind is only a file the user sees again
      doc.RemoveDownloadItem(row);
    }
  }
  return registered;
}

void MergeBannerDifferenceCommand(CMarovineDoc& doc, UiServices& ui) {
  if (auto path = ui.ChooseFileToOpen(kBannerDifferenceFilter)) {
    MergeBannerDifferenceFile(doc, ui, *path);
  }
}

bool MergeBannerDifferenceFile(CMarovineDoc& doc, UiServices& ui, const std::string& path) {
  const std::string& banner_path = doc.paths.banner_list_path;
  if (!CanAppendTo(banner_path)) {
    ui.ShowMessage(kCannotOpen, MessageIcon::kNone);
    return false;
  }
  ListFileReader reader(path);
  if (!reader.is_open()) {
    ui.ShowMessage(kCannotOpenDifference, MessageIcon::kNone);
    return false;
  }
  // Collected first and appended at once: the list never holds half a merge,
  // and a difference file that is the list itself is read as it was.
  std::string merged;
  std::string line;
  while (reader.NextLine(line)) {
    if (IsBannerDifferenceLine(line)) merged += line + "\n";
  }
  if (!merged.empty() && !AppendBannerLines(banner_path, merged)) {
    ui.ShowMessage(kCannotOpen, MessageIcon::kNone);
    return false;
  }
  if (ui.AskYesNo(kDeleteDifferenceQuestion, MessageIcon::kQuestion)) {
    (void)platform::RemoveFile(path);  // the merge itself is done either way
  }
  return true;
}

}  // namespace marovine
