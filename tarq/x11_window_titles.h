#pragma once

#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace marovine::tarq {

// The titles of the top-level windows applications show on this display, the
// window in front first: windows that are shown (or minimised), have no owner
// (WM_TRANSIENT_FOR), have a non-empty title and are not the desktop. The
// window manager's client list is asked first; without a window manager, the
// root window's children are.
std::vector<std::string> TopLevelWindowTitles(Display* display);

// The same on the display named by $DISPLAY; empty when it cannot be opened.
std::vector<std::string> TopLevelWindowTitlesOfDefaultDisplay();

}  // namespace marovine::tarq
