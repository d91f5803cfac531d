#pragma once

#include <vector>

#include "marovine/album/file_view.h"

namespace marovine {

class CMarovineDoc;

// The files FileView asked to fetch again join the download list as new
// waiting items that keep their saved paths, skipping a URL already listed
// when the settings forbid duplicates. Answers how many joined.
int QueueRefetches(CMarovineDoc& doc, const std::vector<RefetchRequest>& requests);

}  // namespace marovine
