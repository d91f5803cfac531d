// The document file as anything a disk may hold: loading never crashes, and
// what was loaded, stored and loaded again stores to the same bytes (no
// field drifts between saves, URLs least of all).

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "marovine/document/document_file.h"
#include "marovine/document/marovine_doc.h"

namespace {

marovine::CMarovineDoc& Doc() {
  static marovine::CMarovineDoc* doc = [] {
    char folder[] = "/tmp/document-fuzz-XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    return new marovine::CMarovineDoc(std::string(folder) + "/", std::string(folder) + "/store/");
  }();
  return *doc;
}

std::string LoadAndStore(std::string_view bytes) {
  marovine::CMarovineDoc& doc = Doc();
  doc.link_items.clear();
  doc.download_items.clear();
  marovine::LoadDocument(doc, bytes);
  return marovine::StoreDocument(doc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string first = LoadAndStore(std::string_view(reinterpret_cast<const char*>(data), size));
  std::string second = LoadAndStore(first);
  if (second != first) std::abort();
  return 0;
}
