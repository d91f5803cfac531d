#include "marovine/unattended/canberra_sound_player.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>

#include "marovine/unattended/lazy_sound_libraries.h"

namespace marovine {

namespace {

// Both exist only once their library has loaded.
struct ProplistDeleter {
  void operator()(ca_proplist* list) const { LoadCanberra()->proplist_destroy(list); }
};
struct SndfileCloser {
  void operator()(SNDFILE* file) const { LoadSndfile()->close(file); }
};

constexpr std::chrono::seconds kEndGrace{1};

}  // namespace

// What the caller's thread, the sound thread and libcanberra's callback
// share; everything under `mutex`.
struct CanberraSoundPlayer::Shared {
  std::mutex mutex;
  std::condition_variable changed;
  std::optional<std::string> request;  // a file waiting for the sound thread
  bool busy = false;                   // a sound asked for and not yet ended
  std::uint32_t playing_id = 0;
  std::uint32_t last_id = 0;
  bool stop = false;
  bool exited = false;
  // Touched by the sound thread alone.
  ca_context* context = nullptr;
  bool open_failed = false;

  void Run();
  bool Open();
  void Start(const std::string& path);
  void Ended(std::uint32_t id);
  static void Finished(ca_context* context, std::uint32_t id, int error, void* self);
};

std::chrono::milliseconds SoundFileLength(const std::string& path) {
  const SndfileFunctions* sf = LoadSndfile();
  if (sf == nullptr) return std::chrono::milliseconds(0);
  SF_INFO info{};
  std::unique_ptr<SNDFILE, SndfileCloser> file(sf->open(path.c_str(), SFM_READ, &info));
  if (!file || info.samplerate <= 0 || info.frames <= 0) return std::chrono::milliseconds(0);
  return std::chrono::milliseconds(info.frames * 1000 / info.samplerate);
}

void CanberraSoundPlayer::Shared::Finished(ca_context* /*context*/, std::uint32_t id, int /*error*/,
                                           void* self) {
  static_cast<Shared*>(self)->Ended(id);
}

void CanberraSoundPlayer::Shared::Ended(std::uint32_t id) {
  {
    std::lock_guard lock(mutex);
    if (playing_id != id) return;
    playing_id = 0;
    busy = false;
  }
  changed.notify_all();
}

bool CanberraSoundPlayer::Shared::Open() {
  if (context != nullptr) return true;
  if (open_failed) return false;
  // Without libcanberra there is no sound server to reach, as when none runs.
  const CanberraFunctions* ca = LoadCanberra();
  if (ca == nullptr || ca->context_create(&context) != CA_SUCCESS) {
    context = nullptr;
    open_failed = true;
    return false;
  }
  ca->context_change_props(context, CA_PROP_APPLICATION_NAME, "marovine", CA_PROP_APPLICATION_ID,
                           "marovine", nullptr);
  if (ca->context_open(context) != CA_SUCCESS) {
    ca->context_destroy(context);
    context = nullptr;
    open_failed = true;
    return false;
  }
  return true;
}

void CanberraSoundPlayer::Shared::Start(const std::string& path) {
  std::uint32_t id = 0;
  {
    std::lock_guard lock(mutex);
    id = ++last_id;
    if (id == 0) id = ++last_id;
    playing_id = id;
  }
  ca_proplist* raw = nullptr;
  bool started = false;
  // Open() answers true only once libcanberra has loaded.
  const CanberraFunctions* ca = Open() ? LoadCanberra() : nullptr;
  if (ca != nullptr && ca->proplist_create(&raw) == CA_SUCCESS) {
    std::unique_ptr<ca_proplist, ProplistDeleter> props(raw);
    ca->proplist_sets(props.get(), CA_PROP_MEDIA_FILENAME, path.c_str());
    // The user's own files: not kept in the sound server's sample cache.
    ca->proplist_sets(props.get(), CA_PROP_CANBERRA_CACHE_CONTROL, "never");
    started =
        ca->context_play_full(context, id, props.get(), &Shared::Finished, this) == CA_SUCCESS;
  }
  // A file that cannot be played plays nothing, silently.
  if (!started) Ended(id);
}

void CanberraSoundPlayer::Shared::Run() {
  std::unique_lock lock(mutex);
  while (true) {
    changed.wait(lock, [this] { return stop || request.has_value(); });
    if (stop) break;
    std::string path = std::move(*request);
    request.reset();
    lock.unlock();
    Start(path);
    lock.lock();
  }
  lock.unlock();
  // Cancels what still plays; its callback runs meanwhile and needs us.
  if (context != nullptr) LoadCanberra()->context_destroy(context);
  lock.lock();
  exited = true;
  changed.notify_all();
}

CanberraSoundPlayer::CanberraSoundPlayer() : shared_(std::make_shared<Shared>()) {
  worker_ = std::thread([shared = shared_] { shared->Run(); });
}

CanberraSoundPlayer::~CanberraSoundPlayer() {
  std::unique_lock lock(shared_->mutex);
  shared_->stop = true;
  shared_->changed.notify_all();
  bool exited = shared_->changed.wait_for(lock, kEndGrace, [this] { return shared_->exited; });
  lock.unlock();
  if (exited) {
    worker_.join();
  } else {
    // It keeps its own share of the state until the sound server lets go.
    worker_.detach();
  }
}

bool CanberraSoundPlayer::Playing() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->busy;
}

void CanberraSoundPlayer::Play(const std::string& path) {
  if (path.empty()) return;
  std::lock_guard lock(shared_->mutex);
  if (shared_->busy) return;  // a sound that plays is not cut off
  shared_->busy = true;
  shared_->request = path;
  shared_->changed.notify_all();
}

void CanberraSoundPlayer::PlayToEnd(const std::string& path) {
  if (path.empty()) return;
  std::chrono::milliseconds limit = SoundFileLength(path) + kEndGrace;
  std::unique_lock lock(shared_->mutex);
  if (shared_->busy) return;
  shared_->busy = true;
  shared_->request = path;
  shared_->changed.notify_all();
  shared_->changed.wait_for(lock, limit, [this] { return !shared_->busy; });
}

}  // namespace marovine
