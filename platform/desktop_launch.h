#pragma once

#include <string>

namespace platform {

// Opens a file, a folder or a web address with the desktop's program for it
// (xdg-open, started without a shell). A local path that does not exist is
// not handed on. False when nothing could be started; what the started
// program does afterwards is not waited for.
bool OpenWithDesktop(const std::string& target);

// Starts an executable file with no arguments, detached from us. False when
// it is missing, not executable or could not be started.
bool StartDetachedProgram(const std::string& path);

}  // namespace platform
