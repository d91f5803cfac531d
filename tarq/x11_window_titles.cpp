#include "tarq/x11_window_titles.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace marovine::tarq {
namespace {

// Windows may vanish while we look at them; their errors must not end the
// program (Xlib's default handler exits).
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

class XErrorsIgnored {
 public:
  explicit XErrorsIgnored(Display* display) : display_(display) {
    XSync(display_, False);
    previous_ = XSetErrorHandler(IgnoreXError);
  }
  ~XErrorsIgnored() {
    XSync(display_, False);
    XSetErrorHandler(previous_);
  }
  XErrorsIgnored(const XErrorsIgnored&) = delete;
  XErrorsIgnored& operator=(const XErrorsIgnored&) = delete;

 private:
  Display* display_;
  int (*previous_)(Display*, XErrorEvent*) = nullptr;
};

// The items of a property of 32-bit format (windows, atoms, cardinals), or
// nothing when the window has no such property of that type.
std::optional<std::vector<unsigned long>> LongProperty(Display* display, Window window,
                                                       Atom property, Atom type) {
  Atom actual_type = None;
  int actual_format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, property, 0, 65536, False, type, &actual_type,
                         &actual_format, &count, &remaining, &data) != Success) {
    return std::nullopt;
  }
  std::optional<std::vector<unsigned long>> items;
  if (data && actual_type == type && actual_format == 32) {
    auto* values = reinterpret_cast<unsigned long*>(data);
    items.emplace(values, values + count);
  }
  if (data) XFree(data);
  return items;
}

std::string Utf8Title(Display* display, Window window, Atom net_wm_name, Atom utf8_string) {
  Atom actual_type = None;
  int actual_format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, net_wm_name, 0, 4096, False, utf8_string, &actual_type,
                         &actual_format, &count, &remaining, &data) == Success &&
      data && actual_type == utf8_string && actual_format == 8) {
    title.assign(reinterpret_cast<char*>(data), count);
  }
  if (data) XFree(data);
  if (!title.empty()) return title;

  // Older programs only set WM_NAME, in Latin-1 or compound text.
  XTextProperty text{};
  if (!XGetWMName(display, window, &text) || !text.value) return {};
  char** list = nullptr;
  int list_count = 0;
  if (Xutf8TextPropertyToTextList(display, &text, &list, &list_count) >= Success && list) {
    if (list_count > 0 && list[0]) title = list[0];
    XFreeStringList(list);
  }
  XFree(text.value);
  return title;
}

struct Atoms {
  explicit Atoms(Display* display)
      : client_list(XInternAtom(display, "_NET_CLIENT_LIST", False)),
        client_list_stacking(XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False)),
        net_wm_name(XInternAtom(display, "_NET_WM_NAME", False)),
        utf8_string(XInternAtom(display, "UTF8_STRING", False)),
        window_type(XInternAtom(display, "_NET_WM_WINDOW_TYPE", False)),
        type_desktop(XInternAtom(display, "_NET_WM_WINDOW_TYPE_DESKTOP", False)),
        wm_state(XInternAtom(display, "WM_STATE", False)) {}
  Atom client_list, client_list_stacking, net_wm_name, utf8_string, window_type, type_desktop,
      wm_state;
};

// Front first, as the user sees them: the stacking list (bottom to top)
// reversed when the window manager keeps one, else its plain client list, else
// the root's children (also bottom to top).
std::vector<Window> CandidateWindows(Display* display, Window root, const Atoms& atoms) {
  std::vector<Window> windows;
  if (auto stacking = LongProperty(display, root, atoms.client_list_stacking, XA_WINDOW);
      stacking && !stacking->empty()) {
    windows.assign(stacking->rbegin(), stacking->rend());
  } else if (auto clients = LongProperty(display, root, atoms.client_list, XA_WINDOW);
             clients && !clients->empty()) {
    windows.assign(clients->begin(), clients->end());
  } else {
    Window root_return = None, parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &root_return, &parent, &children, &count) && children) {
      windows.assign(children, children + count);
      std::reverse(windows.begin(), windows.end());
    }
    if (children) XFree(children);
  }
  return windows;
}

// Minimised windows count as shown, as they did on the original platform:
// the window manager unmaps them but marks them iconic.
bool IsShown(Display* display, Window window, const Atoms& atoms) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes)) return false;
  if (attributes.map_state == IsViewable) return true;
  auto state = LongProperty(display, window, atoms.wm_state, atoms.wm_state);
  return state && !state->empty() && state->front() == IconicState;
}

bool HasOwner(Display* display, Window window) {
  Window owner = None;
  return XGetTransientForHint(display, window, &owner) != 0;
}

bool IsDesktop(Display* display, Window window, const Atoms& atoms) {
  auto types = LongProperty(display, window, atoms.window_type, XA_ATOM);
  return types && std::find(types->begin(), types->end(), atoms.type_desktop) != types->end();
}

}  // namespace

std::vector<std::string> TopLevelWindowTitles(Display* display) {
  std::vector<std::string> titles;
  if (!display) return titles;
  XErrorsIgnored ignore_vanished_windows(display);
  Atoms atoms(display);
  Window root = DefaultRootWindow(display);
  for (Window window : CandidateWindows(display, root, atoms)) {
    if (!IsShown(display, window, atoms) || HasOwner(display, window) ||
        IsDesktop(display, window, atoms)) {
      continue;
    }
    std::string title = Utf8Title(display, window, atoms.net_wm_name, atoms.utf8_string);
    if (!title.empty()) titles.push_back(std::move(title));
  }
  return titles;
}

std::vector<std::string> TopLevelWindowTitlesOfDefaultDisplay() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return {};
  auto titles = TopLevelWindowTitles(display);
  XCloseDisplay(display);
  return titles;
}

}  // namespace marovine::tarq
