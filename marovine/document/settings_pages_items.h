#pragma once

#include <string>

#include "marovine/engine/work_items.h"
#include "platform/profile.h"

namespace marovine {

// Texts of the link item property dialog.

// The state line: a whole-site item says so instead of its state.
std::string LinkItemStateCaption(const LinkItem& item);
// The extension group line: "<number> ： <group name>" (an unnamed group is
// "無題"); a whole-site item has no group and says "丸ごとDL設定".
std::string LinkItemGroupCaption(const platform::Profile& profile, const LinkItem& item);

// The ranges of the dialog's arrows and edits.
inline constexpr int kLastExtensionGroup = 9;
inline constexpr int kLastSearchLevel = 3;
// Random numbers are made in 0..2047; a typed one must fit a file-name prefix
// of the same width.
inline constexpr int kLargestRandomNumber = 2047;

// The whole-site URL entry's import of a history file: the root folder is the
// folder that holds the mirror's folder (the one with the history file), with
// a trailing separator.
std::string RootFolderOfHistory(const std::string& history_path);

inline constexpr const char* kFillEveryFieldMessage = "全ての項目に記述してください。";

}  // namespace marovine
