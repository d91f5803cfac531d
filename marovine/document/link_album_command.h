#pragma once

#include <vector>

#include "marovine/album/album_run.h"

namespace marovine {

class AlbumProgress;
class CMarovineDoc;

// "アルバムの作成": one album per selected link from its detail log, from the
// last selected to the first; nothing selected, and an album that could not
// be written, is said through the progress.
AlbumRunResult MakeAlbumsOfSelectedLinks(CMarovineDoc& doc, const std::vector<int>& link_rows,
                                         AlbumProgress& progress);

}  // namespace marovine
