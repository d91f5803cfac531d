#include "marovine/cli/crawl_options.h"

#include <charconv>

namespace marovine::cli {

std::optional<CrawlOptions> ParseCrawlArguments(const std::vector<std::string>& args,
                                                std::string& error) {
  CrawlOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](const char* what) -> const std::string* {
      if (i + 1 >= args.size()) {
        error = arg + " needs " + what;
        return nullptr;
      }
      return &args[++i];
    };
    if (arg == "--doc") {
      const std::string* file = value("a document file");
      if (!file) return std::nullopt;
      options.document = *file;
    } else if (arg == "--whole-site") {
      options.whole_site = true;
    } else if (arg == "--fast") {
      options.fast = true;
    } else if (arg == "--retry-failed") {
      options.retry_failed = true;
    } else if (arg == "--update") {
      options.update = true;
    } else if (arg == "--insecure") {
      options.insecure = true;
    } else if (arg == "--tick-ms") {
      const std::string* text = value("a number of milliseconds");
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
      error = "unknown option " + arg;
      return std::nullopt;
    } else {
      options.urls.push_back(arg);
    }
  }
  return options;
}

}  // namespace marovine::cli
