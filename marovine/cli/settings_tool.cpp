#include "marovine/cli/settings_tool.h"

#include <charconv>

#include "marovine/cli/setting_flags.h"
#include "marovine/cli/settings_catalog.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "platform/program_folder.h"

namespace marovine::cli {
namespace {

int Usage(std::FILE* err, const std::string& text) {
  std::fprintf(err, "marovine-cli settings: %s (usage: marovine-cli [--home DIR] %s)\n",
               text.c_str(), kSettingsUsage);
  return 2;
}

// The value a key may be set to, or the reason it may not.
std::optional<std::string> CheckedValue(const ResolvedKey& key, const std::string& value,
                                        std::string& error) {
  for (unsigned char c : value) {
    if (c < 0x20 || c == 0x7F) {
      error = "a value holds no control characters (a line break would end the key)";
      return std::nullopt;
    }
  }
  if (key.text) {
    if (value.size() > platform::Profile::kStringLimit) {
      error = "the value is longer than the settings keep (255 bytes)";
      return std::nullopt;
    }
    return value;
  }
  long long number = 0;
  auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (value.empty() || ec != std::errc() || end != value.data() + value.size() ||
      number < INT32_MIN || number > INT32_MAX) {
    error = key.section + "." + key.name + " takes a whole number, not \"" + value + "\"";
    return std::nullopt;
  }
  if (const SettingFlag* flag = FlagForKey(key.section, key.name)) {
    if (number < flag->minimum || number > flag->maximum) {
      error = key.section + "." + key.name + " takes a number from " +
              std::to_string(flag->minimum) + " to " + std::to_string(flag->maximum) + " (see " +
              FlagTitle(*flag) + "), not " + value;
      return std::nullopt;
    }
  }
  return std::to_string(number);
}

// The flag a word names ("jobs", "folder"), when it takes a value: the same
// keys, read and written as the flag does for a run.
const SettingFlag* FlagNamed(const std::string& word) {
  const SettingFlag* flag = FindSettingFlag("--" + word);
  return flag != nullptr && flag->value != FlagValue::kNone ? flag : nullptr;
}

int FlagGet(const SettingFlag& flag, const platform::Profile& profile,
            const std::vector<CatalogKey>& catalog, std::FILE* out) {
  std::vector<SettingOverride> keys = OverridesOf(flag, "", profile);
  for (const SettingOverride& key : keys) {
    std::string error;
    auto known = ResolveKey(catalog, key.section + "." + key.key, error);
    std::string value = profile.GetString(key.section, key.key, known ? known->default_value : "");
    if (keys.size() == 1) {
      std::fprintf(out, "%s\n", value.c_str());
    } else {
      std::fprintf(out, "%s.%s=%s\n", key.section.c_str(), key.key.c_str(), value.c_str());
    }
  }
  return 0;
}

int FlagSet(const SettingFlag& flag, const std::string& text, platform::Profile& profile,
            std::FILE* err) {
  std::string error;
  auto value = NormaliseFlagValue(flag, text, error);
  if (!value) {
    std::fprintf(err, "marovine-cli settings: %s\n", error.c_str());
    return 2;
  }
  std::vector<platform::Profile::SectionValues> writes;
  const std::vector<SettingOverride> keys = OverridesOf(flag, *value, profile);
  writes.reserve(keys.size());
  for (const SettingOverride& key : keys) {
    writes.push_back({key.section, {{key.key, key.value}}});
  }
  if (!profile.WriteSections(writes)) {
    std::fprintf(err, "marovine-cli settings: cannot write %s\n", profile.path().c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int RunSettingsTool(const std::vector<std::string>& args, const std::string& program_folder,
                    std::FILE* out, std::FILE* err) {
  if (args.empty()) return Usage(err, "get, set or list?");
  const std::vector<CatalogKey>& catalog = SettingsCatalog(platform::DefaultStorageFolder());
  platform::Profile profile(platform::JoinPath(program_folder, "marovine.ini"));
  const std::string& verb = args[0];

  if (verb == "list") {
    if (args.size() != 1) return Usage(err, "list takes nothing more");
    for (const CatalogKey& key : catalog) {
      if (key.first < 0) {
        std::fprintf(out, "%s.%s=%s\n", key.section.c_str(), key.name.c_str(),
                     profile.GetString(key.section, key.name, key.default_value).c_str());
        continue;
      }
      // Numbered keys only as far as the file has them.
      for (int n = key.first; n <= key.last; ++n) {
        std::string name = key.name + std::to_string(n);
        if (auto value = profile.Find(key.section, name)) {
          std::fprintf(out, "%s.%s=%s\n", key.section.c_str(), name.c_str(), value->c_str());
        }
      }
    }
    return 0;
  }
  if (verb != "get" && verb != "set") return Usage(err, "unknown settings command " + verb);
  if (verb == "get" && args.size() != 2) return Usage(err, "get takes one KEY");
  if (verb == "set" && args.size() != 3) return Usage(err, "set takes a KEY and a VALUE");

  std::string error;
  auto key = ResolveKey(catalog, args[1], error);
  if (const SettingFlag* flag = key ? nullptr : FlagNamed(args[1])) {
    if (!platform::MakeFolders(program_folder)) return 1;
    return verb == "get" ? FlagGet(*flag, profile, catalog, out)
                         : FlagSet(*flag, args[2], profile, err);
  }
  if (!key) {
    std::fprintf(err, "marovine-cli settings: %s\n", error.c_str());
    return 2;
  }
  if (verb == "get") {
    std::fprintf(out, "%s\n",
                 profile.GetString(key->section, key->name, key->default_value).c_str());
    return 0;
  }
  auto value = CheckedValue(*key, args[2], error);
  if (!value) {
    std::fprintf(err, "marovine-cli settings: %s\n", error.c_str());
    return 2;
  }
  if (!platform::MakeFolders(program_folder) ||
      !profile.WriteString(key->section, key->name, *value)) {
    std::fprintf(err, "marovine-cli settings: cannot write %s\n", profile.path().c_str());
    return 1;
  }
  return 0;
}

}  // namespace marovine::cli
