#pragma once

#include <string>

#include "marovine/cli/crawl_options.h"

namespace marovine::cli {

// The main job of marovine-cli: opens the document, registers the URLs, crawls
// until the crawl has finished, shows progress and saves the document.
// Answers the exit status: 0 when the crawl finished, 130 after Ctrl-C (the
// transfers are stopped, partial files kept, the document saved), 2 for
// unusable arguments or files, 1 when the document could not be saved.
int RunCrawl(const CrawlOptions& options, const std::string& program_folder);

}  // namespace marovine::cli
