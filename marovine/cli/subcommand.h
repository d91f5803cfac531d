#pragma once

#include <functional>
#include <string>
#include <vector>

namespace marovine::cli {

// A word after `marovine-cli` that selects another job than the crawl
// (`album`, `seq`, ...). Each lives in its own file and registers itself with a
// static SubcommandRegistrar.
struct Subcommand {
  std::string name;
  std::string usage;  // one line for --help
  // Gets the arguments after the word (--home already taken out) and the
  // program folder; answers the exit status.
  std::function<int(const std::vector<std::string>& args, const std::string& program_folder)> run;
};

std::vector<Subcommand>& Subcommands();

struct SubcommandRegistrar {
  explicit SubcommandRegistrar(Subcommand command);
};

}  // namespace marovine::cli
