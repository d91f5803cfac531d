#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plov::xdg {

// A value of a desktop entry: backslash, line breaks and tabs escaped.
std::string EscapeEntryValue(std::string_view text);

// One argument of an Exec line, quoted when it holds a reserved character
// and with "%" doubled so it is never taken for a field code. The result is
// still to be escaped as an entry value.
std::string QuoteExecArgument(std::string_view argument);

// An Exec line: each argument quoted, the whole escaped as a value.
std::string ExecLine(const std::vector<std::string>& arguments);

// Splits a script's argument text at blanks.
std::vector<std::string> SplitArguments(std::string_view text);

struct DesktopEntry {
  std::string name;
  std::string comment;
  std::vector<std::string> exec;
  std::string categories;  // with the trailing ";", or empty
  bool no_display = false;
};

// The text of a "[Desktop Entry]" of type Application.
std::string DesktopEntryText(const DesktopEntry& entry);

}  // namespace plov::xdg
