#include "plov/linux/desktop_entry.h"

namespace plov::xdg {

std::string EscapeEntryValue(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\t':
        escaped += "\\t";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string QuoteExecArgument(std::string_view argument) {
  constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`=";
  std::string text;
  for (char c : argument) {
    text += c;
    if (c == '%') text += '%';
  }
  if (!text.empty() && text.find_first_of(kReserved) == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::string ExecLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const auto& argument : arguments) {
    if (!line.empty()) line += ' ';
    line += QuoteExecArgument(argument);
  }
  return EscapeEntryValue(line);
}

std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> arguments;
  std::string current;
  for (char c : text) {
    if (c == ' ' || c == '\t') {
      if (!current.empty()) arguments.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) arguments.push_back(std::move(current));
  return arguments;
}

std::string DesktopEntryText(const DesktopEntry& entry) {
  std::string text = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
  text += "Name=" + EscapeEntryValue(entry.name) + "\n";
  if (!entry.comment.empty()) text += "Comment=" + EscapeEntryValue(entry.comment) + "\n";
  text += "Exec=" + ExecLine(entry.exec) + "\n";
  if (!entry.categories.empty()) text += "Categories=" + entry.categories + "\n";
  if (entry.no_display) text += "NoDisplay=true\n";
  return text;
}

}  // namespace plov::xdg
