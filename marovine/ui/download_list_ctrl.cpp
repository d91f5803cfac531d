#include "marovine/ui/download_list_ctrl.h"

#include <algorithm>
#include <mutex>

#include "marovine/document/marovine_doc.h"
#include "marovine/ui/list_columns.h"
#include "marovine/ui/ui_artwork.h"

namespace marovine::ui {

// What a transfer's thread may reach: the view, until the view goes. The
// thread only queues a call; the call itself runs on the UI thread.
struct CLinkView::FastWake {
  std::mutex mutex;
  CLinkView* view = nullptr;
  bool queued = false;  // one wake waits at most; more ends change nothing
};

CLinkView::CLinkView(wxWindow* parent, CMarovineDoc& doc)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_THEME),
      doc_(doc),
      heartbeat_(this),
      fast_wake_(std::make_shared<FastWake>()) {
  const auto& columns = DownloadListColumns();
  std::vector<int> widths = ReadColumnWidths(doc_.profile, columns);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    AppendColumn(wxString::FromUTF8(columns[i].title), wxLIST_FORMAT_LEFT, widths[i]);
  }
  AssignImageList(CreateDownloadStateImages(), wxIMAGE_LIST_SMALL);

  Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnTick(); });
  Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) {
    if (on_double_click) on_double_click();
  });
  Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& event) {
    wxPoint at = event.GetPosition();
    if (at == wxDefaultPosition) at = ClientToScreen(wxPoint(0, 0));
    if (on_context_menu) on_context_menu(at);
  });
  auto selection = [this](wxListEvent& event) {
    event.Skip();
    if (on_selection_changed) on_selection_changed();
  };
  Bind(wxEVT_LIST_ITEM_SELECTED, selection);
  Bind(wxEVT_LIST_ITEM_FOCUSED, selection);

  fast_wake_->view = this;
  doc_.SetDownloadView(this);
  doc_.crawl().SetTransferEndNotifier([wake = fast_wake_] {
    std::lock_guard lock(wake->mutex);
    if (wake->view == nullptr || wake->queued) return;
    wake->queued = true;
    wake->view->CallAfter(&CLinkView::OnTransferEnded);
  });
}

CLinkView::~CLinkView() {
  heartbeat_.Stop();
  doc_.crawl().SetTransferEndNotifier(nullptr);
  {
    // A transfer that copied the notifier before it was cleared finds no view.
    std::lock_guard lock(fast_wake_->mutex);
    fast_wake_->view = nullptr;
  }
  doc_.SetDownloadView(nullptr);
}

void CLinkView::StartHeartbeat() {
  heartbeat_.Start(static_cast<int>(doc_.crawl().tick_period().count()));
}

void CLinkView::StopHeartbeat() { heartbeat_.Stop(); }

void CLinkView::OnTick() {
  doc_.crawl().CrawlTick();
  if (after_step) after_step();
}

void CLinkView::OnTransferEnded() {
  {
    std::lock_guard lock(fast_wake_->mutex);
    fast_wake_->queued = false;
  }
  if (doc_.settings.fast_mode == 0) return;
  doc_.crawl().CollectAndStart();
  if (after_step) after_step();
}

void CLinkView::SaveColumnWidths() {
  std::vector<int> widths;
  for (int i = 0; i < GetColumnCount(); ++i) widths.push_back(GetColumnWidth(i));
  (void)ui::SaveColumnWidths(doc_.profile, DownloadListColumns(), widths);
}

int CLinkView::AppendRow(const std::string& url) {
  int before = model_.RowCount();
  int row = model_.AppendRow(url);
  if (model_.RowCount() != before) SetItemCount(model_.RowCount());
  return row;
}

void CLinkView::UpdateProgress(int row, std::int64_t received, std::int64_t total, int elapsed,
                               const std::string& comment, int retry_count) {
  int writes = model_.cell_writes();
  model_.UpdateProgress(row, received, total, elapsed, comment, retry_count);
  // Idle cells cause no repaint.
  if (model_.cell_writes() != writes) RefreshItem(row);
}

void CLinkView::SetImage(int image, int row) {
  if (row < 0 || row >= model_.RowCount() || model_.rows()[row].image == image) return;
  model_.SetImage(image, row);
  RefreshItem(row);
}

std::vector<int> CLinkView::SelectedRows(int maximum) const {
  std::vector<int> rows;
  long item = -1;
  while (static_cast<int>(rows.size()) < maximum &&
         (item = GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) != -1) {
    rows.push_back(static_cast<int>(item));
  }
  return rows;
}

void CLinkView::DeleteRow(int row) {
  if (row < 0 || row >= model_.RowCount()) return;
  model_.DeleteRow(row);
  DeleteItem(row);
}

void CLinkView::ResetRow(const std::string& url, int row) {
  if (row < 0 || row >= model_.RowCount()) return;
  model_.ResetRow(url, row);
  RefreshItem(row);
}

void CLinkView::SwapRows(int a, int b) {
  if (a < 0 || b < 0 || a >= model_.RowCount() || b >= model_.RowCount()) return;
  model_.SwapRows(a, b);
  RefreshItem(a);
  RefreshItem(b);
}

void CLinkView::ScrollToTop(int row) {
  if (row < 0 || row >= model_.RowCount()) return;
  EnsureVisible(row);
  wxRect rect;
  const int line_height = GetItemRect(row, rect) ? rect.height : 17;
  ScrollList(0, (row - static_cast<int>(GetTopItem())) * line_height);
}

wxString CLinkView::OnGetItemText(long item, long column) const {
  if (item < 0 || item >= model_.RowCount() || column < 0 || column >= DownloadRowModel::kColumns) {
    return {};
  }
  return wxString::FromUTF8(model_.rows()[item].cells[column]);
}

int CLinkView::OnGetItemImage(long item) const {
  if (item < 0 || item >= model_.RowCount()) return -1;
  return model_.rows()[item].image;
}

}  // namespace marovine::ui
