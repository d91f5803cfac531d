#pragma once

#include <string>
#include <vector>

namespace marovine {

class CrawlControl;

// Sound events of the crawl.
enum CrawlSoundEvent : int {
  SOUND_START = 1,
  SOUND_STOP = 2,
  SOUND_FILE_FETCHED = 5,
  SOUND_NEXT_SITE = 6,
  SOUND_ALL_DONE = 7,
};

// What the crawl asks of the parts around it: sounds, the schedule, dial-up,
// power, the clipboard watch, the quick view, the main window and the album
// of a finished site. The base class does nothing, except the album after a
// site, which it makes for real (without a progress display), so that every
// front end gets it. The GUI overrides what it shows; the tests record.
class CrawlHooks {
 public:
  virtual ~CrawlHooks() = default;

  virtual void PlayEventSound(int /*event*/) {}
  // The daily time-window check (maintenance, every 26 seconds).
  virtual void ScheduleCheck(CrawlControl& /*crawl*/) {}
  virtual void ClipboardWatchStep(CrawlControl& /*crawl*/) {}
  // Before a transfer starts with DialKeep on: makes sure the line is up.
  // False when the user cancelled dialling; DialKeep is then switched off.
  virtual bool DialUpKeepCheck(CrawlControl& /*crawl*/) { return true; }
  virtual void HangUp() {}
  // The power-management step after all searches (standby, shutdown, ...).
  virtual void PowerManagement(CrawlControl& /*crawl*/) {}
  // Ends the program through its normal close path.
  virtual void CloseMainWindow() {}
  virtual void ShowInQuickView(const std::string& /*path*/) {}
  // The album of link item `link_index`, whose site has just finished. False
  // when it could not be written.
  virtual bool MakeSiteAlbum(const CrawlControl& crawl, int link_index);
};

// The automatic album of a finished site, from the finished records of the
// download list. Answers whether the album and its index entry were made.
bool MakeAutomaticAlbumAfterSite(const CrawlControl& crawl, int link_index);

}  // namespace marovine
