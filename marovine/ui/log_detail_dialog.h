#pragma once

#include <string>
#include <vector>

class wxWindow;

namespace marovine {

// One switch of the download log's details.
struct LogDetailOption {
  std::string caption;
  bool on = false;
};

// "ログ詳細": the switches of what the download log records and checks.
// OK copies the boxes back into `options` (true); Cancel leaves them.
bool EditLogDetail(wxWindow* parent, std::vector<LogDetailOption>& options);

}  // namespace marovine
