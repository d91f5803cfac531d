#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marovine {

// Row images of the download list view.
enum DownloadImage : int {
  IMAGE_WAITING = 0,
  IMAGE_RUNNING = 1,
  IMAGE_DONE = 2,
  IMAGE_SIZE_REMOVED = 3,
  IMAGE_PAGE = 4,
  IMAGE_ERROR = 5,
  IMAGE_RETRY_WAIT = 6,
  IMAGE_STOPPED = 7,
};

// The image a loaded item shows for its state.
int DownloadImageForState(int state);

inline constexpr int kMaxDownloadRows = 10000;

// The download list view, driven by direct calls of the document. Row n always
// stands for download item n.
class DownloadListView {
 public:
  virtual ~DownloadListView() = default;
  virtual int RowCount() const = 0;
  // Adds a row for the URL and answers its index; a full view adds nothing
  // and answers kMaxDownloadRows - 1.
  virtual int AppendRow(const std::string& url) = 0;
  virtual void UpdateProgress(int row, std::int64_t received, std::int64_t total, int elapsed,
                              const std::string& comment, int retry_count) = 0;
  virtual void SetImage(int image, int row) = 0;
  // The selected rows from the top, at most maximum of them.
  virtual std::vector<int> SelectedRows(int maximum) const = 0;
  virtual void DeleteRow(int row) = 0;
  // Clears the row's texts and shows the URL afresh; the image stays.
  virtual void ResetRow(const std::string& url, int row) = 0;
  // Exchanges the texts of two rows; the images stay where they were.
  virtual void SwapRows(int a, int b) = 0;
  // Scrolls so that the row is visible at the top (a search found it).
  virtual void ScrollToTop(int /*row*/) {}
};

}  // namespace marovine
