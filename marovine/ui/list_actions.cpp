#include "marovine/ui/list_actions.h"

#include "marovine/document/marovine_doc.h"
#include "marovine/engine/work_items.h"
#include "platform/path.h"

namespace marovine::ui {

DownloadClickAction ChooseDownloadDoubleClick(const CMarovineDoc& doc,
                                              const std::vector<int>& selected) {
  if (selected.size() != 1) return DownloadClickAction::kNothing;
  int row = selected.front();
  if (row < 0 || row >= static_cast<int>(doc.download_items.size())) {
    return DownloadClickAction::kNothing;
  }
  int state = doc.download_items[row].state;
  if (state == DS_DONE && doc.settings.open_finished_file_on_click == 1) {
    return DownloadClickAction::kOpenFile;
  }
  if (doc.settings.open_failed_url_on_click != 0 && state == DS_ERROR) {
    return DownloadClickAction::kOpenUrl;
  }
  return DownloadClickAction::kProperties;
}

LinkClickAction ChooseLinkDoubleClick(const CMarovineDoc& doc, const std::vector<int>& selected) {
  if (doc.settings.open_file_view_on_click == 0) {
    return selected.empty() ? LinkClickAction::kNothing : LinkClickAction::kProperties;
  }
  if (selected.size() != 1) return LinkClickAction::kNothing;
  int row = selected.front();
  if (row < 0 || row >= static_cast<int>(doc.link_items.size())) return LinkClickAction::kNothing;
  return doc.link_items[row].state == LS_DONE ? LinkClickAction::kFileView
                                              : LinkClickAction::kProperties;
}

std::optional<std::string> SelectionWatch::OnSelection(const CMarovineDoc& doc,
                                                       const std::vector<int>& selected) {
  if (selected.size() != 1 || selected.front() == remembered_) return std::nullopt;
  remembered_ = selected.front();
  if (doc.settings.quick_view_selected == 0) return std::nullopt;
  if (remembered_ >= static_cast<int>(doc.download_items.size())) return std::nullopt;
  const DownloadItem& item = doc.download_items[remembered_];
  if (item.state != DS_DONE || !platform::FileExists(item.local_path)) return std::nullopt;
  return item.local_path;
}

}  // namespace marovine::ui
