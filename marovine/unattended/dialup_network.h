#pragma once

#include <optional>
#include <string>
#include <vector>

namespace marovine {

// A connection the user can dial: one of the system's connection profiles.
struct DialUpEntry {
  std::string path;  // the profile's object path
  std::string name;  // what the user sees
  std::string type;  // "gsm", "pppoe", "vpn", "802-3-ethernet", ...
  bool dial_up = false;
};

struct DialUpCredentials {
  std::string user;
  std::string password;
};

// How far an attempt has come.
enum class DialStage { kStarted, kDialling, kAuthenticating, kAuthenticated, kConnected, kFailed };

struct DialProgress {
  DialStage stage = DialStage::kStarted;
  std::string failure;  // the reason, when failed
};

// The system's dial-up service as the dial-up dialog and the schedule use it.
class DialUpNetwork {
 public:
  virtual ~DialUpNetwork() = default;
  // Every entry, the dial-up kinds first; nothing when the list cannot be
  // read (no service).
  virtual std::optional<std::vector<DialUpEntry>> ListEntries() = 0;
  // The user name and password the entry keeps, where the service lends them.
  virtual DialUpCredentials Credentials(const DialUpEntry& entry) = 0;
  // Starts dialling; the handle of the attempt, or nothing with `error` set.
  // `typed` are a user name and password typed over the entry's own: they
  // serve this attempt only, and the entry keeps what it has.
  virtual std::optional<std::string> Dial(const DialUpEntry& entry,
                                          const std::optional<DialUpCredentials>& typed,
                                          std::string& error) = 0;
  virtual DialProgress Progress(const std::string& handle) = 0;
  virtual void HangUp(const std::string& handle) = 0;
  // The handles of the dial-up connections that are up (the dial-up kinds and
  // the entry the user chose, `chosen_path`); nothing when they cannot be
  // read.
  virtual std::optional<std::vector<std::string>> Connections(const std::string& chosen_path) = 0;
};

// NetworkManager on the system bus: entries are its connection profiles,
// dialling activates one, hanging up deactivates it.
class NetworkManagerDialUp : public DialUpNetwork {
 public:
  std::optional<std::vector<DialUpEntry>> ListEntries() override;
  DialUpCredentials Credentials(const DialUpEntry& entry) override;
  // Typed credentials dial a copy of the profile that NetworkManager forgets
  // when it is hung up.
  std::optional<std::string> Dial(const DialUpEntry& entry,
                                  const std::optional<DialUpCredentials>& typed,
                                  std::string& error) override;
  DialProgress Progress(const std::string& handle) override;
  void HangUp(const std::string& handle) override;
  std::optional<std::vector<std::string>> Connections(const std::string& chosen_path) override;
};

}  // namespace marovine
