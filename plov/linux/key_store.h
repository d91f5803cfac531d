#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace plov::xdg {

// The registry of the Linux installer: one file per user holding keys as
// sections ("[HKEY_LOCAL_MACHINE\SOFTWARE\...]") and their string values as
// "name=value" lines. Key and value names compare ignoring ASCII case, as in
// the registry; creating a key creates its missing parents. Every change
// re-reads the file and replaces it atomically, so two installers that run
// one after the other never lose each other's keys.
class KeyStore {
 public:
  explicit KeyStore(std::string path);

  const std::string& path() const { return path_; }

  bool CreateKey(const std::string& key);
  bool KeyExists(const std::string& key) const;
  std::optional<std::string> ReadValue(const std::string& key, const std::string& name) const;
  bool WriteValue(const std::string& key, const std::string& name, const std::string& value);
  // Direct sub-keys in a stable order.
  std::vector<std::string> SubKeys(const std::string& key) const;
  // Deletes a key without sub-keys.
  bool DeleteKey(const std::string& key);

 private:
  struct Key {
    std::string path;
    std::vector<std::pair<std::string, std::string>> values;
  };
  std::vector<Key> Load() const;
  bool Save(const std::vector<Key>& keys) const;
  static Key* Find(std::vector<Key>& keys, const std::string& path);

  std::string path_;
};

}  // namespace plov::xdg
