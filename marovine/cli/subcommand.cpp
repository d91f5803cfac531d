#include "marovine/cli/subcommand.h"

namespace marovine::cli {

std::vector<Subcommand>& Subcommands() {
  static std::vector<Subcommand> commands;
  return commands;
}

SubcommandRegistrar::SubcommandRegistrar(Subcommand command) {
  Subcommands().push_back(std::move(command));
}

}  // namespace marovine::cli
