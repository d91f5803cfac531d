#pragma once

#include <string>

namespace marovine {

// The first start of the program: when the program folder holds no
// "marovine.ini", writes one with the values the option pages show for
// missing keys (the folders under the storage folder). The engine and the
// pages then agree from the beginning, as they do once the user has saved
// the pages. An existing file is never touched. False when a new file could
// not be written.
bool WriteFirstStartSettings(const std::string& ini_path, const std::string& storage_folder);

}  // namespace marovine
