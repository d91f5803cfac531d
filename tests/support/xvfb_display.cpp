#include "tests/support/xvfb_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/path.h"
#include "tests/support/child_process.h"

extern char** environ;

namespace marovine::testing {
namespace {

// Reads what Xvfb writes to -displayfd (the number and a line end) once it
// accepts clients.
std::string ReadDisplayNumber(int fd, int timeout_ms) {
  std::string number;
  pollfd waiting{fd, POLLIN, 0};
  while (::poll(&waiting, 1, timeout_ms) > 0) {
    char c = 0;
    if (::read(fd, &c, 1) != 1) break;
    if (c == '\n') return number;
    number += c;
  }
  return {};
}

}  // namespace

XvfbDisplay::XvfbDisplay() {
  std::string xvfb = FindProgram("Xvfb");
  if (xvfb.empty()) return;
  int ends[2];
  if (::pipe(ends) != 0) return;
  std::string write_end = std::to_string(ends[1]);
  std::vector<std::string> argv = {xvfb,          "-displayfd", write_end, "-screen", "0",
                                   "1024x768x24", "-nolisten",  "tcp",     "-noreset"};
  std::vector<char*> args;
  for (auto& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, ends[0]);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  ::close(ends[1]);
  if (pid_ > 0) {
    std::string number = ReadDisplayNumber(ends[0], 20000);
    if (!number.empty()) name_ = ":" + number;
  }
  ::close(ends[0]);
}

XvfbDisplay::~XvfbDisplay() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
}

std::vector<std::string> XvfbDisplay::ProgramEnvironment(const std::string& home_folder) const {
  std::string home = platform::WithTrailingSeparator(home_folder);
  // Without it the programs fall back to their own runtime folder.
  (void)platform::MakeFolders(home + "runtime");
  ::chmod((home + "runtime").c_str(), 0700);
  return {"DISPLAY=" + name_, "LANG=C.UTF-8", "LC_ALL=C.UTF-8", "HOME=" + home,
          "XDG_CONFIG_HOME=" + home + ".config", "XDG_CACHE_HOME=" + home + ".cache",
          "XDG_DATA_HOME=" + home + ".local/share", "XDG_RUNTIME_DIR=" + home + "runtime",
          "GDK_BACKEND=x11", "NO_AT_BRIDGE=1", "GSETTINGS_BACKEND=memory",
          // wxWidgets and GTK keep caches for the life of the process that
          // LeakSanitizer reports as leaks in those libraries.
          "ASAN_OPTIONS=detect_leaks=0"};
}

bool XvfbDisplay::Screenshot(const std::string& png_path) const {
  return ok() && ScreenshotOf(name_, png_path);
}

bool XvfbDisplay::ScreenshotOf(const std::string& display, const std::string& png_path) {
  std::string xwd = FindProgram("xwd"), to_pnm = FindProgram("xwdtopnm"),
              to_png = FindProgram("pnmtopng");
  if (display.empty() || xwd.empty() || to_pnm.empty() || to_png.empty()) return false;
  std::string xwd_path = png_path + ".xwd", pnm_path = png_path + ".pnm";
  bool done =
      ChildProcess({xwd, "-display", display, "-root", "-silent", "-out", xwd_path}).Wait() == 0 &&
      ChildProcess({to_pnm, xwd_path}, {}, pnm_path, "/dev/null").Wait() == 0 &&
      ChildProcess({to_png, pnm_path}, {}, png_path, "/dev/null").Wait() == 0;
  // Intermediate pictures left beside the screenshot are only clutter.
  (void)platform::RemoveFile(xwd_path);
  (void)platform::RemoveFile(pnm_path);
  return done;
}

std::string ScreenshotPath(const std::string& file_name) {
  const char* build = std::getenv("MAROVINE_BUILD_DIR");
  std::string folder = (build && *build) ? platform::JoinPath(build, "screenshots/") : "";
  // A folder that cannot be made fails the screenshot, which reports it.
  if (!folder.empty()) (void)platform::MakeFolders(folder);
  return folder + file_name;
}

}  // namespace marovine::testing
