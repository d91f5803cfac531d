#include "tarq/drop_tool_actions.h"

#include <sys/stat.h>

#include <string_view>

#include "platform/path.h"
#include "tarq/dislike_recording.h"
#include "tarq/drop_tool_texts.h"
#include "tarq/title_search.h"

namespace marovine::tarq {
namespace {

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool HasParentStep(std::string_view name) {
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find(platform::kPathSeparator, start);
    if (end == std::string_view::npos) end = name.size();
    if (name.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

// Where the file a title names lies, or nothing. A relative name is looked up
// in the search folder only: the working directory is an accident of how the
// tool was started, and a title (a web page's, say) must not reach out of the
// search folder with "..", since the file found may be deleted.
std::optional<std::string> LocateTitleFile(const std::string& name,
                                           const std::string& search_folder) {
  if (!name.empty() && name.front() == platform::kPathSeparator) {
    if (IsRegularFile(name)) return name;
    return std::nullopt;
  }
  if (search_folder.empty() || HasParentStep(name)) return std::nullopt;
  std::string in_folder = search_folder + name;
  if (IsRegularFile(in_folder)) return in_folder;
  return std::nullopt;
}

ActionReport ListUnwritable(DropToolState& state) {
  state.status = state.banner_path + texts::kCannotWriteList;
  return ActionReport{state.status, std::nullopt};
}

}  // namespace

std::string MainProgramPath(const std::string& tool_folder) {
  return platform::JoinPath(tool_folder, "marovine");
}

bool MainProgramIsBeside(const std::string& tool_folder) {
  std::string path = MainProgramPath(tool_folder);
  return platform::FileExists(path) && !platform::IsFolder(path);
}

std::string BannerListPath(const std::string& program_folder) {
  return platform::JoinPath(program_folder, "banner.dat");
}

ActionReport HandleDroppedPaths(DropToolState& state, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (platform::IsFolder(path)) {
      state.search_folder = platform::WithTrailingSeparator(path);
      state.status = path + texts::kFolderSet;
      return {};
    }
    // A file we cannot read is still deleted when asked: the user wants it
    // gone either way. But while the list cannot be written we delete nothing,
    // or the file would vanish without the record that keeps it away.
    if (RecordDislikedFile(state.banner_path, path) == RecordOutcome::kListUnwritable) {
      return ListUnwritable(state);
    }
    // The file is recorded as disliked already; one that cannot be deleted
    // stays and is refused on every later fetch.
    if (state.delete_after_drop) (void)platform::RemoveFile(path);
    state.status = path + texts::kDropProcessed;
  }
  return {};
}

ActionReport DislikeFileShownInTitles(DropToolState& state,
                                      const std::vector<std::string>& title_table) {
  auto match = FindFileNameInTitles(title_table);
  if (!match) return ActionReport{texts::kNoFileInTitles, std::nullopt};
  state.status = match->name;
  auto path = LocateTitleFile(match->name, state.search_folder);
  if (!path) {
    return ActionReport{
        state.search_folder.empty() ? texts::kNoSearchFolder : texts::kCannotOpenFile,
        std::nullopt};
  }
  if (RecordDislikedFile(state.banner_path, *path) == RecordOutcome::kListUnwritable) {
    return ListUnwritable(state);
  }
  state.status = match->name + texts::kTitleProcessed;
  if (state.also_delete) {
    state.status += platform::RemoveFile(*path) ? texts::kAlsoDeleted : texts::kCannotDelete;
  }
  return ActionReport{std::nullopt, match->title_index};
}

}  // namespace marovine::tarq
