#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace marovine::testing {

// A private X server (Xvfb, 1024x768, 24 bits) for one test, on a display
// number the server picks itself so parallel tests never collide. GUI tests
// start the real programs on it and photograph the screen.
class XvfbDisplay {
 public:
  XvfbDisplay();
  ~XvfbDisplay();
  XvfbDisplay(const XvfbDisplay&) = delete;
  XvfbDisplay& operator=(const XvfbDisplay&) = delete;

  bool ok() const { return !name_.empty(); }
  // ":N", for XOpenDisplay and $DISPLAY.
  const std::string& name() const { return name_; }

  // The environment a GUI program under test gets: this display, a UTF-8
  // locale, and a home and XDG folders inside `home_folder` so that neither
  // GTK nor fontconfig writes into the user's home.
  std::vector<std::string> ProgramEnvironment(const std::string& home_folder) const;

  // Saves the whole screen as a PNG (xwd, xwdtopnm, pnmtopng).
  bool Screenshot(const std::string& png_path) const;
  // The same for any display (a test's child process knows only $DISPLAY).
  static bool ScreenshotOf(const std::string& display, const std::string& png_path);

 private:
  pid_t pid_ = -1;
  std::string name_;
};

// Where GUI tests leave their screenshots: "screenshots/" in the build folder
// (created), or the working directory outside ctest.
std::string ScreenshotPath(const std::string& file_name);

}  // namespace marovine::testing
