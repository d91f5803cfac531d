#pragma once

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace marovine::testing {

// What a top-level window created for a test should look like to a window
// enumerator.
struct TestWindowLook {
  std::string title;
  bool legacy_title = false;  // WM_NAME only, as older programs set it
  bool mapped = true;
  Window owner = None;   // WM_TRANSIENT_FOR
  bool desktop = false;  // _NET_WM_WINDOW_TYPE_DESKTOP
};

// A window on the test's X server, standing for another application.
class TestWindow {
 public:
  TestWindow(Display* display, const TestWindowLook& look);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  Window id() const { return window_; }

 private:
  Display* display_;
  Window window_;
};

// The first mapped child of the root whose _NET_WM_NAME or WM_NAME is `title`.
std::optional<Window> FindMappedWindowTitled(Display* display, const std::string& title);

// True once a pixel near the window's corner is no longer the black a fresh
// window starts with.
bool HasBeenPainted(Display* display, Window window);

// Asks a window to close, as a window manager's close button does.
void RequestClose(Display* display, Window window);

// The window's top-left corner on the screen.
std::pair<int, int> ScreenPosition(Display* display, Window window);

// Gives a window the keyboard focus and types keys on the real keyboard
// (XTest), as a user would: programs ignore key events sent to them by others.
void TypeKeys(Display* display, Window window, const std::vector<KeySym>& keys);

// True when the window asks to be kept above others (_NET_WM_STATE_ABOVE).
bool WantsToStayOnTop(Display* display, Window window);

// Writes the window list the way a window manager publishes it.
void PublishClientList(Display* display, const char* property, const Window* windows, int count);

}  // namespace marovine::testing
