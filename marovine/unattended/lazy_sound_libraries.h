#pragma once

// The sound libraries' headers for their types and macros only: the
// functions are called through the tables below, so that the program is not
// linked to libcanberra and libsndfile (and their codecs) and loads them only
// when a sound is to be played.
#include <canberra.h>
#include <sndfile.h>

namespace marovine {

#define MAROVINE_CANBERRA_FUNCTIONS(X) \
  X(context_change_props)              \
  X(context_create)                    \
  X(context_destroy)                   \
  X(context_open)                      \
  X(context_play_full)                 \
  X(proplist_create)                   \
  X(proplist_destroy)                  \
  X(proplist_sets)

#define MAROVINE_SNDFILE_FUNCTIONS(X) \
  X(open)                             \
  X(close)

// libcanberra's functions without their "ca_" prefix.
struct CanberraFunctions {
// A member named after the function: no place for parentheses.
#define MAROVINE_CANBERRA_POINTER(name) \
  decltype(&::ca_##name) name = nullptr;  // NOLINT(bugprone-macro-parentheses)
  MAROVINE_CANBERRA_FUNCTIONS(MAROVINE_CANBERRA_POINTER)
#undef MAROVINE_CANBERRA_POINTER
};

// libsndfile's functions without their "sf_" prefix.
struct SndfileFunctions {
// A member named after the function: no place for parentheses.
#define MAROVINE_SNDFILE_POINTER(name) \
  decltype(&::sf_##name) name = nullptr;  // NOLINT(bugprone-macro-parentheses)
  MAROVINE_SNDFILE_FUNCTIONS(MAROVINE_SNDFILE_POINTER)
#undef MAROVINE_SNDFILE_POINTER
};

// Each table is loaded once for the process on its first call from any
// thread; nothing when its library or one of its functions is missing.
const CanberraFunctions* LoadCanberra();
const SndfileFunctions* LoadSndfile();

}  // namespace marovine
