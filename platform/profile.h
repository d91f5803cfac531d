#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// Our private-profile (INI) store with the behaviour the program relies on:
// sections and keys compare case-insensitively (ASCII), a missing file or key
// gives the caller's default, integers are read like GetPrivateProfileInt
// (leading blanks, an optional sign, digits up to the first non-digit, 32-bit
// wrap-around; an empty value gives the default), strings are trimmed, lose one
// pair of surrounding quotes and are cut to a byte limit. Files written on the
// original platform (CP932) are read as UTF-8 after conversion.
//
// Reads see the file as it is on disk (a change by another process is picked
// up at the next read); every write re-reads the file, changes one line and
// replaces the file atomically, so other keys are never lost.
//
// A Profile object is used from one thread at a time.
class Profile {
 public:
  static constexpr std::size_t kStringLimit = 255;

  explicit Profile(std::string path);

  const std::string& path() const { return path_; }

  int GetInt(std::string_view section, std::string_view key, int default_value) const;
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view default_value, std::size_t limit = kStringLimit) const;
  // Nothing when the key is absent (an empty value is present).
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // Writes the key (creating the section and the file when needed). Answers
  // false when the file could not be written; the old file then stays.
  [[nodiscard]] bool WriteString(std::string_view section, std::string_view key,
                                 std::string_view value);
  [[nodiscard]] bool WriteInt(std::string_view section, std::string_view key, long long value);
  [[nodiscard]] bool DeleteKey(std::string_view section, std::string_view key);
  // Writes several keys of one section with a single rewrite of the file.
  [[nodiscard]] bool WriteStrings(std::string_view section,
                                  const std::vector<std::pair<std::string, std::string>>& values);

  // Keys of many sections with a single rewrite of the file, in time linear in
  // the file and the keys. Sections compare as elsewhere; the first section of
  // a name takes its keys, new sections go to the end in the order given.
  struct SectionValues {
    std::string section;
    std::vector<std::pair<std::string, std::string>> values;
  };
  [[nodiscard]] bool WriteSections(const std::vector<SectionValues>& writes);

  // The keys of a section in file order (empty when absent).
  std::vector<std::string> KeysOf(std::string_view section) const;

  // Values that stand in for the file's for the life of this object: a front
  // end's flags for one run. Every read sees them; writes still go to the
  // file, and these values are never written there.
  void SetRunValue(std::string_view section, std::string_view key, std::string_view value);
  bool HasRunValues() const { return !run_values_.empty(); }

  // Integer reading of a profile value, exposed for callers that read values
  // from other sources with the same rule.
  static int ParseProfileInt(std::string_view text);

 private:
  struct FileStamp {
    bool exists = false;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t mtime_ns = 0;
    bool operator==(const FileStamp&) const = default;
  };

  void Refresh() const;
  void Parse(std::string_view content) const;
  using Change = std::pair<std::string, std::optional<std::string>>;  // key, value or delete
  bool ModifyAndSave(std::string_view section, const std::vector<Change>& changes);
  static void ApplyChange(std::vector<std::string>& lines, std::string_view section,
                          const Change& change);

  std::string path_;
  mutable FileStamp stamp_;
  mutable bool loaded_ = false;
  mutable std::vector<std::string> lines_;
  struct RunValue {
    std::string section;
    std::string key;
    std::string value;
  };
  std::vector<RunValue> run_values_;
};

}  // namespace platform
