#pragma once

#include <vector>

namespace marovine {

class AlbumProgress;
class CMarovineDoc;

// "アルバムの作成": one album per selected link from its detail log, from the
// last selected to the first; nothing selected is said through the progress.
void MakeAlbumsOfSelectedLinks(CMarovineDoc& doc, const std::vector<int>& link_rows,
                               AlbumProgress& progress);

}  // namespace marovine
