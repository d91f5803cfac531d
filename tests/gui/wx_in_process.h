#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class wxWindow;

namespace marovine::testing {

class Sandbox;
class XvfbDisplay;

// wxWidgets running inside the test process on a private Xvfb, for tests that
// open the desktop program's dialogs directly and work their controls. GTK
// stays connected to the display it started on, so it starts once per process
// (ctest runs every test in a process of its own); the first caller's extra
// variables ("GDK_DPI_SCALE=1.5") decide how it starts.
class WxInProcess {
 public:
  // Nothing when wx could not start. A font name ("Sans 15") becomes the
  // desktop's font, as a user who enlarged it has it.
  static WxInProcess* Start(const std::vector<std::string>& extra_environment = {},
                            const std::string& desktop_font = "");
  const std::string& desktop_font() const { return desktop_font_; }

  const XvfbDisplay& display() const { return *display_; }
  const std::vector<std::string>& environment() const { return environment_; }

  // Handles events for a while so that windows get drawn.
  static void Pump(std::chrono::milliseconds duration);

 private:
  WxInProcess() = default;
  XvfbDisplay* display_ = nullptr;
  Sandbox* home_ = nullptr;
  std::vector<std::string> environment_;
  std::string desktop_font_;
};

// Runs `action` once after the delay, from whatever event loop runs then (a
// modal dialog's, say), so that loop has drawn its window in the meantime.
void AfterDelay(std::chrono::milliseconds delay, std::function<void()> action);

// Works a control as a click would: flips a check box, chooses a radio
// button, presses a button, each with the event the control sends.
void ClickControl(wxWindow* control);
// Types a whole new text into an edit.
void TypeText(wxWindow* edit, const std::string& text);

// What is wrong with the layout of the window's children: a text-bearing
// control smaller than it needs (its text cut) or two controls overlapping.
// Empty when nothing is.
std::vector<std::string> LayoutFaults(wxWindow* parent);

}  // namespace marovine::testing
