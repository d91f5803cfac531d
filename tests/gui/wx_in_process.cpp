#include "tests/gui/wx_in_process.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/init.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <cstdlib>
#include <thread>
#include <utility>

#include "tests/support/sandbox.h"
#include "tests/support/xvfb_display.h"

// GTK and fontconfig keep caches for the life of the process that
// LeakSanitizer would report as leaks of those libraries; the programs under
// test in child processes get the same setting through their environment.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

namespace marovine::testing {

WxInProcess* WxInProcess::Start(const std::vector<std::string>& extra_environment,
                                const std::string& desktop_font) {
  static WxInProcess* started = nullptr;
  static bool tried = false;
  if (tried) return started;
  tried = true;
  // Kept for the whole process: GTK holds on to the display until exit.
  static XvfbDisplay display;
  static Sandbox home;
  if (!display.ok()) return nullptr;
  auto* wx = new WxInProcess;
  wx->display_ = &display;
  wx->home_ = &home;
  wx->environment_ = display.ProgramEnvironment(home.path());
  wx->environment_.insert(wx->environment_.end(), extra_environment.begin(),
                          extra_environment.end());
  if (!desktop_font.empty()) {
    home.WriteFile(".config/gtk-3.0/settings.ini",
                   "[Settings]\ngtk-font-name = " + desktop_font + "\n");
    wx->desktop_font_ = desktop_font;
  }
  for (const std::string& variable : wx->environment_) {
    auto equals = variable.find('=');
    setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
  }
  static int argc = 1;
  static char name[] = "gui_tests";
  static char* argv[] = {name, nullptr};
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) return nullptr;
  started = wx;
  // GTK applies the desktop's settings (its font among them) from its loop;
  // a window measured before that would be laid out for the wrong font.
  Pump(std::chrono::milliseconds(300));
  return started;
}

void WxInProcess::Pump(std::chrono::milliseconds duration) {
  auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    wxTheApp->Yield(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

namespace {

class OneShot : public wxTimer {
 public:
  explicit OneShot(std::function<void()> action) : action_(std::move(action)) {}
  void Notify() override {
    auto action = std::move(action_);
    // The timer is done with before the action, which may run a loop of its own.
    CallAfter([this] { delete this; });
    action();
  }

 private:
  std::function<void()> action_;
};

}  // namespace

void AfterDelay(std::chrono::milliseconds delay, std::function<void()> action) {
  auto* timer = new OneShot(std::move(action));
  timer->StartOnce(static_cast<int>(delay.count()));
}

void ClickControl(wxWindow* control) {
  if (auto* box = dynamic_cast<wxCheckBox*>(control)) {
    box->SetValue(!box->GetValue());
    wxCommandEvent event(wxEVT_CHECKBOX, box->GetId());
    event.SetEventObject(box);
    event.SetInt(box->GetValue() ? 1 : 0);
    box->HandleWindowEvent(event);
  } else if (auto* radio = dynamic_cast<wxRadioButton*>(control)) {
    radio->SetValue(true);
    wxCommandEvent event(wxEVT_RADIOBUTTON, radio->GetId());
    event.SetEventObject(radio);
    event.SetInt(1);
    radio->HandleWindowEvent(event);
  } else if (control) {
    wxCommandEvent event(wxEVT_BUTTON, control->GetId());
    event.SetEventObject(control);
    control->HandleWindowEvent(event);
  }
}

void TypeText(wxWindow* edit, const std::string& text) {
  if (auto* box = dynamic_cast<wxTextCtrl*>(edit)) box->SetValue(wxString::FromUTF8(text));
}

std::vector<std::string> LayoutFaults(wxWindow* parent) {
  std::vector<std::string> faults;
  std::vector<wxWindow*> shown;
  for (wxWindow* child : parent->GetChildren()) {
    if (child->IsShown()) shown.push_back(child);
  }
  auto name = [](wxWindow* window) {
    std::string label = window->GetLabel().utf8_string();
    return wxString(window->GetClassInfo()->GetClassName()).utf8_string() + " \"" + label + "\"";
  };
  for (wxWindow* child : shown) {
    // Edits may be narrower than GTK would like; text that labels something
    // must fit.
    bool labels = dynamic_cast<wxCheckBox*>(child) || dynamic_cast<wxRadioButton*>(child) ||
                  dynamic_cast<wxButton*>(child) || dynamic_cast<wxStaticText*>(child);
    wxSize need = child->GetBestSize(), have = child->GetSize();
    if (labels && (have.x + 1 < need.x || have.y + 1 < need.y)) {
      faults.push_back(name(child) + " is cut: " + std::to_string(have.x) + "x" +
                       std::to_string(have.y) + " of " + std::to_string(need.x) + "x" +
                       std::to_string(need.y));
    }
    // An edit must be tall enough for its font's ascenders and descenders.
    auto* edit = dynamic_cast<wxTextCtrl*>(child);
    int text_height = child->GetTextExtent(wxString::FromUTF8("Agy漢")).y;
    if (edit && !edit->IsMultiLine() && have.y < text_height + child->FromDIP(4)) {
      faults.push_back(name(child) + " is too low for its text: " + std::to_string(have.y) +
                       " for " + std::to_string(text_height));
    }
  }
  for (wxWindow* child : shown) {
    // A frame's title must fit along its top edge; what it frames is checked
    // as a window of its own.
    if (auto* frame = dynamic_cast<wxStaticBox*>(child)) {
      int title = frame->GetTextExtent(frame->GetLabel()).x + frame->FromDIP(12);
      if (frame->GetSize().x < title) faults.push_back(name(frame) + " is narrower than its title");
      auto inner = LayoutFaults(frame);
      faults.insert(faults.end(), inner.begin(), inner.end());
    }
  }
  for (std::size_t i = 0; i < shown.size(); ++i) {
    for (std::size_t j = i + 1; j < shown.size(); ++j) {
      if (shown[i]->GetRect().Intersects(shown[j]->GetRect())) {
        faults.push_back(name(shown[i]) + " overlaps " + name(shown[j]));
      }
    }
  }
  return faults;
}

}  // namespace marovine::testing
