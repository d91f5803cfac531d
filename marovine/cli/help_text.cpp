#include "marovine/cli/help_text.h"

#include "marovine/cli/setting_flags.h"
#include "marovine/cli/subcommand.h"

#ifndef MAROVINE_VERSION
#define MAROVINE_VERSION "unknown"
#endif

namespace marovine::cli {
namespace {

constexpr const char* kIntro =
    "usage: marovine-cli [--home DIR] [OPTION ...] [URL ...]\n"
    "       marovine-cli [--home DIR] COMMAND [ARGS ...]\n"
    "\n"
    "Registers each URL (a site to search, or a file to fetch, by its extension),\n"
    "crawls until every site is done and saves the list, with the settings of the\n"
    "program folder (--home DIR, else $MAROVINE_HOME, else the folder of the\n"
    "executable when a marovine.ini lies beside it, else ~/.config/marovine/).\n"
    "\n"
    "  -h, --help          this text\n"
    "      --version       the version\n"
    "      --home DIR      the program folder\n"
    "      --doc FILE      the document (.mrv) to open and save; default: the\n"
    "                      program folder's default.mrv when ReadMrvStartUp is on\n"
    "      --whole-site    register the URLs as whole-site mirrors\n"
    "      --update        search every registered site again\n"
    "      --retry-failed  the items that failed before wait again\n"
    "      --fast          start the next item as soon as a transfer ends\n"
    "      --insecure      accept https:// certificates that cannot be verified\n"
    "                      (AcceptUnverifiedCertificate in [DownLoad])\n"
    "      --tick-ms N     the scheduler's tick in milliseconds (default 1000)\n"
    "  -q, --quiet         print errors only\n"
    "  -v, --verbose       also print links skipped for an ignore word, files\n"
    "                      found in the download log and redirects\n"
    "\n"
    "Settings for this run (written to marovine.ini only with --save-settings):\n";

std::string KeysOf(const SettingFlag& flag) {
  std::string text;
  auto add = [&](const FlagKey& key, const char* value) {
    std::string one = "[" + std::string(key.section) + "] " + key.name;
    if (key.per_group) one += "<GroupNo>";
    if (value != nullptr) one += "=" + std::string(value);
    text += (text.empty() ? "" : ",\n        ") + one;
  };
  for (const FlagKey& key : flag.keys) {
    add(key, flag.value == FlagValue::kNone ? flag.fixed_value : nullptr);
  }
  for (const auto& [key, value] : flag.companions) add(key, value);
  return text;
}

}  // namespace

std::string HelpText() {
  std::string text = kIntro;
  for (const SettingFlag& flag : SettingFlags()) {
    std::string names =
        flag.short_name != 0 ? std::string("  -") + flag.short_name + ", " : std::string("      ");
    names += "--" + std::string(flag.name);
    if (flag.value_name != nullptr) names += " " + std::string(flag.value_name);
    if (flag.alias != nullptr) names += " (or --" + std::string(flag.alias) + ")";
    text += names + "\n        " + flag.help + "\n      = " + KeysOf(flag);
    if (flag.value == FlagValue::kNumber) {
      text += "; " + std::to_string(flag.minimum) + " to " + std::to_string(flag.maximum);
    }
    text += "\n";
  }
  text +=
      "      --save-settings\n"
      "        write the settings given by these flags to marovine.ini\n"
      "\n"
      "commands:\n";
  for (const auto& command : Subcommands()) text += "  " + command.usage + "\n";
  text +=
      "\n"
      "exit status: 0 everything asked for was fetched or skipped by the settings,\n"
      "1 an item failed (it stays in the document for --retry-failed), a site's album\n"
      "or the document could not be saved, 2 bad arguments or an unusable program\n"
      "folder, 130 after Ctrl-C (transfers stopped, partial files kept, the list saved).\n";
  return text;
}

std::string VersionText() { return std::string("marovine-cli ") + MAROVINE_VERSION + "\n"; }

}  // namespace marovine::cli
