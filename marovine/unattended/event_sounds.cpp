#include "marovine/unattended/event_sounds.h"

#include "marovine/document/settings_keys.h"

namespace marovine {

void PlayEventSound(const platform::Profile& profile, SoundPlayer& player, int event) {
  if (event < EVENT_CRAWL_START || event > EVENT_URL_PASTED) return;
  EventSound sound = EventSoundFor(profile, event);
  if (!sound.enabled || sound.wave_file.empty()) return;
  if (event == EVENT_PROGRAM_END) {
    player.PlayToEnd(sound.wave_file);
  } else {
    player.Play(sound.wave_file);
  }
}

}  // namespace marovine
