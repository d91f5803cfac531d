#include "plov/linux/key_store.h"

#include <algorithm>

#include "platform/ascii_text.h"
#include "platform/file_io.h"

namespace plov::xdg {
namespace {

std::string Trimmed(std::string key) {
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return key;
}

// Values are kept on one line each.
std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  return text;
}

}  // namespace

KeyStore::KeyStore(std::string path) : path_(std::move(path)) {}

std::vector<KeyStore::Key> KeyStore::Load() const {
  std::vector<Key> keys;
  auto content = platform::ReadWholeFile(path_);
  if (!content) return keys;
  std::size_t start = 0;
  while (start < content->size()) {
    auto end = content->find('\n', start);
    if (end == std::string::npos) end = content->size();
    std::string_view line(content->data() + start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      keys.push_back({std::string(line.substr(1, line.size() - 2)), {}});
    } else if (auto eq = line.find('='); eq != std::string_view::npos && !keys.empty()) {
      keys.back().values.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
  }
  return keys;
}

bool KeyStore::Save(const std::vector<Key>& keys) const {
  std::string text;
  for (const auto& key : keys) {
    text += "[" + key.path + "]\n";
    for (const auto& [name, value] : key.values) text += name + "=" + value + "\n";
    text += "\n";
  }
  return platform::WriteFileAtomically(path_, text);
}

KeyStore::Key* KeyStore::Find(std::vector<Key>& keys, const std::string& path) {
  for (auto& key : keys) {
    if (platform::EqualsIgnoreCase(key.path, path)) return &key;
  }
  return nullptr;
}

bool KeyStore::CreateKey(const std::string& key_path) {
  std::string path = Trimmed(key_path);
  if (path.empty()) return false;
  auto keys = Load();
  bool changed = false;
  for (auto at = path.find('\\');; at = path.find('\\', at + 1)) {
    std::string prefix = path.substr(0, at);
    if (!Find(keys, prefix)) {
      keys.push_back({prefix, {}});
      changed = true;
    }
    if (at == std::string::npos) break;
  }
  return !changed || Save(keys);
}

bool KeyStore::KeyExists(const std::string& key) const {
  auto keys = Load();
  return Find(keys, Trimmed(key)) != nullptr;
}

std::optional<std::string> KeyStore::ReadValue(const std::string& key,
                                               const std::string& name) const {
  auto keys = Load();
  Key* found = Find(keys, Trimmed(key));
  if (!found) return std::nullopt;
  for (const auto& [value_name, value] : found->values) {
    if (platform::EqualsIgnoreCase(value_name, name)) return value;
  }
  return std::nullopt;
}

bool KeyStore::WriteValue(const std::string& key, const std::string& name,
                          const std::string& value) {
  auto keys = Load();
  Key* found = Find(keys, Trimmed(key));
  if (!found || name.empty() || name.find_first_of("=\n[") != std::string::npos) return false;
  for (auto& [value_name, old] : found->values) {
    if (platform::EqualsIgnoreCase(value_name, name)) {
      old = OneLine(value);
      return Save(keys);
    }
  }
  found->values.emplace_back(name, OneLine(value));
  return Save(keys);
}

std::vector<std::string> KeyStore::SubKeys(const std::string& key) const {
  std::string prefix = Trimmed(key) + "\\";
  std::vector<std::string> children;
  for (const auto& stored : Load()) {
    if (stored.path.size() <= prefix.size() ||
        !platform::EqualsIgnoreCase(std::string_view(stored.path).substr(0, prefix.size()),
                                    prefix)) {
      continue;
    }
    std::string child = stored.path.substr(prefix.size());
    child = child.substr(0, child.find('\\'));
    bool known = std::any_of(children.begin(), children.end(), [&](const std::string& c) {
      return platform::EqualsIgnoreCase(c, child);
    });
    if (!known) children.push_back(child);
  }
  std::sort(children.begin(), children.end());
  return children;
}

bool KeyStore::DeleteKey(const std::string& key_path) {
  std::string path = Trimmed(key_path);
  auto keys = Load();
  if (!Find(keys, path) || !SubKeys(path).empty()) return false;
  keys.erase(std::remove_if(keys.begin(), keys.end(),
                            [&](const Key& k) { return platform::EqualsIgnoreCase(k.path, path); }),
             keys.end());
  return Save(keys);
}

}  // namespace plov::xdg
