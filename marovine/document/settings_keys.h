#pragma once

#include <cstdint>
#include <string>

#include "platform/profile.h"

namespace marovine {

// Keys of "marovine.ini" that are read where they are used rather than kept in
// the document: each read sees the file as it is now.

// Link-list and download-list extensions of RegisterUrl (section UrlInsert).
// Both default to nothing; this InsertToLink is not the page-extension key of
// section Kensaku.
std::string RegisterLinkExtensions(const platform::Profile& profile);
std::string RegisterDownloadExtensions(const platform::Profile& profile);

// The download extensions of an extension group: "Kakuchoushi" + the group
// number, or "Kakuchoushi" itself when that key is empty or missing.
std::string GroupExtensions(const platform::Profile& profile, int group);
// The name of an extension group ("GroupName" + number), empty when unnamed.
std::string GroupName(const platform::Profile& profile, int group);

bool DontListFromLinkSite(const platform::Profile& profile);  // default on
bool FindLinkFromRamFile(const platform::Profile& profile);   // default on
bool SaveDocumentAtFinish(const platform::Profile& profile);  // SaveMrvFinish, default on
// ReadMrvStartUp: open "default.mrv" at start-up. On by default, the partner
// of SaveMrvFinish: the list saved at the end comes back at the next start.
bool ReadDocumentAtStartUp(const platform::Profile& profile);

// The sound of an event: "Check" + number switches it on, "Sound" + number
// names the wave file.
struct EventSound {
  bool enabled = false;
  std::string wave_file;
};
EventSound EventSoundFor(const platform::Profile& profile, int event);

// Running totals of everything fetched (section TotalInfo). They are kept as
// 64-bit decimal text: a byte count passes 2 GB long before anyone resets it.
struct DownloadTotals {
  std::int64_t bytes = 0;
  std::int64_t files = 0;
};
DownloadTotals ReadDownloadTotals(const platform::Profile& profile);
bool WriteDownloadTotals(platform::Profile& profile, const DownloadTotals& totals);
// Adds what was fetched to the totals in the file, in one rewrite.
bool AddToDownloadTotals(platform::Profile& profile, const DownloadTotals& fetched);

int PowerAction(const platform::Profile& profile);  // Power (section Schedule)
int DialCutTime(const platform::Profile& profile);  // DialCutTime (section Schedule)

}  // namespace marovine
