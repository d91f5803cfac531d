#include "marovine/cli/setting_flags.h"

#include <charconv>
#include <filesystem>

#include "platform/ascii_text.h"

namespace marovine::cli {
namespace {

constexpr const char* kDownLoad = "DownLoad";
constexpr const char* kMarovine = "MarovineDownLoad";
constexpr const char* kMarugoto = "MarugotoDownload";
constexpr const char* kKensaku = "Kensaku";
constexpr const char* kProxy = "Proxy";

// The proxy's selection is one radio group in the settings: exactly one of its
// four keys is on.
std::vector<std::pair<FlagKey, const char*>> ProxyMode(const char* chosen) {
  std::vector<std::pair<FlagKey, const char*>> keys;
  for (const char* name :
       {"DontUseProxy", "UseThisProxy", "UseProxyTopToUnder", "UseProxyRandom"}) {
    keys.emplace_back(FlagKey{kProxy, name}, std::string_view(name) == chosen ? "1" : "0");
  }
  return keys;
}

const std::vector<SettingFlag>& Table() {
  static const std::vector<SettingFlag> flags = {
      {'P',
       "folder",
       "directory-prefix",
       "DIR",
       FlagValue::kFolder,
       0,
       0,
       nullptr,
       nullptr,
       "where files go, in both modes",
       {{kMarovine, "Kakunou Folder"}, {kMarugoto, "MarugotoPass"}, {kDownLoad, "KakunouFolder"}}},
      {'A',
       "accept",
       nullptr,
       "LIST",
       FlagValue::kExtensions,
       0,
       0,
       nullptr,
       nullptr,
       "extensions to fetch (jpg,png or \"jpg png\"), in both modes",
       {{kMarovine, "Kakuchoushi"},
        {kMarovine, "Kakuchoushi", true},
        {kMarugoto, "MarugotoKakuchoushi"}}},
      {'l',
       "level",
       nullptr,
       "N",
       FlagValue::kNumber,
       0,
       3,
       nullptr,
       nullptr,
       "search level of new sites: 0 all links, 1 links inside the site,\n"
       "        2 at or below the start page's folder, 3 link sites",
       {{kKensaku, "KensakuLevel"}}},
      {0,
       "depth",
       nullptr,
       "N",
       FlagValue::kNumber,
       0,
       1000,
       nullptr,
       nullptr,
       "follow links at most N folders below the site (0: no limit)",
       {{kKensaku, "KensakuKaisou"}}},
      {0,
       "page-limit",
       nullptr,
       "N",
       FlagValue::kNumber,
       0,
       1000000,
       nullptr,
       nullptr,
       "search at most N pages of a new site (0: no limit)",
       {{kKensaku, "Page"}}},
      {'j',
       "jobs",
       nullptr,
       "N",
       FlagValue::kNumber,
       1,
       10,
       nullptr,
       nullptr,
       "simultaneous downloads",
       {{kDownLoad, "DouziDL"}}},
      {'T',
       "timeout",
       nullptr,
       "SECONDS",
       FlagValue::kNumber,
       0,
       86400,
       nullptr,
       nullptr,
       "send and receive time-out (0: wait for ever)",
       {{kDownLoad, "TimeOut"}}},
      {'t',
       "retries",
       "tries",
       "N",
       FlagValue::kNumber,
       0,
       10000,
       nullptr,
       nullptr,
       "retries of an item before it fails",
       {{kDownLoad, "Retry Time"}}},
      {0,
       "retry-wait",
       "waitretry",
       "SECONDS",
       FlagValue::kNumber,
       0,
       3600,
       nullptr,
       nullptr,
       "wait before each retry",
       {{kDownLoad, "RetryWaitTime"}}},
      {'x',
       "proxy",
       nullptr,
       "HOST[:PORT]",
       FlagValue::kProxy,
       0,
       0,
       nullptr,
       "proxy",
       "connect through this proxy",
       {{kProxy, "DefaultProxy"}},
       ProxyMode("UseThisProxy")},
      {0,
       "no-proxy",
       nullptr,
       nullptr,
       FlagValue::kNone,
       0,
       0,
       "1",
       "proxy",
       "connect directly",
       {},
       ProxyMode("DontUseProxy")},
      {0,
       "date-folder",
       nullptr,
       nullptr,
       FlagValue::kNone,
       0,
       0,
       "1",
       "date",
       "a folder per day (YYYY_M_D) for new sites",
       {{kMarovine, "Make Date Name Folder"}}},
      {0,
       "no-date-folder",
       nullptr,
       nullptr,
       FlagValue::kNone,
       0,
       0,
       "0",
       "date",
       "no date folder",
       {{kMarovine, "Make Date Name Folder"}}},
      {0,
       "random-prefix",
       nullptr,
       nullptr,
       FlagValue::kNone,
       0,
       0,
       "1",
       "random",
       "the site's random number before each file name",
       {{kMarovine, "Put Random Num"}}},
      {0,
       "no-random-prefix",
       nullptr,
       nullptr,
       FlagValue::kNone,
       0,
       0,
       "0",
       "random",
       "file names as the server has them",
       {{kMarovine, "Put Random Num"}}},
  };
  return flags;
}

bool IsWholeNumber(const std::string& text, long long& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::optional<std::string> Extensions(const std::string& text, std::string& error) {
  std::string joined;
  std::string word;
  auto flush = [&] {
    if (!word.empty() && word.front() == '.') word.erase(0, 1);
    if (!word.empty()) joined += (joined.empty() ? "" : " ") + word;
    word.clear();
  };
  for (char c : text) {
    if (c == ',' || c == ' ' || c == '\t') {
      flush();
    } else if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) {
      error = "an extension holds no \"/\", \"\\\" or control characters";
      return std::nullopt;
    } else {
      word += c;
    }
  }
  flush();
  if (joined.empty()) {
    error = "needs at least one extension";
    return std::nullopt;
  }
  if (joined.size() > platform::Profile::kStringLimit) {
    error = "the list is longer than the settings keep (255 bytes)";
    return std::nullopt;
  }
  return joined;
}

std::optional<std::string> Folder(const std::string& text, std::string& error) {
  if (text.empty()) {
    error = "needs a folder";
    return std::nullopt;
  }
  std::error_code ec;
  std::string folder = std::filesystem::absolute(text, ec).lexically_normal().string();
  if (ec) {
    error = "cannot make \"" + text + "\" an absolute folder";
    return std::nullopt;
  }
  if (folder.back() != '/') folder += '/';
  if (folder.size() > platform::Profile::kStringLimit) {
    error = "the folder is longer than the settings keep (255 bytes)";
    return std::nullopt;
  }
  return folder;
}

std::optional<std::string> Proxy(const std::string& text, std::string& error) {
  auto colon = text.rfind(':');
  std::string host = colon == std::string::npos ? text : text.substr(0, colon);
  bool bad_host = host.empty();
  for (char c : text) bad_host = bad_host || static_cast<unsigned char>(c) <= 0x20 || c == '/';
  long long port = 8080;
  if (bad_host || (colon != std::string::npos &&
                   (!IsWholeNumber(text.substr(colon + 1), port) || port < 1 || port > 65535))) {
    error = "takes HOST or HOST:PORT (a port from 1 to 65535), not \"" + text + "\"";
    return std::nullopt;
  }
  return text;
}

}  // namespace

std::span<const SettingFlag> SettingFlags() { return Table(); }

std::string FlagTitle(const SettingFlag& flag) {
  std::string title;
  if (flag.short_name != 0) title = std::string("-") + flag.short_name + "/";
  return title + "--" + flag.name;
}

const SettingFlag* FindSettingFlag(std::string_view name) {
  for (const SettingFlag& flag : Table()) {
    if (name.size() == 2 && name[0] == '-' && flag.short_name != 0 && name[1] == flag.short_name)
      return &flag;
    if (!name.starts_with("--")) continue;
    std::string_view bare = name.substr(2);
    if (bare == flag.name || (flag.alias != nullptr && bare == flag.alias)) return &flag;
  }
  return nullptr;
}

const SettingFlag* FlagForKey(std::string_view section, std::string_view key) {
  for (const SettingFlag& flag : Table()) {
    if (flag.value != FlagValue::kNumber) continue;
    for (const FlagKey& k : flag.keys) {
      if (!k.per_group && platform::EqualsIgnoreCase(k.section, section) &&
          platform::EqualsIgnoreCase(k.name, key))
        return &flag;
    }
  }
  return nullptr;
}

std::optional<std::string> NormaliseFlagValue(const SettingFlag& flag, const std::string& text,
                                              std::string& error) {
  std::string reason;
  std::optional<std::string> value;
  switch (flag.value) {
    case FlagValue::kNone:
      return flag.fixed_value;
    case FlagValue::kFolder:
      value = Folder(text, reason);
      break;
    case FlagValue::kExtensions:
      value = Extensions(text, reason);
      break;
    case FlagValue::kProxy:
      value = Proxy(text, reason);
      break;
    case FlagValue::kNumber: {
      long long number = 0;
      if (IsWholeNumber(text, number) && number >= flag.minimum && number <= flag.maximum) {
        return std::to_string(number);
      }
      reason = "takes a whole number from " + std::to_string(flag.minimum) + " to " +
               std::to_string(flag.maximum) + ", not \"" + text + "\"";
      break;
    }
  }
  if (!value) error = FlagTitle(flag) + " " + reason;
  return value;
}

std::vector<SettingOverride> OverridesOf(const SettingFlag& flag, const std::string& value,
                                         const platform::Profile& profile) {
  std::vector<SettingOverride> overrides;
  for (const FlagKey& key : flag.keys) {
    std::string name = key.name;
    if (key.per_group) name += std::to_string(profile.GetInt(kMarovine, "GroupNo", 0));
    overrides.push_back({key.section, name, value});
  }
  for (const auto& [key, fixed] : flag.companions) {
    overrides.push_back({key.section, key.name, fixed});
  }
  return overrides;
}

}  // namespace marovine::cli
