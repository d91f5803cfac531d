#include "marovine/cli/settings_catalog.h"

#include <charconv>

#include "marovine/album/album_settings.h"
#include "marovine/document/document_settings.h"
#include "marovine/document/settings_loader.h"
#include "marovine/engine/proxy_settings.h"
#include "marovine/engine/worker_settings.h"
#include "platform/ascii_text.h"

namespace marovine::cli {
namespace {

struct Plain {
  const char* section;
  const char* name;
  bool text;
  const char* default_value;
  int first = -1;
  int last = -1;
};

// Keys read where they are used (settings_keys.h), the proxy dialog's, the
// album dialog's, and those only the option pages keep.
const Plain kOtherKeys[] = {
    {"UrlInsert", "InsertToLink", true, ""},
    {"UrlInsert", "InsertToDown", true, ""},
    {"MarovineDownLoad", "Kakuchoushi", true, "", 0, 9},
    {"MarovineDownLoad", "GroupName", true, "", 0, 9},
    {"Kensaku", "DontListFromLinkSite", false, "1"},
    {"Kensaku", "FindLinkFromRamFile", false, "1"},
    {"Ippan", "SaveMrvFinish", false, "1"},
    {"Ippan", "ReadMrvStartUp", false, "1"},
    {"Sound", "Check", false, "0", 1, 8},
    {"Sound", "Sound", true, "", 1, 8},
    {"Sound", "TestSound", false, "0"},
    {"TotalInfo", "TotalDownloadBytes", true, "0"},
    {"TotalInfo", "TotalDownloadFiles", true, "0"},
    {"Schedule", "Power", false, "0"},
    {"Schedule", "DialCutTime", false, "0"},
    {"Proxy", "DontUseProxy", false, "1"},
    {"Proxy", "UseThisProxy", false, "0"},
    {"Proxy", "UseProxyTopToUnder", false, "0"},
    {"Proxy", "UseProxyRandom", false, "0"},
    {"Proxy", "ErrorDontUseProxy", false, "1"},
    {"Proxy", "ErrorProxyTopToUnder", false, "0"},
    {"Proxy", "ErrorProxyRandom", false, "0"},
    {"Proxy", "ErrorUseSameProxy", false, "0"},
    {"Proxy", "ErrorDeleteProxy", false, "0"},
    {"Proxy", "ErrorListProxy", false, "0"},
    {"Proxy", "ErrorDontDealProxy", false, "1"},
    {"Proxy", "DefaultProxy", true, ""},
    {kAlbumSection, "AllView", false, "1"},
    {kAlbumSection, "MenuView", false, "0"},
    {kAlbumSection, "MakeHtmlLink", false, "1"},
    {kAlbumSection, "DontMakeHtmlLink", false, "0"},
    {kAlbumSection, "MakeThumbnail", false, "1"},
    {kAlbumSection, "ThumbFolder", true, "thumb"},
    {kAlbumSection, "ThumbWidth", false, "100"},
    {kAlbumSection, "Colam", false, "5"},
    {"DownLoad", "Download Way-Marugoto", false, "0"},
    {"UrlInsert", "Kakunin", false, "0"},
    {"Ippan", "StartMinimum", false, "0"},
    {"Banner", "DeleteBanner", false, "1"},
};

bool Same(std::string_view a, std::string_view b) { return platform::EqualsIgnoreCase(a, b); }

// Whether `name` is the key `key` stands for: its name, or its name and a
// number of its range.
bool Names(const CatalogKey& key, std::string_view name, std::string& spelt) {
  if (key.first < 0) {
    if (!Same(key.name, name)) return false;
    spelt = key.name;
    return true;
  }
  if (name.size() <= key.name.size() || !Same(name.substr(0, key.name.size()), key.name)) {
    return false;
  }
  std::string_view digits = name.substr(key.name.size());
  int number = -1;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (ec != std::errc() || end != digits.data() + digits.size() || number < key.first ||
      number > key.last) {
    return false;
  }
  spelt = key.name + std::to_string(number);
  return true;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : ", ") + word;
  return text;
}

}  // namespace

const std::vector<CatalogKey>& SettingsCatalog(const std::string& storage_folder) {
  static std::string built_for;
  static std::vector<CatalogKey> catalog;
  if (!catalog.empty() && built_for == storage_folder) return catalog;
  catalog.clear();
  built_for = storage_folder;
  const DocumentSettings defaults = DefaultDocumentSettings(storage_folder);
  const WorkerSettings worker_defaults;
  auto known = [&](std::string_view section, std::string_view name) {
    for (const CatalogKey& key : catalog) {
      if (Same(key.section, section) && Same(key.name, name)) return true;
    }
    return false;
  };
  for (const SettingKey& key : DocumentSettingKeys()) {
    CatalogKey entry{key.section, key.name};
    if (auto* field = std::get_if<int DocumentSettings::*>(&key.field)) {
      entry.default_value = std::to_string(defaults.*(*field));
    } else if (auto* text = std::get_if<std::string DocumentSettings::*>(&key.field)) {
      entry.text = true;
      entry.default_value = defaults.*(*text);
    } else {
      entry.default_value =
          std::to_string(worker_defaults.*std::get<int WorkerSettings::*>(key.field));
    }
    catalog.push_back(std::move(entry));
  }
  for (const Plain& plain : kOtherKeys) {
    if (plain.first < 0 && known(plain.section, plain.name)) continue;
    catalog.push_back(
        {plain.section, plain.name, plain.text, plain.default_value, plain.first, plain.last});
  }
  return catalog;
}

std::vector<std::string> CatalogSections(const std::vector<CatalogKey>& catalog) {
  std::vector<std::string> sections;
  for (const CatalogKey& key : catalog) {
    bool seen = false;
    for (const std::string& s : sections) seen = seen || Same(s, key.section);
    if (!seen) sections.push_back(key.section);
  }
  return sections;
}

std::optional<ResolvedKey> ResolveKey(const std::vector<CatalogKey>& catalog,
                                      std::string_view typed, std::string& error) {
  std::string_view section;
  std::string_view name = typed;
  if (auto dot = typed.find('.'); dot != std::string_view::npos) {
    section = typed.substr(0, dot);
    name = typed.substr(dot + 1);
  }
  std::vector<ResolvedKey> found;
  bool section_known = false;
  std::vector<std::string> keys_of_section;
  for (const CatalogKey& key : catalog) {
    if (!section.empty() && !Same(key.section, section)) continue;
    section_known = true;
    keys_of_section.push_back(key.first < 0 ? key.name
                                            : key.name + std::to_string(key.first) + ".." +
                                                  std::to_string(key.last));
    std::string spelt;
    if (Names(key, name, spelt)) found.push_back({key.section, spelt, key.text, key.default_value});
  }
  if (found.size() == 1) return found.front();
  if (found.size() > 1) {
    std::vector<std::string> choices;
    choices.reserve(found.size());
    for (const ResolvedKey& key : found) choices.push_back(key.section + "." + key.name);
    error =
        "\"" + std::string(typed) + "\" is a key of several sections; name one: " + Joined(choices);
  } else if (!section.empty() && section_known) {
    error = "unknown key \"" + std::string(name) + "\" in [" + std::string(section) +
            "]; its keys: " + Joined(keys_of_section);
  } else {
    error = "unknown key \"" + std::string(typed) +
            "\"; give SECTION.KEY or a flag's name (jobs, folder, ...), the sections are: " +
            Joined(CatalogSections(catalog));
  }
  return std::nullopt;
}

}  // namespace marovine::cli
