#include "tests/support/sandbox.h"

#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/file_io.h"
#include "platform/path.h"

namespace marovine::testing {

Sandbox::Sandbox() {
  const char* base_env = std::getenv("MAROVINE_TEST_TMP");
  std::string base = (base_env && *base_env) ? base_env : "/tmp";
  platform::MakeFolders(base);
  std::string pattern = platform::JoinPath(base, "sandbox-XXXXXX");
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
  path_ = platform::WithTrailingSeparator(pattern);
}

Sandbox::~Sandbox() {
  if (std::getenv("MAROVINE_KEEP_SANDBOX") == nullptr) RemoveTree(path_);
}

std::string Sandbox::WriteFile(const std::string& name, const std::string& content) const {
  std::string full = Path(name);
  platform::MakeFoldersForFile(full);
  std::FILE* f = std::fopen(full.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + full);
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
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
