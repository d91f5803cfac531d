#include "marovine/document/settings_pages_items.h"

#include "marovine/document/settings_keys.h"
#include "platform/path.h"

namespace marovine {

std::string LinkItemStateCaption(const LinkItem& item) {
  if (item.mode == MODE_WHOLE_SITE) return "丸ごとダウンロードモードです。";
  return LinkStateText(item.state);
}

std::string LinkItemGroupCaption(const platform::Profile& profile, const LinkItem& item) {
  if (item.mode == MODE_WHOLE_SITE) return "丸ごとDL設定";
  std::string name = GroupName(profile, item.group);
  if (name.empty()) name = kUntitledText;
  return std::to_string(item.group) + " ： " + name;
}

std::string RootFolderOfHistory(const std::string& history_path) {
  std::string mirror = platform::FolderOf(history_path);
  while (!mirror.empty() && mirror.back() == platform::kPathSeparator) mirror.pop_back();
  std::string root = platform::FolderOf(mirror);
  // A mirror directly in "/" has no folder above it but "/" itself.
  if (root.empty() && !history_path.empty() && history_path.front() == platform::kPathSeparator) {
    root = std::string(1, platform::kPathSeparator);
  }
  return root;
}

}  // namespace marovine
