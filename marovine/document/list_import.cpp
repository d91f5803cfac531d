#include "marovine/document/list_import.h"

#include <vector>

#include "marovine/document/crawl_hooks.h"
#include "marovine/document/document_settings.h"
#include "marovine/document/list_file_reader.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/site_history_file.h"
#include "marovine/document/ui_services.h"
#include "marovine/document/url_extraction.h"
#include "marovine/engine/safe_name.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/text_encoding.h"

namespace marovine {

namespace {

enum class ShortcutKind { kNone, kInternetShortcut, kDesktopLink };

// The URL of a line of a list file. Only a line that holds "http://" is
// converted from CP932 when it is no UTF-8: conversion never makes an
// address appear, and most lines of a binary file hold none.
std::string UrlOfListLine(const std::string& line) {
  if (line.find("http://") == std::string::npos) return {};
  return ExtractUrl(platform::LegacyToUtf8(line), UrlTextSource::kListFile);
}

ShortcutKind ShortcutKindOf(const std::string& path) {
  std::string name = platform::NameOf(path);
  if (name.find(".url") != std::string::npos) return ShortcutKind::kInternetShortcut;
  if (name.ends_with(".desktop")) return ShortcutKind::kDesktopLink;
  return ShortcutKind::kNone;
}

// A desktop entry is a web shortcut only with Type=Link; its address is the
// value of its URL key.
struct DesktopLink {
  bool is_link = false;
  std::string url;
};

DesktopLink ReadDesktopLink(ListFileReader& reader) {
  DesktopLink link;
  std::string line;
  while (reader.NextLine(line)) {
    if (line == "Type=Link") link.is_link = true;
    if (link.url.empty() && line.starts_with("URL")) {
      auto equals = line.find('=');
      if (equals != std::string::npos && line.find_first_not_of(' ', 3) == equals) {
        link.url = UrlOfListLine(line);
      }
    }
  }
  return link;
}

// The folder a shortcut gives its site: the shortcut's name up to its first
// ".", below the site's folder.
void AddShortcutTitleFolder(CMarovineDoc& doc, const std::string& shortcut_path,
                            const std::string& url) {
  std::string name = platform::NameOf(shortcut_path);
  name = name.substr(0, name.find('.'));
  if (name.empty()) return;
  std::string folder = SanitizeNameComponent(name);
  for (auto& link : doc.link_items) {
    if (link.url == url) link.folder = platform::WithTrailingSeparator(link.folder + folder);
  }
}

std::vector<std::string> UrlsOfText(std::string_view text) {
  std::vector<std::string> urls;
  for (std::string_view line : SplitTextLines(text)) {
    std::string url = ExtractUrl(line, UrlTextSource::kClipboard);
    if (!url.empty()) urls.push_back(std::move(url));
  }
  return urls;
}

int RegisterClipboardText(CMarovineDoc& doc, UiServices& ui, CrawlHooks& hooks,
                          std::string_view text) {
  std::vector<std::string> urls = UrlsOfText(text);
  if (urls.empty()) return 0;
  hooks.PlayEventSound(kUrlPasteSound);
  if (doc.profile.GetInt("UrlInsert", "Kakunin", 1) == 1 &&
      !ui.AskYesNo(kPasteQuestion, MessageIcon::kQuestion)) {
    return 0;
  }
  int added = 0;
  for (const auto& url : urls) added += doc.RegisterUrl(url);
  return added;
}

bool WriteUrlList(UiServices& ui, const std::string& path, const std::string& text) {
  if (platform::WriteFileAtomically(path, text)) return true;
  ui.ShowMessage(kCannotCreateFile, MessageIcon::kNone);
  return false;
}

}  // namespace

void ImportListFileCommand(CMarovineDoc& doc, UiServices& ui) {
  if (auto path = ui.ChooseFileToOpen(kImportFilter)) ImportListFile(doc, ui, *path);
}

int ImportListFile(CMarovineDoc& doc, UiServices& ui, const std::string& path) {
  ListFileReader reader(path);
  if (!reader.is_open()) {
    ui.ShowMessage(kCannotOpenFile, MessageIcon::kNone);
    return -1;
  }
  int added = 0;
  std::string line;
  while (reader.NextLine(line)) {
    std::string url = UrlOfListLine(line);
    if (!url.empty()) added += doc.RegisterUrl(url);
  }
  return added;
}

int ImportDroppedListFile(CMarovineDoc& doc, UiServices& ui, const std::string& path) {
  ShortcutKind kind = ShortcutKindOf(path);
  if (kind == ShortcutKind::kNone) return ImportListFile(doc, ui, path);
  ListFileReader reader(path);
  if (!reader.is_open()) {
    ui.ShowMessage(kCannotOpenFile, MessageIcon::kNone);
    return -1;
  }
  std::string url;
  if (kind == ShortcutKind::kDesktopLink) {
    DesktopLink link = ReadDesktopLink(reader);
    if (link.is_link) url = link.url;
  } else {
    // The first line that carries a URL is the shortcut's address.
    std::string line;
    while (url.empty() && reader.NextLine(line)) url = UrlOfListLine(line);
  }
  if (url.empty()) return 0;
  int added = doc.RegisterUrl(url);
  if (added == 1 && doc.settings.shortcut_title_folder != 0 &&
      doc.settings.registration_mode == kRegisterCrawl) {
    AddShortcutTitleFolder(doc, path, url);
  }
  return added;
}

bool ImportSiteHistoryText(CMarovineDoc& doc, UiServices& ui, const std::string& path) {
  auto base = ReadSiteHistoryBase(path);
  if (!base) {
    ui.ShowMessage(kNotAHistoryFile, MessageIcon::kNone);
    return false;
  }
  doc.AppendLinkItem(doc.NewWholeSiteLinkItem(base->base_url, platform::FolderOf(path)));
  return true;
}

int PasteClipboard(CMarovineDoc& doc, UiServices& ui, CrawlHooks& hooks) {
  auto text = ui.ClipboardText();
  if (!text) return 0;
  return RegisterClipboardText(doc, ui, hooks, *text);
}

int ClipboardWatcher::Poll(CMarovineDoc& doc, UiServices& ui, CrawlHooks& hooks) {
  auto text = ui.ClipboardText();
  if (!text || *text == last_seen_) return 0;
  last_seen_ = *text;
  return RegisterClipboardText(doc, ui, hooks, *text);
}

void ExportLinkListCommand(CMarovineDoc& doc, UiServices& ui) {
  if (auto path = ui.ChooseFileToSave("lst", kExportFilter)) ExportLinkList(doc, ui, *path);
}

void ExportDownloadListCommand(CMarovineDoc& doc, UiServices& ui) {
  if (auto path = ui.ChooseFileToSave("lst", kExportFilter)) ExportDownloadList(doc, ui, *path);
}

bool ExportLinkList(CMarovineDoc& doc, UiServices& ui, const std::string& path) {
  std::string text;
  for (const auto& item : doc.link_items) text += item.url + "\n";
  return WriteUrlList(ui, path, text);
}

bool ExportDownloadList(CMarovineDoc& doc, UiServices& ui, const std::string& path) {
  std::string text;
  for (const auto& item : doc.download_items) text += item.url + "\n";
  return WriteUrlList(ui, path, text);
}

}  // namespace marovine
