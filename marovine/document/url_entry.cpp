#include "marovine/document/url_entry.h"

#include "marovine/document/marovine_doc.h"
#include "marovine/document/site_history_file.h"
#include "marovine/document/ui_services.h"
#include "marovine/engine/safe_name.h"
#include "platform/path.h"

namespace marovine {

namespace {

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

int EnterCrawlUrl(CMarovineDoc& doc, UiServices& ui, const std::string& url) {
  // The dialog starts with "http://"; left so, or with only "https://" (or
  // emptied), it means nothing.
  if (url == "http://" || url == "https://" || IsBlank(url)) return 0;
  if (doc.RegisterUrl(url) == 1) return 1;
  if (!ui.AskYesNo(kRegisterAnywayQuestion, MessageIcon::kQuestion)) return 0;
  doc.AppendLinkItem(doc.NewCrawlLinkItem(url));
  return 1;
}

int EnterWholeSiteUrl(CMarovineDoc& doc, const std::string& url, const std::string& heading,
                      const std::string& root_folder) {
  if (IsBlank(url)) return 0;
  std::string folder = platform::WithTrailingSeparator(root_folder);
  // Without a heading the site lies in the root itself, as it always did.
  if (!heading.empty()) folder += SanitizeNameComponent(heading);
  doc.AppendLinkItem(doc.NewWholeSiteLinkItem(url, folder));
  return 1;
}

std::optional<WholeSiteUrlEntry> WholeSiteEntryFromHistory(const std::string& history_path) {
  auto base = ReadSiteHistoryBase(history_path);
  if (!base) return std::nullopt;
  std::string mirror = platform::FolderOf(history_path);
  if (!mirror.empty()) mirror.pop_back();
  return WholeSiteUrlEntry{base->base_url, base->heading, platform::FolderOf(mirror)};
}

int UrlEntryCommand(CMarovineDoc& doc, UiServices& ui) {
  if (doc.settings.registration_mode == kRegisterCrawl) {
    auto url = ui.EnterCrawlUrlText("http://");
    return url ? EnterCrawlUrl(doc, ui, *url) : 0;
  }
  WholeSiteUrlEntry entry{"http://", "", doc.settings.whole_site_folder};
  if (!ui.EditWholeSiteUrl(entry)) return 0;
  return EnterWholeSiteUrl(doc, entry.url, entry.heading, entry.root_folder);
}

}  // namespace marovine
