#pragma once

#include <optional>
#include <string>
#include <vector>

#include "marovine/cli/setting_flags.h"

namespace marovine::cli {

enum class Verbosity { kQuiet, kNormal, kVerbose };

// A settings flag as given: the flag and its stored value.
struct GivenSettingFlag {
  const SettingFlag* flag;
  std::string value;
};

// What the crawl job of marovine-cli was asked to do.
struct CrawlOptions {
  std::optional<std::string> document;       // --doc FILE
  bool whole_site = false;                   // --whole-site: register the URLs as site mirrors
  int tick_ms = 1000;                        // --tick-ms N
  bool fast = false;                         // --fast
  bool retry_failed = false;                 // --retry-failed: failed items wait again
  bool update = false;                       // --update: search every registered site again
  bool insecure = false;                     // --insecure: accept unverifiable certificates
  Verbosity verbosity = Verbosity::kNormal;  // -q, -v
  // Settings for this run, in the order given (a repeated flag keeps its last
  // value); written to marovine.ini only with --save-settings.
  std::vector<GivenSettingFlag> settings;
  bool save_settings = false;
  std::vector<std::string> urls;
};

// Parses the crawl arguments (--home already taken out). Nothing, with the
// reason in one line in `error`, for arguments that make no sense: an unknown
// option, a value out of range, flags that contradict each other.
std::optional<CrawlOptions> ParseCrawlArguments(const std::vector<std::string>& args,
                                                std::string& error);

}  // namespace marovine::cli
