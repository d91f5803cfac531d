#include "marovine/document/list_search.h"

#include <cstdlib>
#include <string_view>

#include "marovine/document/download_list_view.h"
#include "marovine/document/link_list_view.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/ui_services.h"

namespace marovine {

namespace {

bool Contains(const std::string& field, const std::string& text) {
  return field.find(text) != std::string::npos;
}

bool LinkMatches(const SearchSettings& s, const LinkItem& link) {
  return (s.link_url && Contains(link.url, s.text)) ||
         (s.link_title && Contains(link.title, s.text)) ||
         (s.link_folder && Contains(link.folder, s.text)) ||
         (s.link_random && std::atoi(s.text.c_str()) == link.random_number);
}

bool DownloadMatches(const SearchSettings& s, const DownloadItem& item) {
  return (s.download_url && Contains(item.url, s.text)) ||
         (s.download_path && Contains(item.local_path, s.text));
}

// The first occurrence of `from` made `to`; false when the text has none.
bool ReplaceFirst(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return false;
  auto at = text.find(from);
  if (at == std::string::npos) return false;
  text.replace(at, from.size(), to);
  return true;
}

// A path that names exactly the folder its text shows: no "." or ".."
// component and no control byte. An absolute path stays absolute.
bool StaysInItsFolder(std::string_view before, std::string_view after) {
  if (after.empty()) return false;
  if (!before.empty() && before.front() == '/' && after.front() != '/') return false;
  for (unsigned char c : after) {
    if (c < 0x20 || c == 0x7f) return false;
  }
  std::size_t from = 0;
  while (from <= after.size()) {
    auto end = after.find('/', from);
    if (end == std::string_view::npos) end = after.size();
    std::string_view part = after.substr(from, end - from);
    if (part == "." || part == "..") return false;
    from = end + 1;
  }
  return true;
}

}  // namespace

void ListSearch::SearchCommand(CMarovineDoc& doc, UiServices& ui) {
  if (ui.EditSearchSettings(settings)) FindNext(doc, ui);
}

bool ListSearch::FindNext(CMarovineDoc& doc, UiServices& ui) {
  if (settings.links) {
    for (int i = std::max(next_link, 0); i < static_cast<int>(doc.link_items.size()); ++i) {
      if (!LinkMatches(settings, doc.link_items[i])) continue;
      next_link = i + 1;
      ViewHint hint;
      hint.code = HINT_BRING_INTO_VIEW;
      hint.value_a = i;
      doc.Broadcast(hint);
      return true;
    }
  }
  if (settings.downloads) {
    for (int j = std::max(next_download, 0); j < static_cast<int>(doc.download_items.size()); ++j) {
      if (!DownloadMatches(settings, doc.download_items[j])) continue;
      next_download = j + 1;
      if (DownloadListView* view = doc.download_view()) view->ScrollToTop(j);
      return true;
    }
  }
  if (ui.AskYesNo(kSearchEndQuestion, MessageIcon::kQuestion)) {
    next_link = 0;
    next_download = 0;
  }
  return false;
}

void ReplaceCommand(CMarovineDoc& doc, UiServices& ui) {
  ReplaceRequest request;
  if (ui.EditReplaceRequest(request)) ReplaceInLists(doc, request);
}

int ReplaceInLists(CMarovineDoc& doc, const ReplaceRequest& request) {
  int changed = 0;
  if (request.links) {
    for (std::size_t i = 0; i < doc.link_items.size(); ++i) {
      LinkItem& link = doc.link_items[i];
      if (link.state == LS_SEARCHING) continue;
      if (request.link_url && ReplaceFirst(link.url, request.from, request.to)) {
        ViewHint hint;
        hint.code = HINT_SET_URL;
        hint.row_b = static_cast<int>(i);
        hint.text1 = link.url;
        doc.Broadcast(hint);
        ++changed;
      }
      std::string folder = link.folder;
      if (request.link_folder && ReplaceFirst(folder, request.from, request.to) &&
          StaysInItsFolder(link.folder, folder)) {
        link.folder = folder;
        ++changed;
      }
    }
  }
  if (request.downloads) {
    for (std::size_t j = 0; j < doc.download_items.size(); ++j) {
      const int row = static_cast<int>(j);
      if (doc.download_items[j].state == DS_RUNNING) continue;
      std::string url = doc.download_items[j].url;
      if (request.download_url && ReplaceFirst(url, request.from, request.to)) {
        doc.download_items[j].url = url;
        if (DownloadListView* view = doc.download_view();
            view != nullptr && row < view->RowCount()) {
          view->ResetRow(url, row);
        }
        ++changed;
      }
      std::string path = doc.download_items[j].local_path;
      // Another item's file is never taken over either.
      if (request.download_path && ReplaceFirst(path, request.from, request.to) &&
          !path.ends_with('/') && StaysInItsFolder(doc.download_items[j].local_path, path) &&
          !doc.LocalPathHeld(path)) {
        doc.SetItemLocalPath(row, std::move(path));
        ++changed;
      }
    }
  }
  return changed;
}

}  // namespace marovine
