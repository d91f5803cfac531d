// Any bytes as "marovine.ini": reads give a value or the default, and a write
// keeps every other key readable as it was.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/file_io.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = [] {
    char folder[] = "/tmp/profile-fuzz-XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    return std::string(folder) + "/marovine.ini";
  }();
  std::string content(reinterpret_cast<const char*>(data), size);
  if (!platform::WriteFileAtomically(path, content)) std::abort();
  platform::Profile profile(path);
  (void)profile.GetInt("DownLoad", "DouziDL", 3);
  if (profile.GetString("DownLoad", "KakunouFolder", "x").size() > 255) std::abort();
  auto keys = profile.KeysOf("DownLoad");
  std::string before = profile.GetString("Other", "Key", "<none>");
  if (!profile.WriteInt("DownLoad", "DouziDL", 7)) std::abort();
  if (profile.GetInt("DownLoad", "DouziDL", 3) != 7) std::abort();
  if (profile.GetString("Other", "Key", "<none>") != before) std::abort();
  return 0;
}
