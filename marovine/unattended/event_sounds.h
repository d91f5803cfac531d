#pragma once

#include <string>

#include "platform/profile.h"

namespace marovine {

// The program's sound events, numbered as the settings number their keys.
enum EventSoundId : int {
  EVENT_CRAWL_START = 1,
  EVENT_CRAWL_STOP = 2,
  EVENT_PROGRAM_START = 3,
  EVENT_PROGRAM_END = 4,
  EVENT_DOWNLOAD_DONE = 5,
  EVENT_LINK_SEARCH_DONE = 6,
  EVENT_ALL_DONE = 7,
  EVENT_URL_PASTED = 8,
};

// Plays sound files. A sound never interrupts one that is still playing:
// asked while one plays, it is not played at all.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Starts the file and returns at once. A file that cannot be played plays
  // nothing, and nothing is shown.
  virtual void Play(const std::string& path) = 0;
  // Plays the file and returns when it has ended, or at the latest a second
  // after its length, so that a sound server that never reports back cannot
  // hold the caller.
  virtual void PlayToEnd(const std::string& path) = 0;
};

// The sound of event `event` (1 to 8) when its "Check" key is on, read from
// the settings at this moment. The program's end waits for its sound.
void PlayEventSound(const platform::Profile& profile, SoundPlayer& player, int event);

}  // namespace marovine
