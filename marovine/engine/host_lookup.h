#pragma once

#include <netdb.h>

#include <atomic>
#include <memory>
#include <string>

namespace marovine {

// The addresses of a host, looked up so that a stop request is seen within a
// second even while a name server is slow: numeric addresses are taken at
// once, names are looked up on a helper thread that is left to finish on its
// own when the stop comes first.
class HostLookup {
 public:
  enum class Result { kOk, kFailed, kStopped };

  Result Run(const std::string& host, int port, const std::atomic<bool>& stop);

  // The addresses found (valid after kOk, as long as this object lives).
  const addrinfo* addresses() const;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

}  // namespace marovine
