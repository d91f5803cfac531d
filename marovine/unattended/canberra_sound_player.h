#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "marovine/unattended/event_sounds.h"

struct ca_context;

namespace marovine {

// Sound files played through libcanberra, which hands them to the desktop's
// sound server (PulseAudio or PipeWire) and reports when each has ended.
// Without a sound server nothing plays and nothing is said.
class CanberraSoundPlayer : public SoundPlayer {
 public:
  CanberraSoundPlayer();
  ~CanberraSoundPlayer() override;
  CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
  CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

  void Play(const std::string& path) override;
  void PlayToEnd(const std::string& path) override;

  // True while a sound started here has not ended.
  bool Playing() const;

 private:
  // The id of the sound started, or 0 when it was not (one still plays, or
  // the file or the sound server failed).
  std::uint32_t Start(const std::string& path);
  static void Finished(ca_context* context, std::uint32_t id, int error, void* self);

  ca_context* context_ = nullptr;
  bool open_failed_ = false;
  // The sound that plays (0 none) and its end, reported on libcanberra's
  // thread.
  mutable std::mutex mutex_;
  std::condition_variable ended_;
  std::uint32_t playing_ = 0;
  std::uint32_t last_id_ = 0;
};

// How long a sound file lasts; zero when its length cannot be read.
std::chrono::milliseconds SoundFileLength(const std::string& path);

}  // namespace marovine
