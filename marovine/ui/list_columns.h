#pragma once

#include <string>
#include <vector>

#include "platform/profile.h"

namespace marovine::ui {

// One column of a list view: its title and the key of its width in the
// "Size" section of marovine.ini.
struct ListColumn {
  const char* title;
  const char* width_key;
  int default_width;
};

const std::vector<ListColumn>& LinkListColumns();      // URL, title, file count
const std::vector<ListColumn>& DownloadListColumns();  // the eight download columns

std::vector<int> ReadColumnWidths(const platform::Profile& profile,
                                  const std::vector<ListColumn>& columns);

// Writes the widths in one rewrite. A width outside 0..1999 (a column dragged
// far wider than any screen, or a failed query) keeps the width saved before.
bool SaveColumnWidths(platform::Profile& profile, const std::vector<ListColumn>& columns,
                      const std::vector<int>& widths);

}  // namespace marovine::ui
