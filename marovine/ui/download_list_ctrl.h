#pragma once

#include <wx/listctrl.h>
#include <wx/timer.h>

#include <functional>
#include <memory>

#include "marovine/document/download_row_model.h"
#include "platform/profile.h"

namespace marovine {
class CMarovineDoc;
}

namespace marovine::ui {

// The download list (middle column): a virtual report list over the rows the
// document drives by direct calls, and the program's heartbeat: its timer runs
// the crawl tick once a tick period. In fast mode a transfer that ends wakes
// the collection step through the event loop; the transfer's thread never
// touches the document or a window.
class CLinkView : public wxListCtrl, public DownloadListView {
 public:
  CLinkView(wxWindow* parent, CMarovineDoc& doc);
  ~CLinkView() override;

  int RowCount() const override { return model_.RowCount(); }
  int AppendRow(const std::string& url) override;
  void UpdateProgress(int row, std::int64_t received, std::int64_t total, int elapsed,
                      const std::string& comment, int retry_count) override;
  void SetImage(int image, int row) override;
  std::vector<int> SelectedRows(int maximum) const override;
  void DeleteRow(int row) override;
  void ResetRow(const std::string& url, int row) override;
  void SwapRows(int a, int b) override;
  void ScrollToTop(int row) override;

  // Starts the heartbeat (once the document is filled and shown).
  void StartHeartbeat();
  void StopHeartbeat();
  void SaveColumnWidths();

  const DownloadRowModel& model() const { return model_; }

  std::function<void()> on_double_click;
  std::function<void(wxPoint screen_position)> on_context_menu;
  std::function<void()> on_selection_changed;
  // After every tick and every fast-mode collection (status and tray follow).
  std::function<void()> after_step;

 protected:
  wxString OnGetItemText(long item, long column) const override;
  int OnGetItemImage(long item) const override;

 private:
  struct FastWake;
  void OnTick();
  void OnTransferEnded();

  CMarovineDoc& doc_;
  DownloadRowModel model_;
  wxTimer heartbeat_;
  std::shared_ptr<FastWake> fast_wake_;
};

}  // namespace marovine::ui
