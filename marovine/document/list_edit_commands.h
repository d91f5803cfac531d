#pragma once

#include <vector>

namespace marovine {

class CMarovineDoc;
class UiServices;

// The commands that edit the two lists: delete, mark and move. Rows are the
// selected rows of a view from the top, as the views answer them. Every
// command leaves alone an item being worked on (a link being searched, a
// download whose transfer runs), and walks the rows from the last selected
// to the first so that removing rows keeps the earlier indices valid.

// The selected links, as the link view answers a selection query (at most
// 500), and the selected downloads (at most `maximum`).
std::vector<int> SelectedLinkRows(CMarovineDoc& doc);
std::vector<int> SelectedDownloadRows(CMarovineDoc& doc, int maximum);
// The most selected downloads the main menu's commands take; the context
// menu's take them all.
inline constexpr int kMainMenuDownloadSelection = 1000;

// "リストから削除" (and the Delete key): the selected links with their logs
// when the settings say so; only when no link is selected, the selected
// downloads.
void DeleteSelectedItems(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& link_rows,
                         const std::vector<int>& download_rows);
// The link list's "削除": logs are kept.
void DeleteSelectedLinks(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& link_rows);
// The download list's "削除".
void DeleteSelectedDownloads(CMarovineDoc& doc, UiServices& ui,
                             const std::vector<int>& download_rows);

// "検索やり直し" / "未終了にする" on links, or else on downloads (which then
// wait again), and "終了済みにする" the same way.
void SearchAgainSelection(CMarovineDoc& doc, const std::vector<int>& link_rows,
                          const std::vector<int>& download_rows);
void MarkFinishedSelection(CMarovineDoc& doc, const std::vector<int>& link_rows,
                           const std::vector<int>& download_rows);
// The download list's "終了済みにする": a running transfer is told to stop
// and its item counts as finished at once.
void MarkDownloadsFinished(CMarovineDoc& doc, const std::vector<int>& download_rows);

// Moving one link up or down. Repeated presses keep moving the same item
// without a new click: the row it moved to is remembered, and the selection
// is asked again only after the link list was clicked.
class LinkMover {
 public:
  // The link view calls this on every click in it.
  void LinkListClicked() { clicked_ = true; }
  // False when nothing moved (no single row, or already at that end).
  bool MoveUp(CMarovineDoc& doc) { return Move(doc, -1); }
  bool MoveDown(CMarovineDoc& doc) { return Move(doc, +1); }

 private:
  bool Move(CMarovineDoc& doc, int step);

  bool clicked_ = false;
  int remembered_row_ = -1;
};

}  // namespace marovine
