#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace marovine {

class CMarovineDoc;

// The document file (".mrv"): the link list and the download list, written as
// the magic "marovine", the version, the link records, "next", the download
// records and "end". Files of every older version and the unversioned layout
// are read too.
inline constexpr std::int32_t kDocumentVersion = 370;
inline constexpr const char* kDocumentFileFilter = "まろびねファイル(*.mrv)|*.mrv||";

// The bytes of the document. A running download is stored as waiting again.
std::string StoreDocument(const CMarovineDoc& doc);

// Writes the document to a temporary file beside the path and renames it over
// the old one, so a crash or a full disk never costs the list that was there.
// False (and the old file untouched) when it cannot be written.
bool SaveDocumentFile(const CMarovineDoc& doc, const std::string& path);

struct DocumentLoadResult {
  bool ok = false;
  std::string error;  // why the load ended early; the items read so far stay
  int version = 0;    // 0 for the unversioned layout
  int links_read = 0;
  int downloads_read = 0;
};

// Appends the records of the bytes to the document's lists (the lists are not
// emptied first). With AutoMarovine on, unfinished items start the crawl.
DocumentLoadResult LoadDocument(CMarovineDoc& doc, std::string_view bytes);
DocumentLoadResult LoadDocumentFile(CMarovineDoc& doc, const std::string& path);

}  // namespace marovine
