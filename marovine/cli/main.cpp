#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "marovine/cli/crawl_command.h"
#include "marovine/cli/crawl_options.h"
#include "marovine/cli/help_text.h"
#include "marovine/cli/subcommand.h"
#include "marovine/document/first_start_settings.h"
#include "platform/path.h"
#include "platform/program_folder.h"
#include "platform/program_folder_lock.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::optional<std::string> home;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      std::fputs(marovine::cli::HelpText().c_str(), stdout);
      return 0;
    }
    if (args[i] == "--version") {
      std::fputs(marovine::cli::VersionText().c_str(), stdout);
      return 0;
    }
    if (args[i] == "--home") {
      if (i + 1 >= args.size()) {
        std::fputs("marovine-cli: --home needs a folder\n", stderr);
        return 2;
      }
      home = args[++i];
      continue;
    }
    rest.push_back(args[i]);
  }
  // A crawl's arguments are checked before the program folder is touched.
  const marovine::cli::Subcommand* subcommand = nullptr;
  for (const auto& command : marovine::cli::Subcommands()) {
    if (!rest.empty() && command.name == rest.front()) subcommand = &command;
  }
  std::optional<marovine::cli::CrawlOptions> options;
  if (subcommand == nullptr) {
    std::string error;
    options = marovine::cli::ParseCrawlArguments(rest, error);
    if (!options) {
      std::fprintf(stderr, "marovine-cli: %s (see --help)\n", error.c_str());
      return 2;
    }
  }

  std::string program_folder = platform::ResolveProgramFolder(home);
  // Held until the process ends. A folder that cannot hold the lock cannot
  // hold anything else either: the command itself says so.
  platform::ProgramFolderLock lock(program_folder);
  if (lock.state() == platform::ProgramFolderLock::State::kInUse) {
    std::fprintf(stderr, "marovine-cli: %s\n", lock.InUseMessage().c_str());
    return 2;
  }
  if (lock.state() == platform::ProgramFolderLock::State::kHeld) {
    marovine::WriteFirstStartSettings(platform::JoinPath(program_folder, "marovine.ini"),
                                      platform::DefaultStorageFolder());
  }

  if (subcommand != nullptr) {
    return subcommand->run(std::vector<std::string>(rest.begin() + 1, rest.end()), program_folder);
  }
  return marovine::cli::RunCrawl(*options, program_folder);
}
