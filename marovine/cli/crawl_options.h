#pragma once

#include <optional>
#include <string>
#include <vector>

namespace marovine::cli {

// What the crawl job of marovine-cli was asked to do.
struct CrawlOptions {
  std::optional<std::string> document;  // --doc FILE
  bool whole_site = false;              // --whole-site: register the URLs as site mirrors
  int tick_ms = 1000;                   // --tick-ms N
  bool fast = false;                    // --fast
  bool retry_failed = false;            // --retry-failed: failed items wait again
  bool update = false;                  // --update: search every registered site again
  bool insecure = false;                // --insecure: accept unverifiable certificates
  std::vector<std::string> urls;
};

// Parses the crawl arguments (--home already taken out). Nothing, with the
// reason in `error`, for arguments that make no sense.
std::optional<CrawlOptions> ParseCrawlArguments(const std::vector<std::string>& args,
                                                std::string& error);

}  // namespace marovine::cli
