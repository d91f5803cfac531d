#include "marovine/unattended/canberra_sound_player.h"

#include <canberra.h>
#include <sndfile.h>

#include <memory>

namespace marovine {

namespace {

struct ProplistDeleter {
  void operator()(ca_proplist* list) const { ca_proplist_destroy(list); }
};
struct SndfileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};

}  // namespace

std::chrono::milliseconds SoundFileLength(const std::string& path) {
  SF_INFO info{};
  std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
  if (!file || info.samplerate <= 0 || info.frames <= 0) return std::chrono::milliseconds(0);
  return std::chrono::milliseconds(info.frames * 1000 / info.samplerate);
}

CanberraSoundPlayer::CanberraSoundPlayer() = default;

CanberraSoundPlayer::~CanberraSoundPlayer() {
  // Destroying the context cancels what still plays; its callback may still
  // run meanwhile and needs this object.
  if (context_ != nullptr) ca_context_destroy(context_);
}

bool CanberraSoundPlayer::Playing() const {
  std::lock_guard lock(mutex_);
  return playing_ != 0;
}

void CanberraSoundPlayer::Finished(ca_context* /*context*/, std::uint32_t id, int /*error*/,
                                   void* self) {
  auto* player = static_cast<CanberraSoundPlayer*>(self);
  {
    std::lock_guard lock(player->mutex_);
    if (player->playing_ == id) player->playing_ = 0;
  }
  player->ended_.notify_all();
}

std::uint32_t CanberraSoundPlayer::Start(const std::string& path) {
  if (path.empty() || open_failed_) return 0;
  if (context_ == nullptr) {
    if (ca_context_create(&context_) != CA_SUCCESS) {
      context_ = nullptr;
      open_failed_ = true;
      return 0;
    }
    ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "marovine", CA_PROP_APPLICATION_ID,
                            "marovine", nullptr);
    if (ca_context_open(context_) != CA_SUCCESS) {
      ca_context_destroy(context_);
      context_ = nullptr;
      open_failed_ = true;
      return 0;
    }
  }
  std::uint32_t id = 0;
  {
    std::lock_guard lock(mutex_);
    if (playing_ != 0) return 0;  // a sound that plays is not cut off
    id = ++last_id_;
    if (id == 0) id = ++last_id_;
    playing_ = id;
  }
  ca_proplist* raw = nullptr;
  if (ca_proplist_create(&raw) != CA_SUCCESS) {
    std::lock_guard lock(mutex_);
    playing_ = 0;
    return 0;
  }
  std::unique_ptr<ca_proplist, ProplistDeleter> props(raw);
  ca_proplist_sets(props.get(), CA_PROP_MEDIA_FILENAME, path.c_str());
  // The user's own files: not kept in the sound server's sample cache.
  ca_proplist_sets(props.get(), CA_PROP_CANBERRA_CACHE_CONTROL, "never");
  if (ca_context_play_full(context_, id, props.get(), &CanberraSoundPlayer::Finished, this) !=
      CA_SUCCESS) {
    std::lock_guard lock(mutex_);
    if (playing_ == id) playing_ = 0;
    return 0;
  }
  return id;
}

void CanberraSoundPlayer::Play(const std::string& path) { (void)Start(path); }

void CanberraSoundPlayer::PlayToEnd(const std::string& path) {
  std::chrono::milliseconds limit = SoundFileLength(path) + std::chrono::seconds(1);
  std::uint32_t id = Start(path);
  if (id == 0) return;
  std::unique_lock lock(mutex_);
  ended_.wait_for(lock, limit, [this, id] { return playing_ != id; });
}

}  // namespace marovine
