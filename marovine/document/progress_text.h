#pragma once

#include <string>

namespace marovine {

// Long list commands show their progress in status pane 1.
inline constexpr int kProgressPane = 1;

// "N % done.." with N = done × 100 ÷ total (0 for an empty total).
inline std::string ProgressText(long long done, long long total) {
  long long share = total > 0 ? done * 100 / total : 0;
  return std::to_string(share) + " % done..";
}

}  // namespace marovine
