#include "marovine/document/ui_services.h"

#include "platform/desktop_launch.h"

namespace marovine {

bool UiServices::ShellOpen(const std::string& target) { return platform::OpenWithDesktop(target); }

bool UiServices::StartProgram(const std::string& path) {
  return platform::StartDetachedProgram(path);
}

}  // namespace marovine
