#pragma once

#include <string_view>

#include "plov/core/install_host.h"

namespace plov {

// Runs the role the command line chooses; answers the exit code.
int RunPlov(InstallHost& host, std::string_view command_line);

}  // namespace plov
