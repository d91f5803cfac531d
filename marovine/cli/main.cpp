#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "marovine/cli/crawl_command.h"
#include "marovine/cli/crawl_options.h"
#include "marovine/cli/subcommand.h"
#include "marovine/document/first_start_settings.h"
#include "platform/path.h"
#include "platform/program_folder.h"
#include "platform/program_folder_lock.h"

namespace {

constexpr const char* kUsage =
    "usage: marovine-cli [--home DIR] [--doc FILE] [--whole-site] [--tick-ms N] [--fast] "
    "[--insecure]\n"
    "                    [URL ...]\n"
    "       marovine-cli [--home DIR] COMMAND [ARGS ...]\n"
    "\n"
    "Registers each URL (a site to search, or a file to fetch, by its extension),\n"
    "crawls until every site is done and saves the list, with the settings of the\n"
    "program folder (--home DIR, else $MAROVINE_HOME, else the folder of the\n"
    "executable when a marovine.ini lies beside it, else ~/.config/marovine/).\n"
    "\n"
    "  --doc FILE     the document (.mrv) to open and save; default: the program\n"
    "                 folder's default.mrv when ReadMrvStartUp is on\n"
    "  --whole-site   register the URLs as whole-site mirrors\n"
    "  --tick-ms N    the scheduler's tick in milliseconds (default 1000)\n"
    "  --fast         start the next item as soon as a transfer ends\n"
    "  --retry-failed the items that failed before wait again\n"
    "  --insecure     accept https:// certificates that cannot be verified\n"
    "                 (AcceptUnverifiedCertificate in [DownLoad]); the status\n"
    "                 text of such a transfer says so\n"
    "Exits 1 when an item failed or the document cannot be saved.\n"
    "Ctrl-C stops all transfers, keeps partial files and saves the document.\n";

void PrintHelp() {
  std::fputs(kUsage, stdout);
  if (!marovine::cli::Subcommands().empty()) {
    std::fputs("\ncommands:\n", stdout);
    for (const auto& command : marovine::cli::Subcommands()) {
      std::printf("  %s\n", command.usage.c_str());
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::optional<std::string> home;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      PrintHelp();
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

  if (!rest.empty()) {
    for (const auto& command : marovine::cli::Subcommands()) {
      if (command.name == rest.front()) {
        return command.run(std::vector<std::string>(rest.begin() + 1, rest.end()), program_folder);
      }
    }
  }
  std::string error;
  auto options = marovine::cli::ParseCrawlArguments(rest, error);
  if (!options) {
    std::fprintf(stderr, "marovine-cli: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  return marovine::cli::RunCrawl(*options, program_folder);
}
