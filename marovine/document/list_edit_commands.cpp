#include "marovine/document/list_edit_commands.h"

#include <algorithm>
#include <string>

#include "marovine/document/download_list_view.h"
#include "marovine/document/link_list_view.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/progress_text.h"
#include "marovine/document/ui_services.h"

namespace marovine {

namespace {

bool ValidRow(int row, std::size_t count) {
  return row >= 0 && static_cast<std::size_t>(row) < count;
}

enum class LogHandling { kAsSettingsSay, kKeep };

void DeleteLinks(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& rows,
                 LogHandling logs) {
  const int n = static_cast<int>(rows.size());
  for (int k = n - 1; k >= 0; --k) {
    int row = rows[k];
    if (ValidRow(row, doc.link_items.size()) && doc.link_items[row].state != LS_SEARCHING) {
      if (logs == LogHandling::kAsSettingsSay) {
        doc.RemoveLinkItem(row);
      } else {
        doc.RemoveLinkItemKeepLog(row);
      }
    }
    ui.SetStatusText(kProgressPane, ProgressText(n - k, n));
  }
}

void DeleteDownloads(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& rows) {
  const int n = static_cast<int>(rows.size());
  for (int k = n - 1; k >= 0; --k) {
    int row = rows[k];
    if (ValidRow(row, doc.download_items.size()) && doc.download_items[row].state != DS_RUNNING) {
      doc.RemoveDownloadItem(row);
    }
    ui.SetStatusText(kProgressPane, ProgressText(n - k, n));
  }
}

void SetDownloadImage(CMarovineDoc& doc, int image, int row) {
  DownloadListView* view = doc.download_view();
  if (view != nullptr && row < view->RowCount()) view->SetImage(image, row);
}

// Links (searched again: waiting; or done) when any is selected, else
// downloads, each with its new state and row image.
void MarkSelection(CMarovineDoc& doc, const std::vector<int>& link_rows,
                   const std::vector<int>& download_rows, LinkState link_state,
                   DownloadState download_state, int download_image) {
  if (!link_rows.empty()) {
    for (auto it = link_rows.rbegin(); it != link_rows.rend(); ++it) {
      int row = *it;
      if (!ValidRow(row, doc.link_items.size())) continue;
      if (doc.link_items[row].state == LS_SEARCHING) continue;
      doc.link_items[row].state = link_state;
      doc.SetLinkRowImage(row);
    }
    return;
  }
  for (auto it = download_rows.rbegin(); it != download_rows.rend(); ++it) {
    int row = *it;
    if (!ValidRow(row, doc.download_items.size())) continue;
    if (doc.download_items[row].state == DS_RUNNING) continue;
    SetDownloadImage(doc, download_image, row);
    doc.download_items[row].state = download_state;
  }
}

}  // namespace

std::vector<int> SelectedLinkRows(CMarovineDoc& doc) {
  ViewHint hint;
  hint.code = HINT_SELECTED_ROWS;
  hint.value_a = kMaxHintSelection;
  // Rows a view did not fill (or no view at all) stay -1 and count as none.
  hint.selection.fill(-1);
  doc.Broadcast(hint);
  int count = std::clamp(hint.value_a, 0, kMaxHintSelection);
  std::vector<int> rows;
  for (int k = 0; k < count && hint.selection[k] >= 0; ++k) rows.push_back(hint.selection[k]);
  return rows;
}

std::vector<int> SelectedDownloadRows(CMarovineDoc& doc, int maximum) {
  DownloadListView* view = doc.download_view();
  if (view == nullptr) return {};
  return view->SelectedRows(maximum);
}

void DeleteSelectedItems(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& link_rows,
                         const std::vector<int>& download_rows) {
  if (!link_rows.empty()) {
    DeleteLinks(doc, ui, link_rows, LogHandling::kAsSettingsSay);
  } else {
    DeleteDownloads(doc, ui, download_rows);
  }
}

void DeleteSelectedLinks(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& link_rows) {
  DeleteLinks(doc, ui, link_rows, LogHandling::kKeep);
  ui.SetStatusText(kProgressPane, "");
}

void DeleteSelectedDownloads(CMarovineDoc& doc, UiServices& ui,
                             const std::vector<int>& download_rows) {
  DeleteDownloads(doc, ui, download_rows);
  ui.SetStatusText(kProgressPane, "");
}

void SearchAgainSelection(CMarovineDoc& doc, const std::vector<int>& link_rows,
                          const std::vector<int>& download_rows) {
  MarkSelection(doc, link_rows, download_rows, LS_WAITING, DS_RETRY_WAIT, IMAGE_RETRY_WAIT);
}

void MarkFinishedSelection(CMarovineDoc& doc, const std::vector<int>& link_rows,
                           const std::vector<int>& download_rows) {
  MarkSelection(doc, link_rows, download_rows, LS_DONE, DS_DONE, IMAGE_SIZE_REMOVED);
}

void MarkDownloadsFinished(CMarovineDoc& doc, const std::vector<int>& download_rows) {
  for (int row : download_rows) {
    if (!ValidRow(row, doc.download_items.size())) continue;
    if (doc.download_items[row].state == DS_RUNNING) {
      doc.crawl().StopTransferOf(row);
      SetDownloadImage(doc, IMAGE_STOPPED, row);
    } else {
      SetDownloadImage(doc, IMAGE_DONE, row);
    }
    doc.download_items[row].state = DS_DONE;
  }
}

bool LinkMover::Move(CMarovineDoc& doc, int step) {
  std::vector<int> rows;
  if (clicked_) {
    rows = SelectedLinkRows(doc);
    clicked_ = false;
  } else if (remembered_row_ >= 0) {
    rows.push_back(remembered_row_);
  }
  if (rows.size() != 1) return false;
  const int from = rows[0];
  const int to = from + step;
  const int count = static_cast<int>(doc.link_items.size());
  if (from < 0 || from >= count || to < 0 || to >= count) return false;
  std::swap(doc.link_items[from], doc.link_items[to]);
  remembered_row_ = to;

  const LinkItem& moved = doc.link_items[to];
  ViewHint hint;
  hint.code = HINT_MOVE_ROW;
  hint.row_b = from;
  hint.value_a = to;
  hint.text1 = moved.url;
  doc.Broadcast(hint);
  ViewHint title;
  title.code = HINT_SET_TITLE;
  title.row_b = to;
  title.text1 = moved.title;
  doc.Broadcast(title);
  doc.SetLinkRowImage(to);
  doc.SetLinkRowCount(to);
  return true;
}

}  // namespace marovine
