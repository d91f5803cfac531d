#pragma once

#include <string>

namespace marovine::testing {

// A fresh folder for one test, removed again at the end (kept when the
// environment variable MAROVINE_KEEP_SANDBOX is set, for looking at failures).
// It lives under the build folder's test-tmp when ctest runs the test, so no
// test touches the user's home.
class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // The folder, with a trailing separator.
  const std::string& path() const { return path_; }
  std::string Path(const std::string& name) const { return path_ + name; }

  // Writes a file (folders created) and answers its full path.
  std::string WriteFile(const std::string& name, const std::string& content) const;
  std::string ReadFile(const std::string& name) const;

 private:
  std::string path_;
};

// Removes a folder tree.
void RemoveTree(const std::string& path);

}  // namespace marovine::testing
