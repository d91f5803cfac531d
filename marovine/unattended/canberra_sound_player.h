#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "marovine/unattended/event_sounds.h"

namespace marovine {

// Sound files played through libcanberra, which hands them to the desktop's
// sound server (PulseAudio or PipeWire) and reports when each has ended.
// Without a sound server (or libcanberra) nothing plays and nothing is said.
// libcanberra is loaded with the first sound, not when the program starts.
//
// libcanberra is called on a thread of this player's own: a sound server
// that does not answer holds that thread, never the caller. The program's
// end waits for its sound at most the sound's length and a second.
class CanberraSoundPlayer : public SoundPlayer {
 public:
  CanberraSoundPlayer();
  // Waits a moment for the sound thread; one held by a sound server that
  // does not answer is left behind rather than holding the program's end.
  ~CanberraSoundPlayer() override;
  CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
  CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

  void Play(const std::string& path) override;
  void PlayToEnd(const std::string& path) override;

  // True while a sound asked for here has not ended.
  bool Playing() const;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread worker_;
};

// How long a sound file lasts (libsndfile); zero when it cannot be read.
std::chrono::milliseconds SoundFileLength(const std::string& path);

}  // namespace marovine
