#include "marovine/document/settings_pages_items.h"

#include "marovine/document/settings_keys.h"

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

}  // namespace marovine
