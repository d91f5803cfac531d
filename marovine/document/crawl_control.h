#pragma once

#include <array>
#include <string>
#include <vector>

#include "marovine/engine/transfer_slot.h"
#include "marovine/engine/work_items.h"

namespace platform {
class Profile;
}

namespace marovine {

struct DocumentSettings;
struct ProgramPaths;

// The crawl as the parts around it see it: its commands and what they may
// read. The hooks of the crawl, views, dialogs, the command line and the
// unattended operation take this, not the whole document, so that none of
// them reaches into the lists or the transfer slots to change them. Every
// call belongs to the thread that owns the document.
class CrawlControl {
 public:
  // The tick, which the front end's timer calls every tick period.
  virtual void CrawlTick() = 0;
  // The user's commands.
  virtual void StartCommand() = 0;
  virtual void StopListingCommand() = 0;  // running transfers finish, nothing new starts
  virtual void StopAllCommand() = 0;      // running transfers are stopped too
  // The crawl runs from the next tick on, without the start command's sound
  // and status text.
  virtual void ResumeQuietly() = 0;
  // Makes a URL a new item as the settings choose (1 added, 0 rejected).
  virtual int RegisterUrl(const std::string& url) = 0;
  // Writes the document to the path it is saved under; false when that
  // failed (the old file stays whole).
  virtual bool SaveDocument() = 0;

  virtual bool CrawlRunning() const = 0;
  // Nothing more happens without a command.
  virtual bool CrawlFinished() const = 0;
  virtual const DocumentSettings& crawl_settings() const = 0;
  virtual const platform::Profile& settings_file() const = 0;
  virtual const ProgramPaths& program_paths() const = 0;
  virtual const std::vector<LinkItem>& links() const = 0;
  virtual const std::vector<DownloadItem>& downloads() const = 0;
  // The slots as of the last collection (progress display).
  virtual const std::array<TransferSlot, kTransferSlotCount>& transfer_slots() const = 0;

 protected:
  CrawlControl() = default;
  ~CrawlControl() = default;
  CrawlControl(const CrawlControl&) = default;
  CrawlControl& operator=(const CrawlControl&) = default;
};

}  // namespace marovine
