#include "marovine/document/program_paths.h"

#include "platform/path.h"

namespace marovine {

ProgramPaths ProgramPathsFor(const std::string& program_folder) {
  ProgramPaths paths;
  paths.folder = platform::WithTrailingSeparator(program_folder);
  paths.settings_path = paths.folder + "marovine.ini";
  paths.banner_list_path = paths.folder + "banner.dat";
  paths.default_document_path = paths.folder + "default.mrv";
  paths.log_folder = platform::WithTrailingSeparator(paths.folder + "Log");
  return paths;
}

bool CreateLogFolder(const ProgramPaths& paths) { return platform::MakeFolders(paths.log_folder); }

}  // namespace marovine
