#pragma once

#include <span>
#include <string>
#include <variant>

#include "marovine/document/document_settings.h"
#include "marovine/engine/worker_settings.h"
#include "platform/profile.h"

namespace marovine {

// Which registration mode makes the loader read a key.
enum class ReadWhen { kAlways, kCrawlMode, kWholeSiteMode };

// One key of "marovine.ini" that the loader reads, and where its value goes.
struct SettingKey {
  const char* section;
  const char* name;
  std::variant<int DocumentSettings::*, std::string DocumentSettings::*, int WorkerSettings::*>
      field;
  ReadWhen when = ReadWhen::kAlways;
};

// Every key the loader reads, in the order it reads them.
std::span<const SettingKey> DocumentSettingKeys();

// Re-reads the settings file into the document's record and the transfer
// worker's settings; called at start-up and after every settings dialog.
// Missing keys (or a missing or unreadable file) give the defaults of
// DefaultDocumentSettings(storage_folder) and WorkerSettings; nothing is
// written. "DownLoad Way-Marovine" decides which folder and extension keys are
// read: the crawl folder and extensions in crawl mode, the whole-site
// extensions in whole-site mode; the other mode's values stay as they were,
// because the crawl may have set them in memory.
void SettingsLoader(const platform::Profile& profile, const std::string& storage_folder,
                    DocumentSettings& settings, WorkerSettings& worker);

// The first load, when the document starts: as SettingsLoader, but the other
// mode's folder and extension keys are read as well, so links of that mode
// loaded with the document get the user's folder and extensions rather than
// nothing.
DocumentSettings LoadInitialSettings(const platform::Profile& profile,
                                     const std::string& storage_folder, WorkerSettings& worker);

// Re-reads only the registration mode and the folder and extension keys it
// selects (the frame does this when the mode is switched).
void ReloadModeSettings(const platform::Profile& profile, const std::string& storage_folder,
                        DocumentSettings& settings);

}  // namespace marovine
