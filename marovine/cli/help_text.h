#pragma once

#include <string>

namespace marovine::cli {

// The whole --help text: usage, every option with the key of marovine.ini it
// stands for, the commands and the exit statuses.
std::string HelpText();
// The first line of --version.
std::string VersionText();

}  // namespace marovine::cli
