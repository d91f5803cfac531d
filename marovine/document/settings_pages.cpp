#include "marovine/document/settings_pages.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <map>
#include <stdexcept>
#include <utility>

#include "platform/path.h"

namespace marovine {
namespace {

constexpr const char* kCrawlSection = "MarovineDownLoad";
constexpr int kLastGroup = 9;

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool IsNumberKey(const SheetKey& key) {
  return key.control == SheetControl::kNumber || key.control == SheetControl::kChoice ||
         (key.control == SheetControl::kKept && key.max > key.min);
}

bool IsFlagKey(const SheetKey& key) {
  return key.control == SheetControl::kCheck || key.control == SheetControl::kLogDetail;
}

int Clamped(const SheetKey& key, long long value) {
  return static_cast<int>(std::clamp<long long>(value, key.min, key.max));
}

std::string GroupKey(const char* name, int group) { return name + std::to_string(group); }

}  // namespace

std::string RangeMessage(int min, int max) {
  return std::to_string(min) + " から " + std::to_string(max) + " までの整数を入力してください。";
}

std::optional<std::string> ParseEditNumber(std::string_view text, int min, int max,
                                           bool refuse_out_of_range, int& number) {
  std::string_view digits = TrimBlanks(text);
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  long long value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || end != digits.data() + digits.size()) return kNotANumberText;
  if (error == std::errc::result_out_of_range) {
    value = digits.front() == '-' ? std::numeric_limits<long long>::min()
                                  : std::numeric_limits<long long>::max();
  }
  if ((value < min || value > max) && refuse_out_of_range) return RangeMessage(min, max);
  number = static_cast<int>(std::clamp<long long>(value, min, max));
  return std::nullopt;
}

SettingsSheetModel::SettingsSheetModel(const std::string& storage_folder)
    : pages_(SettingsSheetPages(storage_folder)) {
  for (const SheetPage& page : pages_) {
    for (const SheetKey& key : page.keys) values_.push_back({&key, key.default_value});
  }
}

void SettingsSheetModel::Read(const platform::Profile& profile) {
  // Keys taking another key's value when missing are read after it: the
  // table lists that key first.
  for (Value& value : values_) {
    const SheetKey& key = *value.key;
    std::string fallback = key.default_value;
    if (!key.default_key.empty()) fallback = Text(key.section, key.default_key);
    if (IsNumberKey(key)) {
      value.text = std::to_string(Clamped(
          key,
          profile.GetInt(key.section, key.name, platform::Profile::ParseProfileInt(fallback))));
    } else if (IsFlagKey(key)) {
      value.text =
          profile.GetInt(key.section, key.name, platform::Profile::ParseProfileInt(fallback)) != 0
              ? "1"
              : "0";
    } else {
      value.text = profile.GetString(key.section, key.name, fallback);
    }
  }
  // The page shows the list of the current group.
  SetText(kCrawlSection, "Kakuchoushi", Text(kCrawlSection, GroupKey("Kakuchoushi", ShownGroup())));
}

bool SettingsSheetModel::Write(platform::Profile& profile) {
  StoreShownGroup();
  std::vector<platform::Profile::SectionValues> writes;
  std::map<std::string, std::size_t> section_index;
  for (const Value& value : values_) {
    const SheetKey& key = *value.key;
    auto [found, added] = section_index.try_emplace(key.section, writes.size());
    if (added) writes.push_back({key.section, {}});
    std::string text = value.text;
    if (key.control == SheetControl::kFolder) text = platform::WithTrailingSeparator(text);
    writes[found->second].values.emplace_back(key.name, std::move(text));
  }
  return profile.WriteSections(writes);
}

SettingsSheetModel::Value* SettingsSheetModel::Find(std::string_view section,
                                                    std::string_view name) {
  for (Value& value : values_) {
    if (value.key->section == section && value.key->name == name) return &value;
  }
  return nullptr;
}

