#pragma once

#include <string>
#include <string_view>

namespace plov::win32 {

// The core speaks UTF-8; the system's wide functions take UTF-16.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace plov::win32
