#pragma once

#include <wx/string.h>

#include <string>

namespace marovine {

// The core keeps UTF-8 text; wx strings are made only at the window's edge.
inline wxString ToWx(const std::string& text) { return wxString::FromUTF8(text); }
inline std::string FromWx(const wxString& text) { return text.utf8_string(); }

}  // namespace marovine