const SettingsSheetModel::Value* SettingsSheetModel::Find(std::string_view section,
                                                          std::string_view name) const {
  return const_cast<SettingsSheetModel*>(this)->Find(section, name);
}

SettingsSheetModel::Value& SettingsSheetModel::Get(std::string_view section,
                                                   std::string_view name) {
  Value* value = Find(section, name);
  // Every caller names a key of the table; anything else is a programming
  // error that must not go unnoticed as a silently dropped setting.
  if (!value)
    throw std::logic_error("no sheet key " + std::string(section) + "/" + std::string(name));
  return *value;
}

const SettingsSheetModel::Value& SettingsSheetModel::Get(std::string_view section,
                                                         std::string_view name) const {
  return const_cast<SettingsSheetModel*>(this)->Get(section, name);
}

const std::string& SettingsSheetModel::Text(std::string_view section, std::string_view name) const {
  return Get(section, name).text;
}

int SettingsSheetModel::Int(std::string_view section, std::string_view name) const {
  return platform::Profile::ParseProfileInt(Text(section, name));
}

bool SettingsSheetModel::Flag(std::string_view section, std::string_view name) const {
  return Int(section, name) != 0;
}

void SettingsSheetModel::SetText(std::string_view section, std::string_view name,
                                 std::string value) {
  Get(section, name).text = std::move(value);
}

void SettingsSheetModel::SetFlag(std::string_view section, std::string_view name, bool on) {
  Get(section, name).text = on ? "1" : "0";
}

void SettingsSheetModel::SetInt(std::string_view section, std::string_view name, int value) {
  Value& entry = Get(section, name);
  entry.text = std::to_string(IsNumberKey(*entry.key) ? Clamped(*entry.key, value) : value);
}

std::optional<std::string> SettingsSheetModel::SetNumberText(std::string_view section,
                                                             std::string_view name,
                                                             std::string_view text) {
  Value& entry = Get(section, name);
  const SheetKey& key = *entry.key;
  int number = 0;
  auto error = ParseEditNumber(text, key.min, key.max, key.refuse_out_of_range, number);
  if (!error) entry.text = std::to_string(number);
  return error;
}

void SettingsSheetModel::StepSimultaneousDownloads(int delta) {
  SetInt("DownLoad", "DouziDL", Int("DownLoad", "DouziDL") + delta);
}

int SettingsSheetModel::ShownGroup() const {
  return std::clamp(Int(kCrawlSection, "GroupNo"), 0, kLastGroup);
}

void SettingsSheetModel::StoreShownGroup() {
  SetText(kCrawlSection, GroupKey("Kakuchoushi", ShownGroup()), Text(kCrawlSection, "Kakuchoushi"));
}

void SettingsSheetModel::MoveGroup(int delta) {
  int next = ShownGroup() + delta;
  if (next < 0 || next > kLastGroup) return;
  StoreShownGroup();
  SetInt(kCrawlSection, "GroupNo", next);
  SetText(kCrawlSection, "Kakuchoushi", Text(kCrawlSection, GroupKey("Kakuchoushi", next)));
}

const std::string& SettingsSheetModel::ShownGroupName() const {
  return Text(kCrawlSection, GroupKey("GroupName", ShownGroup()));
}

void SettingsSheetModel::SetShownGroupName(std::string name) {
  SetText(kCrawlSection, GroupKey("GroupName", ShownGroup()), std::move(name));
}

void SettingsSheetModel::ClickFolderOption(std::string_view name, bool on) {
  SetFlag(kCrawlSection, name, on);
  if (!on) return;
  for (const char* other : {"Make Date Name Folder", "LinkFolder", "TitleFolder"}) {
    if (name != other) SetFlag(kCrawlSection, other, false);
  }
}

bool SettingsSheetModel::RandomNumberEnabled() const {
  return !Flag(kCrawlSection, "LinkFolder") && !Flag(kCrawlSection, "TitleFolder");
}

}  // namespace marovine
