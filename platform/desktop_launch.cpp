#include "platform/desktop_launch.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <vector>

extern char** environ;

namespace platform {
namespace {

bool IsWebAddress(const std::string& target) {
  return target.starts_with("http://") || target.starts_with("https://") ||
         target.starts_with("ftp://");
}

// Starts argv[0] (looked up in PATH when it has no separator) with its
// output discarded, and reaps it on a thread of its own so that no zombie is
// left and the caller never waits for it.
bool Spawn(std::vector<std::string> args) {
  posix_spawn_file_actions_t actions;
  if (::posix_spawn_file_actions_init(&actions) != 0) return false;
  (void)::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  (void)::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  (void)::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int error = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return false;
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace

bool OpenWithDesktop(const std::string& target) {
  if (target.empty()) return false;
  if (!IsWebAddress(target) && ::access(target.c_str(), F_OK) != 0) return false;
  // "--" is not understood by xdg-open; a name starting with "-" is made a
  // path instead, so it is never read as an option.
  std::string argument = target;
  if (argument.front() == '-') argument.insert(0, "./");
  return Spawn({"xdg-open", argument});
}

bool StartDetachedProgram(const std::string& path) {
  if (path.find('/') == std::string::npos || ::access(path.c_str(), X_OK) != 0) return false;
  return Spawn({path});
}

}  // namespace platform
