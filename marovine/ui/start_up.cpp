#include "marovine/ui/start_up.h"

#include <algorithm>
#include <charconv>

namespace marovine::ui {

StartUpArguments ParseStartUpArguments(const std::vector<std::string>& args) {
  StartUpArguments parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--home" || arg == "--tick-ms") {
      if (i + 1 >= args.size()) {
        parsed.error = arg + " needs a value";
        return parsed;
      }
      const std::string& value = args[++i];
      if (arg == "--home") {
        parsed.home = value;
        continue;
      }
      int ms = 0;
      auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), ms);
      if (ec != std::errc() || end != value.data() + value.size() || ms <= 0) {
        parsed.error = "--tick-ms needs a positive number of milliseconds";
        return parsed;
      }
      parsed.tick_ms = ms;
      continue;
    }
    parsed.rest.push_back(arg);
  }
  return parsed;
}

std::optional<std::string> DocumentToOpenAtStart(const std::vector<std::string>& rest,
                                                 bool read_default_at_start,
                                                 const std::string& default_document,
                                                 bool default_exists) {
  // "end" is a word of its own: a document that merely has it in its name
  // ("weekend.mrv") is still the one opened.
  bool says_end = std::any_of(rest.begin(), rest.end(),
                              [](const std::string& arg) { return arg == "end" || arg == "/end"; });
  if (read_default_at_start && default_exists && (rest.empty() || says_end)) {
    return default_document;
  }
  for (const std::string& arg : rest) {
    if (arg != "end" && arg != "/end") return arg;
  }
  return std::nullopt;
}

std::string FrameCaption(const std::string& document_path) {
  auto slash = document_path.find_last_of('/');
  std::string name = slash == std::string::npos ? document_path : document_path.substr(slash + 1);
  if (name.empty()) name = "default.mrv";
  return name + " - marovine";
}

}  // namespace marovine::ui
