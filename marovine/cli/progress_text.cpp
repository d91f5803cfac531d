#include "marovine/cli/progress_text.h"

#include <cmath>
#include <cstdio>

#include "marovine/cli/cli_ui.h"

namespace marovine::cli {
namespace {

// How long a transfer's rate looks back.
constexpr std::chrono::seconds kRateWindow{5};

// One UTF-8 character at `i`: its code point and length (a stray byte counts
// as one character of its own).
std::pair<char32_t, std::size_t> DecodeAt(std::string_view text, std::size_t i) {
  auto c = static_cast<unsigned char>(text[i]);
  std::size_t length = c < 0x80         ? 1
                       : (c >> 5) == 6  ? 2
                       : (c >> 4) == 14 ? 3
                       : (c >> 3) == 30 ? 4
                                        : 1;
  if (i + length > text.size()) return {c, 1};
  char32_t code = length == 1 ? c : c & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return {c, 1};
    code = (code << 6) | (next & 0x3F);
  }
  return {code, length};
}

int CodeWidth(char32_t c) {
  if ((c >= 0x300 && c <= 0x36F) || c == 0x200B || (c >= 0xFE00 && c <= 0xFE0F)) return 0;
  if ((c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
      (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
      (c >= 0x20000 && c <= 0x3FFFD)) {
    return 2;
  }
  return 1;
}

std::string PadLeft(const std::string& text, int columns) {
  int width = DisplayWidth(text);
  return width >= columns ? text
                          : std::string(static_cast<std::size_t>(columns - width), ' ') + text;
}

}  // namespace

std::string HumanBytes(std::int64_t bytes) {
  if (bytes < 0) bytes = 0;
  if (bytes < 1024) return std::to_string(bytes) + " B";
  static constexpr const char* kUnits[] = {"KB", "MB", "GB", "TB", "PB"};
  double value = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(kUnits)) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  // Three significant figures: "1.5 KB", "12.3 MB", "512 KB".
  if (value < 99.95) {
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  } else {
    std::snprintf(text, sizeof text, "%.0f %s", value, kUnits[unit]);
  }
  return text;
}

std::string HumanRate(double bytes_per_second) {
  if (!(bytes_per_second > 0)) return "0 B/s";
  return HumanBytes(std::llround(bytes_per_second)) + "/s";
}

std::string ClockText(std::int64_t seconds) {
  if (seconds < 0) seconds = 0;
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  }
  return text;
}

int DisplayWidth(std::string_view text) {
  int width = 0;
  for (std::size_t i = 0; i < text.size();) {
    auto [code, length] = DecodeAt(text, i);
    width += CodeWidth(code);
    i += length;
  }
  return width;
}

std::string FitColumns(std::string_view text, int columns, bool pad) {
  std::string out;
  int width = 0;
  for (std::size_t i = 0; i < text.size();) {
    auto [code, length] = DecodeAt(text, i);
    int w = CodeWidth(code);
    if (width + w > columns) break;
    out.append(text.substr(i, length));
    width += w;
    i += length;
  }
  if (pad && width < columns) out.append(static_cast<std::size_t>(columns - width), ' ');
  return out;
}

std::string FormatTransferLine(const TransferLine& line, int width) {
  std::string size = HumanBytes(line.received);
  std::string percent = "   ";
  if (line.total > 0) {
    size += "/" + HumanBytes(line.total);
    std::int64_t p = line.received >= line.total ? 100 : line.received * 100 / line.total;
    percent = std::to_string(p) + "%";
  }
  // The name takes what the fixed columns leave, but never less than a few.
  constexpr int kFixed = 1 + 19 + 1 + 4 + 1 + 11 + 1 + 7;
  int name_columns = std::max(8, std::min(40, width - 1 - kFixed - 12));
  std::string text = FitColumns(Printable(line.name), name_columns, true) + " " +
                     PadLeft(size, 19) + " " + PadLeft(percent, 4) + " " +
                     PadLeft(HumanRate(line.rate), 11) + " " + PadLeft(ClockText(line.elapsed), 7);
  if (line.retries > 0) text += " r" + std::to_string(line.retries);
  if (!line.comment.empty()) text += "  " + Printable(line.comment);
  return FitColumns(text, width - 1);
}

std::string FormatOverallLine(const OverallLine& line, int width) {
  double rate =
      line.elapsed > 0 ? static_cast<double>(line.bytes) / static_cast<double>(line.elapsed) : 0.0;
  std::string text = "[" + std::to_string(line.ended) + "/" + std::to_string(line.found) +
                     " files] " + HumanBytes(line.bytes) + "  " + HumanRate(rate) + "  " +
                     ClockText(line.elapsed);
  if (!line.status.empty()) text += "  " + Printable(line.status);
  return FitColumns(text, width - 1);
}

void RateMeter::Add(std::int64_t received, Clock::time_point at) {
  // A restart (resume refused, redirect) begins a new count.
  if (!samples_.empty() && received < samples_.back().second) samples_.clear();
  samples_.emplace_back(at, received);
  while (samples_.size() > 2 && at - samples_[1].first >= kRateWindow) samples_.pop_front();
}

double RateMeter::BytesPerSecond() const {
  if (samples_.size() < 2) return 0;
  auto span = std::chrono::duration<double>(samples_.back().first - samples_.front().first).count();
  if (span <= 0) return 0;
  return static_cast<double>(samples_.back().second - samples_.front().second) / span;
}

std::string LiveBlock::MoveToTop() {
  std::string out;
  if (shown_ > 0) out = "\x1b[" + std::to_string(shown_) + "A";
  out += '\r';
  return out;
}

std::string LiveBlock::Render(const std::vector<std::string>& scrolled,
                              const std::vector<std::string>& live) {
  std::string out = MoveToTop();
  // Scrolling lines keep their whole text: they wrap like any output would.
  // Each line also erases what is left of its last row, in case it wrapped.
  for (const std::string& line : scrolled) out += "\x1b[2K" + Printable(line) + "\x1b[K\n";
  for (const std::string& line : live) {
    out += "\x1b[2K" + FitColumns(Printable(line), width_ - 1) + "\n";
  }
  const int drawn = static_cast<int>(scrolled.size() + live.size());
  if (drawn < shown_) out += "\x1b[J";
  shown_ = static_cast<int>(live.size());
  return out;
}

std::string LiveBlock::Clear() {
  if (shown_ == 0) return {};
  std::string out = MoveToTop() + "\x1b[J";
  shown_ = 0;
  return out;
}

}  // namespace marovine::cli
