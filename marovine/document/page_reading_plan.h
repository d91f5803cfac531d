#pragma once

#include <string>

#include "marovine/engine/page_reading.h"

namespace platform {
class Profile;
}

namespace marovine {

struct DocumentSettings;
struct DownloadItem;
struct LinkItem;

// How the page a transfer fetches will be read, decided when the transfer
// starts, from copies of the item, its link and the settings: the transfer's
// thread runs it when the file is complete, and the result goes back to the
// scheduler with the transfer's end. A mirrored page is also rewritten for
// offline browsing there, into files beside it that the scheduler only
// renames. The scheduler compares what it would ask at collection with what
// was asked here, and reads or rewrites the page itself when they differ (the
// settings or the link changed meanwhile). The rewriting again at a site's
// end, which asks which files arrived, stays with the scheduler.
//
// `transfer_path` is where the transfer writes; `owner` the item's link, or
// nullptr.
PageReader MakePageReader(const DownloadItem& item, const std::string& transfer_path,
                          const LinkItem* owner, const DocumentSettings& settings,
                          const platform::Profile& profile);

// False for a file fetched for its extension (a picture, an archive): such a
// file is almost never a page, so its transfer gets no reader and its start
// costs no plan. When the server answers with a page all the same, the
// scheduler reads it itself.
bool MayBeReadAsPage(const DownloadItem& item, const DocumentSettings& settings);

}  // namespace marovine
