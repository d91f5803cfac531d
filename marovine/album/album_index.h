#pragma once

#include <string>

namespace marovine {

// Adds or replaces a site's entry in the shared album index ("AlbumIndex.html"
// of the storage folder). An entry is two lines, a comment naming the album's
// link and the link itself; a site already listed keeps its place, a new one
// goes just before the end marker. The index is created when missing and
// replaced whole, so a failure leaves the old index as it was. `entry_html` is
// placed as it is. False when the index could not be written.
bool UpdateAlbumIndex(const std::string& index_path, const std::string& entry_html,
                      const std::string& album_path);

inline constexpr const char* kAlbumIndexEndMarker = "This line is the end of index";

}  // namespace marovine
