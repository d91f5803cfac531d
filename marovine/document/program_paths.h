#pragma once

#include <string>

namespace marovine {

// The files the document keeps in the program folder.
struct ProgramPaths {
  std::string folder;                 // with a trailing separator
  std::string settings_path;          // "marovine.ini"
  std::string banner_list_path;       // "banner.dat"
  std::string default_document_path;  // "default.mrv"
  std::string log_folder;             // "Log/", the per-site logs
};

// The paths under a program folder (platform::ResolveProgramFolder gives it).
ProgramPaths ProgramPathsFor(const std::string& program_folder);

// Creates the log folder with its missing parents; true when it exists then.
bool CreateLogFolder(const ProgramPaths& paths);

}  // namespace marovine
