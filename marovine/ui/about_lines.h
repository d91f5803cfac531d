#pragma once

#include <string>
#include <vector>

#include "platform/profile.h"

namespace marovine::ui {

inline constexpr const char* kAboutCaption = "Marovineのﾊﾞｰｼﾞｮﾝ情報";

// The lines of the About box: the version, where the program lives, and the
// totals of everything fetched so far.
std::vector<std::string> AboutLines(const platform::Profile& profile);

}  // namespace marovine::ui
