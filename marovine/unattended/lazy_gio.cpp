#include "marovine/unattended/lazy_gio.h"

#include <cstdio>
#include <cstdlib>

#include "marovine/unattended/lazy_library.h"

namespace marovine {

namespace {

struct LoadedGio {
  GioFunctions functions;
  std::string error;
};

const LoadedGio& Loaded() {
  // A function-local static: the first caller loads, any other waits for it.
  static const LoadedGio loaded = [] {
    LoadedGio result;
    LazyLibrary libraries({"libgio-2.0.so.0", "libgobject-2.0.so.0", "libglib-2.0.so.0"});
#define MAROVINE_GIO_RESOLVE(name) libraries.Resolve(result.functions.name, "g_" #name);
    MAROVINE_GIO_FUNCTIONS(MAROVINE_GIO_RESOLVE)
#undef MAROVINE_GIO_RESOLVE
    result.error = libraries.error();
    return result;
  }();
  return loaded;
}

}  // namespace

const GioFunctions* LoadGio(std::string* error) {
  const LoadedGio& loaded = Loaded();
  if (!loaded.error.empty()) {
    if (error != nullptr) *error = loaded.error;
    return nullptr;
  }
  return &loaded.functions;
}

const GioFunctions& Gio() {
  const LoadedGio& loaded = Loaded();
  if (!loaded.error.empty()) {
    // Only code that already holds what GIO made gets here, so GIO loaded.
    std::fprintf(stderr, "marovine: GIO used without being loaded: %s\n", loaded.error.c_str());
    std::abort();
  }
  return loaded.functions;
}

}  // namespace marovine
