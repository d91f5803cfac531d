#include "marovine/unattended/lazy_library.h"

#include <dlfcn.h>

namespace marovine {

LazyLibrary::LazyLibrary(std::initializer_list<const char*> sonames) {
  for (const char* soname : sonames) {
    // RTLD_LOCAL: nothing else in the process is meant to find these symbols
    // through us; the libraries' own plug-ins name them as dependencies.
    void* handle = dlopen(soname, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) {
      const char* why = dlerror();
      if (error_.empty())
        error_ = why != nullptr ? why : std::string(soname) + ": cannot be loaded";
      continue;
    }
    handles_.push_back(handle);
  }
}

void* LazyLibrary::Find(const char* name) {
  for (void* handle : handles_) {
    if (void* symbol = dlsym(handle, name)) return symbol;
  }
  if (error_.empty()) error_ = std::string(name) + ": symbol not found";
  return nullptr;
}

}  // namespace marovine
