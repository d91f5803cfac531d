#pragma once

#include <string>
#include <vector>

#include "plov/core/install_host.h"
#include "plov/core/setup_script.h"

namespace plov {

// Exit codes of every role.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitCancelled = 2;

// What one run of a role shares: the host, the installer's own paths, the
// caption of its boxes and a record of every change made so far. The record
// is written to the temporary folder when a step fails, because no step is
// undone and the user has to know what to clean up by hand.
class Session {
 public:
  Session(InstallHost& host, std::string log_name);

  InstallHost& host() { return host_; }
  const OwnPaths& own() const { return own_; }
  char separator() const { return style_.separator; }
  const PathStyle& style() const { return style_; }
  std::string Join(const std::string& folder, const std::string& name) const {
    return folder + style_.separator + name;
  }

  void set_caption(std::string caption) { caption_ = std::move(caption); }
  const std::string& caption() const { return caption_; }

  void Note(std::string change) { changes_.push_back(std::move(change)); }

  // An error box ("Error !") and kExitFailed.
  int Fail(int number, const std::string& argument = {}, int code = 0);
  void Inform(int number, MessageKind kind = MessageKind::kInformation);
  bool Confirm(int number);

 private:
  InstallHost& host_;
  PathStyle style_;
  OwnPaths own_;
  std::string log_name_;
  std::string caption_;
  std::vector<std::string> changes_;
};

}  // namespace plov
