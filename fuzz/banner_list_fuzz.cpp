// "banner.dat" as anything a disk may hold: reading never crashes, and an
// entry appended by the shared writer is always read back, whatever came
// before it.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "marovine/engine/banner_list.h"
#include "platform/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = [] {
    char folder[] = "/tmp/banner-fuzz-XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    return std::string(folder) + "/banner.dat";
  }();
  std::string content(reinterpret_cast<const char*>(data), size);
  (void)marovine::BannerSizes(content);

  if (!platform::WriteFileAtomically(path, content)) std::abort();
  const std::int64_t appended = 1000000007 + static_cast<std::int64_t>(size);
  if (!marovine::AppendBannerEntry(path, appended, -1)) std::abort();
  if (!marovine::IsBannerSize(path, appended)) std::abort();
  return 0;
}
