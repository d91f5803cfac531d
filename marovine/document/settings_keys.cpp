#include "marovine/document/settings_keys.h"

#include <cerrno>
#include <cstdlib>

#include "marovine/document/document_settings.h"

namespace marovine {
namespace {

constexpr const char* kTotalInfo = "TotalInfo";

std::string Numbered(const char* key, int number) { return key + std::to_string(number); }

// A total as written by us or by the original program; anything that is not a
// non-negative decimal number counts as nothing counted yet.
std::int64_t ReadTotal(const platform::Profile& profile, const char* key) {
  std::string text = profile.GetString(kTotalInfo, key, "0");
  errno = 0;
  char* end = nullptr;
  long long value = std::strtoll(text.c_str(), &end, 10);
  if (end == text.c_str() || errno == ERANGE || value < 0) return 0;
  return value;
}

}  // namespace

std::string RegisterLinkExtensions(const platform::Profile& profile) {
  return profile.GetString("UrlInsert", "InsertToLink", "");
}

std::string RegisterDownloadExtensions(const platform::Profile& profile) {
  return profile.GetString("UrlInsert", "InsertToDown", "");
}

std::string GroupExtensions(const platform::Profile& profile, int group) {
  std::string extensions =
      profile.GetString("MarovineDownLoad", Numbered("Kakuchoushi", group), "");
  if (!extensions.empty()) return extensions;
  return profile.GetString("MarovineDownLoad", "Kakuchoushi", kDefaultDownloadExtensions);
}

std::string GroupName(const platform::Profile& profile, int group) {
  return profile.GetString("MarovineDownLoad", Numbered("GroupName", group), "");
}

bool DontListFromLinkSite(const platform::Profile& profile) {
  return profile.GetInt("Kensaku", "DontListFromLinkSite", 1) != 0;
}

bool FindLinkFromRamFile(const platform::Profile& profile) {
  return profile.GetInt("Kensaku", "FindLinkFromRamFile", 1) != 0;
}

bool SaveDocumentAtFinish(const platform::Profile& profile) {
  return profile.GetInt("Ippan", "SaveMrvFinish", 1) != 0;
}

bool ReadDocumentAtStartUp(const platform::Profile& profile) {
  return profile.GetInt("Ippan", "ReadMrvStartUp", 1) != 0;
}

EventSound EventSoundFor(const platform::Profile& profile, int event) {
  EventSound sound;
  sound.enabled = profile.GetInt("Sound", Numbered("Check", event), 0) != 0;
  // A sound that is off is looked at once a file: its name is not needed.
  if (sound.enabled) sound.wave_file = profile.GetString("Sound", Numbered("Sound", event), "");
  return sound;
}

DownloadTotals ReadDownloadTotals(const platform::Profile& profile) {
  return {ReadTotal(profile, "TotalDownloadBytes"), ReadTotal(profile, "TotalDownloadFiles")};
}

bool WriteDownloadTotals(platform::Profile& profile, const DownloadTotals& totals) {
  return profile.WriteStrings(kTotalInfo, {{"TotalDownloadBytes", std::to_string(totals.bytes)},
                                           {"TotalDownloadFiles", std::to_string(totals.files)}});
}

bool AddToDownloadTotals(platform::Profile& profile, const DownloadTotals& fetched) {
  DownloadTotals totals = ReadDownloadTotals(profile);
  totals.bytes += fetched.bytes;
  totals.files += fetched.files;
  return WriteDownloadTotals(profile, totals);
}

int PowerAction(const platform::Profile& profile) { return profile.GetInt("Schedule", "Power", 0); }

int DialCutTime(const platform::Profile& profile) {
  return profile.GetInt("Schedule", "DialCutTime", 0);
}

}  // namespace marovine
