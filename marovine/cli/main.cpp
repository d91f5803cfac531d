#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "marovine/cli/subcommand.h"
#include "platform/program_folder.h"

namespace {

constexpr const char* kUsage =
    "usage: marovine-cli [--home DIR] [--doc FILE] [--whole-site] [--tick-ms N] [--fast] [URL "
    "...]\n"
    "       marovine-cli [--home DIR] COMMAND [ARGS ...]\n"
    "\n"
    "Downloads the files of the given sites headless, with the settings of the\n"
    "program folder (--home DIR, else $MAROVINE_HOME, else the folder of the\n"
    "executable when a marovine.ini lies beside it, else ~/.config/marovine/).\n";

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

  if (!rest.empty()) {
    for (const auto& command : marovine::cli::Subcommands()) {
      if (command.name == rest.front()) {
        return command.run(std::vector<std::string>(rest.begin() + 1, rest.end()), program_folder);
      }
    }
  }
  std::fputs("marovine-cli: the crawl is not built yet; see --help\n", stderr);
  return 2;
}
