#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace marovine::tarq {

// What the dialog's controls hold while a handler runs; the dialog copies its
// check boxes in before and the status text out after.
struct DropToolState {
  bool delete_after_drop = false;
  bool also_delete = false;
  std::string status;
  std::string search_folder;  // empty, or ends with a separator
  std::string banner_path;    // the main program's "banner.dat"
};

// The main program must lie beside the tool; answers its path there.
std::string MainProgramPath(const std::string& tool_folder);
bool MainProgramIsBeside(const std::string& tool_folder);

// The banner list both programs share, in the program folder they agree on.
std::string BannerListPath(const std::string& program_folder);

// What a handler asks the dialog to show besides the status text.
struct ActionReport {
  std::optional<std::string> message;           // for a message box
  std::optional<std::size_t> used_title_index;  // the title to select
};

// Files dropped onto the window, in the order given. A dropped folder becomes
// the search folder instead and ends the walk.
ActionReport HandleDroppedPaths(DropToolState& state, const std::vector<std::string>& paths);

// Finds the file another application shows through its window title (the
// title table, in enumeration order), records it and perhaps deletes it.
ActionReport DislikeFileShownInTitles(DropToolState& state,
                                      const std::vector<std::string>& title_table);

}  // namespace marovine::tarq
