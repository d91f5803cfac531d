#include "tests/support/sandbox.h"

#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/unique_handle.h"

namespace marovine::testing {

Sandbox::Sandbox() {
  const char* base_env = std::getenv("MAROVINE_TEST_TMP");
  std::string base = (base_env && *base_env) ? base_env : "/tmp";
  // A base that cannot be made shows as the mkdtemp failure below.
  (void)platform::MakeFolders(base);
  std::string pattern = platform::JoinPath(base, "sandbox-XXXXXX");
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
  path_ = platform::WithTrailingSeparator(pattern);
}

Sandbox::~Sandbox() {
  if (std::getenv("MAROVINE_KEEP_SANDBOX") == nullptr) RemoveTree(path_);
}

std::string Sandbox::WriteFile(const std::string& name, const std::string& content) const {
  std::string full = Path(name);
  (void)platform::MakeFoldersForFile(full);  // a missing folder fails the open below
  platform::UniqueFile f(std::fopen(full.c_str(), "wb"));
  // A fixture written only in part would make a test judge the wrong input.
  if (!f || std::fwrite(content.data(), 1, content.size(), f.get()) != content.size() ||
      !f.Close()) {
    throw std::runtime_error("cannot write " + full);
  }
  return full;
}

std::string Sandbox::ReadFile(const std::string& name) const {
  return platform::ReadWholeFile(Path(name)).value_or("");
}

void RemoveTree(const std::string& path) {
  ::nftw(
      path.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return ::remove(p); },
      16, FTW_DEPTH | FTW_PHYS);
}

}  // namespace marovine::testing
