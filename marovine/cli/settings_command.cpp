// `marovine-cli settings`: marovine.ini without a text editor.
#include <cstdio>

#include "marovine/cli/settings_tool.h"
#include "marovine/cli/subcommand.h"

namespace {

int RunSettingsCommand(const std::vector<std::string>& args, const std::string& program_folder) {
  return marovine::cli::RunSettingsTool(args, program_folder, stdout, stderr);
}

const marovine::cli::SubcommandRegistrar kSettingsRegistrar({"settings",
                                                             marovine::cli::kSettingsUsage,
                                                             RunSettingsCommand});

}  // namespace
