#include "marovine/unattended/lazy_sound_libraries.h"

#include "marovine/unattended/lazy_library.h"

namespace marovine {

const CanberraFunctions* LoadCanberra() {
  static const CanberraFunctions* const loaded = []() -> const CanberraFunctions* {
    static CanberraFunctions functions;
    LazyLibrary library({"libcanberra.so.0"});
#define MAROVINE_CANBERRA_RESOLVE(name) library.Resolve(functions.name, "ca_" #name);
    MAROVINE_CANBERRA_FUNCTIONS(MAROVINE_CANBERRA_RESOLVE)
#undef MAROVINE_CANBERRA_RESOLVE
    return library.ok() ? &functions : nullptr;
  }();
  return loaded;
}

const SndfileFunctions* LoadSndfile() {
  static const SndfileFunctions* const loaded = []() -> const SndfileFunctions* {
    static SndfileFunctions functions;
    LazyLibrary library({"libsndfile.so.1"});
#define MAROVINE_SNDFILE_RESOLVE(name) library.Resolve(functions.name, "sf_" #name);
    MAROVINE_SNDFILE_FUNCTIONS(MAROVINE_SNDFILE_RESOLVE)
#undef MAROVINE_SNDFILE_RESOLVE
    return library.ok() ? &functions : nullptr;
  }();
  return loaded;
}

}  // namespace marovine
