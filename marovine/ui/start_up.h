#pragma once

#include <optional>
#include <string>
#include <vector>

namespace marovine::ui {

// The command line of the desktop program:
//   marovine [--home DIR] [--tick-ms N] [FILE.mrv]
struct StartUpArguments {
  std::optional<std::string> home;  // the program folder
  int tick_ms = 1000;               // the crawl's tick, as marovine-cli takes it
  std::vector<std::string> rest;    // the document, or the word "end"
  std::string error;                // non-empty: the line cannot be used
};
StartUpArguments ParseStartUpArguments(const std::vector<std::string>& args);

// The document the program opens at start, or nothing for a new, empty one.
// The program folder's default.mrv is opened when the settings ask for it,
// it exists, and the command line names no document (or holds the word
// "end"); otherwise the named document is opened.
std::optional<std::string> DocumentToOpenAtStart(const std::vector<std::string>& rest,
                                                 bool read_default_at_start,
                                                 const std::string& default_document,
                                                 bool default_exists);

// The window caption for a document path: "default.mrv - marovine".
std::string FrameCaption(const std::string& document_path);

}  // namespace marovine::ui
