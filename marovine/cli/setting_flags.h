#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/profile.h"

namespace marovine::cli {

// A key of "marovine.ini" that a flag stands for. `per_group` keys take the
// number of the default extension group (GroupNo) after their name, as the
// extension lists of the groups do.
struct FlagKey {
  const char* section;
  const char* name;
  bool per_group = false;
};

// How a flag's value is read and checked.
enum class FlagValue {
  kNone,        // a switch: writes `fixed_value`
  kFolder,      // a folder, made absolute, with a trailing "/"
  kExtensions,  // extensions separated by commas or blanks, stored blank-separated
  kNumber,      // a whole number from `minimum` to `maximum`
  kProxy,       // host[:port]
};

// A command-line flag that is an alias of settings keys for one run. Flags of
// the same `group` exclude each other (on and off switches of one key).
struct SettingFlag {
  char short_name;    // 0 when there is none
  const char* name;   // the long name, without "--"
  const char* alias;  // a second long name, or nullptr
  const char* value_name;
  FlagValue value;
  int minimum;
  int maximum;
  const char* fixed_value;  // what a switch writes
  const char* group;        // flags of one group exclude each other
  const char* help;
  std::vector<FlagKey> keys;
  // Keys a value-taking flag writes along with its value (the proxy's mode).
  std::vector<std::pair<FlagKey, const char*>> companions = {};
};

std::span<const SettingFlag> SettingFlags();

// "-P/--folder" as the messages and the help name a flag.
std::string FlagTitle(const SettingFlag& flag);

// The flag an argument names ("--folder", "-P", "--folder=DIR" by its name
// part); nullptr when none.
const SettingFlag* FindSettingFlag(std::string_view name);

// The flag that sets a key, for the range checks of `settings set`; nullptr
// when no flag does.
const SettingFlag* FlagForKey(std::string_view section, std::string_view key);

// The value as it is stored, or nothing with the reason in `error`.
std::optional<std::string> NormaliseFlagValue(const SettingFlag& flag, const std::string& text,
                                              std::string& error);

// One key's value for this run.
struct SettingOverride {
  std::string section;
  std::string key;
  std::string value;
};

// The keys one given flag sets; `profile` answers the default group.
std::vector<SettingOverride> OverridesOf(const SettingFlag& flag, const std::string& value,
                                         const platform::Profile& profile);

}  // namespace marovine::cli
