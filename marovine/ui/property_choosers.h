#pragma once

#include <optional>
#include <string>

class wxWindow;

namespace marovine {

// The folder chooser of the property pages ("フォルダの選択"): the chosen
// folder with a trailing separator, or nothing when the user cancelled (the
// edit then stays as it was).
std::optional<std::string> ChooseFolder(wxWindow* parent, const std::string& current);

// Picks a wave file for a sound event.
std::optional<std::string> ChooseSoundFile(wxWindow* parent, const std::string& current);

// Opens a file, folder or URL with the desktop's handler (xdg-open, started
// without a shell); false when it could not be started.
bool OpenWithDesktop(const std::string& target);

}  // namespace marovine
