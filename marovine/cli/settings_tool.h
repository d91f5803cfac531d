#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace marovine::cli {

inline constexpr const char* kSettingsUsage = "settings [get KEY | set KEY VALUE | list]";

// `marovine-cli settings`: reads and changes the program folder's
// marovine.ini through the program's own store and key tables. `get` prints
// the value the program uses (the file's, else the default), `set` checks the
// value against the key's type (and the range its flag has) and rewrites the
// file atomically, `list` prints every known key as SECTION.KEY=VALUE. An
// unknown key is refused with the sections there are. KEY may also be the
// long name of a flag that takes a value ("jobs", "folder"): its keys are
// read, or checked and written, as the flag does for a run. Answers the exit
// status (2 for a usage error, 1 when the file cannot be written).
int RunSettingsTool(const std::vector<std::string>& args, const std::string& program_folder,
                    std::FILE* out, std::FILE* err);

}  // namespace marovine::cli
