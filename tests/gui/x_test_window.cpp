#include "tests/gui/x_test_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <thread>

namespace marovine::testing {
namespace {

Atom Intern(Display* display, const char* name) { return XInternAtom(display, name, False); }

std::string TitleOf(Display* display, Window window) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, Intern(display, "_NET_WM_NAME"), 0, 1024, False,
                         Intern(display, "UTF8_STRING"), &type, &format, &count, &remaining,
                         &data) == Success &&
      data && format == 8) {
    title.assign(reinterpret_cast<char*>(data), count);
  }
  if (data) XFree(data);
  if (title.empty()) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) title = name;
    if (name) XFree(name);
  }
  return title;
}

}  // namespace

TestWindow::TestWindow(Display* display, const TestWindowLook& look) : display_(display) {
  window_ =
      XCreateSimpleWindow(display, DefaultRootWindow(display), 600, 400, 120, 80, 0, 0, 0x336699);
  if (look.legacy_title) {
    XStoreName(display, window_, look.title.c_str());
  } else if (!look.title.empty()) {
    XChangeProperty(display, window_, Intern(display, "_NET_WM_NAME"),
                    Intern(display, "UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(look.title.data()),
                    static_cast<int>(look.title.size()));
  }
  if (look.owner != None) XSetTransientForHint(display, window_, look.owner);
  if (look.desktop) {
    Atom desktop = Intern(display, "_NET_WM_WINDOW_TYPE_DESKTOP");
    XChangeProperty(display, window_, Intern(display, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&desktop), 1);
  }
  if (look.mapped) XMapRaised(display, window_);
  XSync(display, False);
}

TestWindow::~TestWindow() {
  XDestroyWindow(display_, window_);
  XSync(display_, False);
}

std::optional<Window> FindMappedWindowTitled(Display* display, const std::string& title) {
  Window root = None, parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  std::optional<Window> found;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count && !found; ++i) {
      XWindowAttributes attributes{};
      if (XGetWindowAttributes(display, children[i], &attributes) &&
          attributes.map_state == IsViewable && TitleOf(display, children[i]) == title) {
        found = children[i];
      }
    }
  }
  if (children) XFree(children);
  return found;
}

bool HasBeenPainted(Display* display, Window window) {
  XImage* image = XGetImage(display, window, 4, 4, 1, 1, AllPlanes, ZPixmap);
  if (!image) return false;
  unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return pixel != 0;
}

void RequestClose(Display* display, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = Intern(display, "WM_PROTOCOLS");
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(Intern(display, "WM_DELETE_WINDOW"));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
}

std::pair<int, int> ScreenPosition(Display* display, Window window) {
  int x = 0, y = 0;
  Window child = None;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
  return {x, y};
}

void TypeKeys(Display* display, Window window, const std::vector<KeySym>& keys) {
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
  XSync(display, False);
  for (KeySym key : keys) {
    KeyCode code = XKeysymToKeycode(display, key);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
    // Each key is handled before the next arrives, as with a person typing.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

bool WantsToStayOnTop(Display* display, Window window) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  bool above = false;
  Atom wanted = Intern(display, "_NET_WM_STATE_ABOVE");
  if (XGetWindowProperty(display, window, Intern(display, "_NET_WM_STATE"), 0, 64, False, XA_ATOM,
                         &type, &format, &count, &remaining, &data) == Success &&
      data && format == 32) {
    auto* atoms = reinterpret_cast<Atom*>(data);
    for (unsigned long i = 0; i < count; ++i) above = above || atoms[i] == wanted;
  }
  if (data) XFree(data);
  return above;
}

void PublishClientList(Display* display, const char* property, const Window* windows, int count) {
  XChangeProperty(display, DefaultRootWindow(display), Intern(display, property), XA_WINDOW, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(windows), count);
  XSync(display, False);
}

}  // namespace marovine::testing
