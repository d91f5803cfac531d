#include "marovine/ui/about_lines.h"

#include <cstdio>

#include "marovine/document/settings_keys.h"
#include "marovine/document/shell_commands.h"

namespace marovine::ui {

std::vector<std::string> AboutLines(const platform::Profile& profile) {
  DownloadTotals totals = ReadDownloadTotals(profile);
  char files[80];
  char kilobytes[80];
  std::snprintf(files, sizeof files, "Total DownLoad Files : %lld files",
                static_cast<long long>(totals.files));
  // The totals are 64-bit: shifting the whole count keeps every terabyte.
  std::snprintf(kilobytes, sizeof kilobytes, "Total DownLoad Bytes : %lld kb",
                static_cast<long long>(totals.bytes >> 10));
  return {"Marovine Version 3.7.2", "", kHomePageUrl, "marovine@example.org", "", files, kilobytes};
}

}  // namespace marovine::ui
