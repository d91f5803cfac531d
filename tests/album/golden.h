#pragma once

#include <string>

namespace marovine::testing {

// Compares a text with tests/album/golden/<name>; with MAROVINE_UPDATE_GOLDEN
// set, writes the text there instead (then review the diff before committing).
void ExpectMatchesGolden(const std::string& actual, const std::string& name);

// Replaces every occurrence of `from` with `to`, so that sandbox paths do not
// end up in golden files.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

}  // namespace marovine::testing
