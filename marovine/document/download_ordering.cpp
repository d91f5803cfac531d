#include "marovine/document/download_ordering.h"

#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "marovine/document/download_list_view.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/progress_text.h"
#include "marovine/document/ui_services.h"

namespace marovine {

namespace {

std::string FolderOfUrl(const std::string& url) {
  auto slash = url.rfind('/');
  return slash == std::string::npos ? std::string() : url.substr(0, slash);
}

std::vector<std::string> FoldersOf(const CMarovineDoc& doc) {
  std::vector<std::string> folders;
  folders.reserve(doc.download_items.size());
  for (const auto& item : doc.download_items) folders.push_back(FolderOfUrl(item.url));
  return folders;
}

// The wait cursor and the progress pane for the length of an ordering.
class OrderingProgress {
 public:
  explicit OrderingProgress(UiServices& ui) : ui_(ui) { ui_.SetWaitCursor(true); }
  ~OrderingProgress() {
    ui_.SetStatusText(kProgressPane, "");
    ui_.SetWaitCursor(false);
  }
  OrderingProgress(const OrderingProgress&) = delete;
  OrderingProgress& operator=(const OrderingProgress&) = delete;
  void Show(long long done, long long total) {
    ui_.SetStatusText(kProgressPane, ProgressText(done, total));
  }

 private:
  UiServices& ui_;
};

}  // namespace

void SwapDownloadItems(CMarovineDoc& doc, int a, int b) {
  const int n = static_cast<int>(doc.download_items.size());
  if (a == b || a < 0 || b < 0 || a >= n || b >= n) return;
  std::swap(doc.download_items[a], doc.download_items[b]);
  doc.crawl().DownloadItemsSwapped(a, b);
  DownloadListView* view = doc.download_view();
  if (view == nullptr || a >= view->RowCount() || b >= view->RowCount()) return;
  view->SwapRows(a, b);
  view->SetImage(DownloadImageForState(doc.download_items[a].state), a);
  view->SetImage(DownloadImageForState(doc.download_items[b].state), b);
}

void OrderDownloadsByFolder(CMarovineDoc& doc, UiServices& ui) {
  OrderingProgress progress(ui);
  std::vector<std::string> folders = FoldersOf(doc);
  const int n = static_cast<int>(folders.size());
  // The new order: folders by first appearance, items within a folder as
  // they were.
  std::unordered_map<std::string, int> group_of;
  std::vector<std::vector<int>> groups;
  for (int i = 0; i < n; ++i) {
    auto [it, added] = group_of.try_emplace(folders[i], static_cast<int>(groups.size()));
    if (added) groups.emplace_back();
    groups[it->second].push_back(i);
  }
  std::vector<int> order;
  order.reserve(n);
  for (const auto& group : groups) order.insert(order.end(), group.begin(), group.end());

  // Bring the items to their places one by one; at[p] is the original item
  // now at position p, where[i] the position of original item i.
  std::vector<int> at(n);
  std::vector<int> where(n);
  for (int i = 0; i < n; ++i) at[i] = where[i] = i;
  for (int k = 0; k < n; ++k) {
    int from = where[order[k]];
    if (from != k) {
      SwapDownloadItems(doc, k, from);
      std::swap(at[k], at[from]);
      where[at[k]] = k;
      where[at[from]] = from;
    }
    progress.Show(k + 1, n + 1);
  }
}

void ShuffleDownloads(CMarovineDoc& doc, UiServices& ui, const std::function<int()>& random15) {
  const long long n = static_cast<long long>(doc.download_items.size());
  if (n == 0) return;
  OrderingProgress progress(ui);
  std::minstd_rand engine(std::random_device{}());
  auto draw = [&]() -> long long {
    long long r = random15 ? random15() : static_cast<long long>(engine() % 32768);
    return n * r * 2 / 65535;
  };
  for (long long k = 1; k <= n; ++k) {
    long long c = draw();
    long long d = draw();
    SwapDownloadItems(doc, static_cast<int>(c), static_cast<int>(d));
    progress.Show(k, n);
  }
}

void SpreadDownloadsOverFolders(CMarovineDoc& doc, UiServices& ui) {
  OrderingProgress progress(ui);
  std::vector<std::string> folders = FoldersOf(doc);
  const int n = static_cast<int>(folders.size());
  // Membership is a substring test on the folders seen so far, one after
  // the other: a folder that is part of a longer one seen counts as seen.
  std::string seen;
  for (int b = 0; b < n; ++b) {
    if (seen.find(folders[b]) == std::string::npos) {
      seen += folders[b];
    } else {
      int j = b;
      while (j < n && seen.find(folders[j]) != std::string::npos) ++j;
      if (j < n) {
        seen += folders[j];
        SwapDownloadItems(doc, b, j);
        std::swap(folders[b], folders[j]);
      } else {
        seen.clear();
      }
    }
    progress.Show(b + 1, n);
  }
}

}  // namespace marovine
