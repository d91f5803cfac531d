#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marovine::cli {

// A key of "marovine.ini" the program knows: every key the settings loader
// reads, the keys read where they are used, the proxy, album and option-page
// keys. Numbered keys ("Kakuchoushi0" .. "Kakuchoushi9") are one entry with
// their range.
struct CatalogKey {
  std::string section;
  std::string name;
  bool text = false;  // a string; else an integer
  std::string default_value;
  int first = -1;  // numbered: name + a number from first to last
  int last = -1;
};

// Every known key, sections in the order of the loader's table.
const std::vector<CatalogKey>& SettingsCatalog(const std::string& storage_folder);

// The sections of the catalog, in its order.
std::vector<std::string> CatalogSections(const std::vector<CatalogKey>& catalog);

// A key as named on the command line: "Section.Key" (any case, as the
// settings file compares) or a key name that only one section has.
struct ResolvedKey {
  std::string section;  // spelt as the program writes it
  std::string name;
  bool text = false;
  std::string default_value;
};
std::optional<ResolvedKey> ResolveKey(const std::vector<CatalogKey>& catalog,
                                      std::string_view typed, std::string& error);

}  // namespace marovine::cli
