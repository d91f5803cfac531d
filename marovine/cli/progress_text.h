#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace marovine::cli {

// Sizes and rates as people read them: "512 B", "1.5 KB", "3.6 MB", "1.2 GB"
// (units of 1024), rates with "/s".
std::string HumanBytes(std::int64_t bytes);
std::string HumanRate(double bytes_per_second);
// Elapsed time as "0:05", "12:34" or "1:02:03".
std::string ClockText(std::int64_t seconds);

// The columns a text takes on a terminal: wide (CJK) characters two, marks
// none, everything else one.
int DisplayWidth(std::string_view text);
// The text cut to at most `columns` columns without splitting a character,
// or padded with blanks to exactly that many when `pad` is set.
std::string FitColumns(std::string_view text, int columns, bool pad = false);

// One running transfer as its line shows it.
struct TransferLine {
  std::string name;
  std::int64_t received = 0;
  std::int64_t total = 0;  // 0: the server did not say
  double rate = 0;         // bytes per second, recent
  std::int64_t elapsed = 0;
  int retries = 0;
  std::string comment;
};
// Name, received / total, percent, rate, elapsed, retries, comment, within
// `width` columns.
std::string FormatTransferLine(const TransferLine& line, int width);

// The whole run so far.
struct OverallLine {
  int ended = 0;  // items that reached their end (fetched, skipped or failed)
  int found = 0;  // items listed for download in this run
  std::int64_t bytes = 0;
  std::int64_t elapsed = 0;
  std::string status;  // the crawl's own status texts
};
std::string FormatOverallLine(const OverallLine& line, int width);

// The rate of one transfer over the last few seconds of samples, so that a
// stall shows as a falling rate rather than a long average.
class RateMeter {
 public:
  using Clock = std::chrono::steady_clock;
  void Add(std::int64_t received, Clock::time_point at);
  double BytesPerSecond() const;

 private:
  std::deque<std::pair<Clock::time_point, std::int64_t>> samples_;
};

// The block of live lines under the scrolling output of a terminal. Each
// render moves up to the block's first line, prints the new scrolling lines
// there (they stay above) and redraws the live lines in place, erasing what
// is left of the old block. Every line is made printable and cut to the
// width, so a line never wraps and the block's height is its line count.
class LiveBlock {
 public:
  explicit LiveBlock(int width) : width_(width) {}
  std::string Render(const std::vector<std::string>& scrolled,
                     const std::vector<std::string>& live);
  // Erases the block (before the last lines of a run).
  std::string Clear();
  int width() const { return width_; }
  // A terminal that was resized: the next render cuts its lines to the new
  // width.
  void set_width(int width) { width_ = width; }

 private:
  std::string MoveToTop();

  int width_;
  int shown_ = 0;
};

}  // namespace marovine::cli
