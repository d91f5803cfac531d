#include "marovine/cli/crawl_options.h"

#include <charconv>

namespace marovine::cli {
namespace {

struct Switch {
  const char* name;
  bool CrawlOptions::*field;
};

constexpr Switch kSwitches[] = {
    {"--whole-site", &CrawlOptions::whole_site},
    {"--fast", &CrawlOptions::fast},
    {"--retry-failed", &CrawlOptions::retry_failed},
    {"--update", &CrawlOptions::update},
    {"--insecure", &CrawlOptions::insecure},
    {"--save-settings", &CrawlOptions::save_settings},
};

// Records a settings flag; a flag of the same group given before with another
// meaning is a contradiction, the same flag again replaces its value.
bool AddSetting(CrawlOptions& options, const SettingFlag& flag, std::string value,
                std::string& error) {
  for (GivenSettingFlag& given : options.settings) {
    if (given.flag == &flag) {
      given.value = std::move(value);
      return true;
    }
    if (flag.group != nullptr && given.flag->group != nullptr &&
        std::string_view(flag.group) == given.flag->group) {
      error = FlagTitle(*given.flag) + " and " + FlagTitle(flag) + " contradict each other";
      return false;
    }
  }
  options.settings.push_back({&flag, std::move(value)});
  return true;
}

}  // namespace

std::optional<CrawlOptions> ParseCrawlArguments(const std::vector<std::string>& args,
                                                std::string& error) {
  CrawlOptions options;
  bool quiet = false, verbose = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // "--name=value" and "-Xvalue" carry their value; otherwise it follows.
    std::string name = arg;
    std::optional<std::string> attached;
    if (arg.starts_with("--")) {
      if (auto eq = arg.find('='); eq != std::string::npos) {
        name = arg.substr(0, eq);
        attached = arg.substr(eq + 1);
      }
    } else if (arg.size() > 2 && arg[0] == '-' && FindSettingFlag(arg.substr(0, 2))) {
      name = arg.substr(0, 2);
      attached = arg.substr(2);
    }
    auto value = [&](const char* what) -> std::optional<std::string> {
      if (attached) return attached;
      if (i + 1 >= args.size()) {
        error = name + " needs " + what;
        return std::nullopt;
      }
      return args[++i];
    };

    if (const SettingFlag* flag = FindSettingFlag(name)) {
      std::string text;
      if (flag->value != FlagValue::kNone) {
        auto given = value(flag->value_name);
        if (!given) return std::nullopt;
        text = *given;
      } else if (attached) {
        error = FlagTitle(*flag) + " takes no value";
        return std::nullopt;
      }
      auto stored = NormaliseFlagValue(*flag, text, error);
      if (!stored || !AddSetting(options, *flag, *stored, error)) return std::nullopt;
      continue;
    }
    bool matched = false;
    for (const Switch& s : kSwitches) {
      if (name != s.name) continue;
      if (attached) {
        error = name + " takes no value";
        return std::nullopt;
      }
      options.*s.field = true;
      matched = true;
    }
    if (matched) continue;
    if (name == "-q" || name == "--quiet") {
      quiet = true;
    } else if (name == "-v" || name == "--verbose") {
      verbose = true;
    } else if (name == "--doc") {
      auto file = value("a document file");
      if (!file) return std::nullopt;
      options.document = *file;
    } else if (name == "--tick-ms") {
      auto text = value("a number of milliseconds");
      if (!text) return std::nullopt;
      int ms = 0;
      auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), ms);
      if (ec != std::errc() || end != text->data() + text->size() || ms < 1 || ms > 60000) {
        error =
            "--tick-ms takes a whole number of milliseconds from 1 to 60000, not \"" + *text + "\"";
        return std::nullopt;
      }
      options.tick_ms = ms;
    } else if (arg.starts_with("-") && arg != "-") {
      error = "unknown option " + name;
      return std::nullopt;
    } else {
      options.urls.push_back(arg);
    }
  }
  if (quiet && verbose) {
    error = "-q/--quiet and -v/--verbose contradict each other";
    return std::nullopt;
  }
  options.verbosity = quiet     ? Verbosity::kQuiet
                      : verbose ? Verbosity::kVerbose
                                : Verbosity::kNormal;
  if (options.whole_site) {
    for (const GivenSettingFlag& given : options.settings) {
      if (std::string_view(given.flag->name) == "level") {
        error =
            "-l/--level sets the search level of crawled sites; a --whole-site mirror "
            "always searches its own folder";
        return std::nullopt;
      }
    }
  }
  return options;
}

}  // namespace marovine::cli
