// "log2.dat" as anything a disk may hold: look-ups and updates never crash,
// and an update never loses a line the file had.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "marovine/engine/download_log.h"
#include "marovine/engine/log2_index.h"
#include "platform/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = [] {
    char folder[] = "/tmp/log2-fuzz-XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    return std::string(folder) + "/log2.dat";
  }();
  std::string content(reinterpret_cast<const char*>(data), size);
  // Keys and names are cut from the input itself, so they do occur in it.
  // Real keys are referers (or "NoRefer"): never empty, never holding a line end.
  auto one_line = [](std::string text) {
    for (char& c : text) {
      if (c == '\n' || c == '\r') c = '_';
    }
    return text.empty() ? std::string("k") : text;
  };
  std::string key = one_line(content.substr(0, size % 7));
  // Entry names are URL tails from a folder on: they start with "/".
  std::string name = "/" + one_line(content.substr(size / 2, size % 5 + 1));
  if (!platform::WriteFileAtomically(path, content)) std::abort();

  auto entry = marovine::LookUpLog2(path, key, name);
  if (entry.size < 0) std::abort();
  if (!marovine::RecordLog2(path, key, name, "date", 1234)) std::abort();
  auto after = marovine::LookUpLog2(path, key, name);
  if (!after.found) std::abort();
  auto written = platform::ReadWholeFile(path).value_or("");
  if (written.size() < content.size() / 2) std::abort();
  // The index kept in step with the record reads as one made from the file.
  marovine::Log2Index fresh;
  fresh.Reset(written);
  const auto* again = fresh.Find(key, name);
  if (again == nullptr || again->date != after.date || again->size != after.size) std::abort();
  return 0;
}
