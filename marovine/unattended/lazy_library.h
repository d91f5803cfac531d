#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace marovine {

// Shared libraries opened by soname when first wanted rather than when the
// program starts, so that a run which never plays a sound nor talks to the
// system bus does not pay for loading them. They stay loaded for the rest of
// the process: GLib and the sound libraries cannot be unloaded safely.
//
// Every library is opened even after one fails, so that the error names the
// first that is missing; a table resolved from an incomplete set is never
// handed out (see ok()).
class LazyLibrary {
 public:
  explicit LazyLibrary(std::initializer_list<const char*> sonames);

  // Looks `name` up in the libraries in the order they were given and stores
  // it in `slot`; a missing symbol leaves the slot empty and the set not ok.
  template <typename Function>
  void Resolve(Function& slot, const char* name) {
    // dlsym hands out functions as data pointers; POSIX guarantees the cast.
    slot = reinterpret_cast<Function>(Find(name));
  }

  // True when every library opened and every symbol asked for was found.
  bool ok() const { return error_.empty(); }
  // What went wrong first: the loader's text for a library, or the symbol.
  const std::string& error() const { return error_; }

 private:
  void* Find(const char* name);

  std::vector<void*> handles_;
  std::string error_;
};

}  // namespace marovine
