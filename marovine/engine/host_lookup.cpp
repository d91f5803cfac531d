#include "marovine/engine/host_lookup.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace marovine {

struct HostLookup::Shared {
  std::mutex mutex;
  std::condition_variable done_signal;
  bool done = false;
  int error = 0;
  addrinfo* list = nullptr;
  ~Shared() {
    if (list != nullptr) ::freeaddrinfo(list);
  }
};

namespace {

int Lookup(const std::string& host, const std::string& service, int flags, addrinfo** list) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = flags;
  return ::getaddrinfo(host.c_str(), service.c_str(), &hints, list);
}

}  // namespace

HostLookup::Result HostLookup::Run(const std::string& host, int port,
                                   const std::atomic<bool>& stop) {
  shared_ = std::make_shared<Shared>();
  const std::string service = std::to_string(port);
  // Addresses written as numbers need no name server and no thread.
  if (Lookup(host, service, AI_NUMERICHOST, &shared_->list) == 0 && shared_->list != nullptr) {
    return Result::kOk;
  }
  shared_->list = nullptr;
  if (stop.load()) return Result::kStopped;
  try {
    std::thread([shared = shared_, host, service] {
      addrinfo* list = nullptr;
      int error = Lookup(host, service, 0, &list);
      std::lock_guard lock(shared->mutex);
      shared->list = list;
      shared->error = error;
      shared->done = true;
      shared->done_signal.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return Result::kFailed;
  }
  std::unique_lock lock(shared_->mutex);
  while (!shared_->done) {
    if (stop.load()) return Result::kStopped;
    shared_->done_signal.wait_for(lock, std::chrono::milliseconds(200));
  }
  return shared_->error == 0 && shared_->list != nullptr ? Result::kOk : Result::kFailed;
}

const addrinfo* HostLookup::addresses() const {
  return shared_ != nullptr ? shared_->list : nullptr;
}

}  // namespace marovine
