#include "tests/album/golden.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/file_io.h"
#include "platform/path.h"

namespace marovine::testing {

void ExpectMatchesGolden(const std::string& actual, const std::string& name) {
  std::string path = platform::FolderOf(__FILE__) + "golden/" + name;
  if (std::getenv("MAROVINE_UPDATE_GOLDEN") != nullptr) {
    ASSERT_TRUE(platform::WriteFileAtomically(path, actual)) << path;
    return;
  }
  auto expected = platform::ReadWholeFile(path);
  ASSERT_TRUE(expected) << "missing golden file " << path;
  EXPECT_EQ(actual, *expected) << "differs from " << path;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace marovine::testing
