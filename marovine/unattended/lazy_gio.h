#pragma once

// GIO's headers for its types and macros only: the functions themselves are
// called through LoadGio()'s table, so that the program is not linked to
// GIO, GObject and GLib and loads them only when the system bus is wanted.
#include <gio/gio.h>

#include <string>

namespace marovine {

// The functions the system bus code calls, without their "g_" prefix.
#define MAROVINE_GIO_FUNCTIONS(X)         \
  X(dbus_address_get_for_bus_sync)        \
  X(dbus_connection_call_sync)            \
  X(dbus_connection_new_for_address_sync) \
  X(dbus_connection_set_exit_on_close)    \
  X(error_free)                           \
  X(free)                                 \
  X(object_unref)                         \
  X(variant_builder_add)                  \
  X(variant_builder_end)                  \
  X(variant_builder_init)                 \
  X(variant_get)                          \
  X(variant_get_child_value)              \
  X(variant_get_string)                   \
  X(variant_get_uint32)                   \
  X(variant_is_of_type)                   \
  X(variant_iter_init)                    \
  X(variant_iter_next)                    \
  X(variant_lookup)                       \
  X(variant_lookup_value)                 \
  X(variant_new)                          \
  X(variant_new_string)                   \
  X(variant_ref_sink)                     \
  X(variant_type_checked_)                \
  X(variant_unref)

struct GioFunctions {
// A member named after the function: no place for parentheses.
#define MAROVINE_GIO_POINTER(name) \
  decltype(&::g_##name) name = nullptr;  // NOLINT(bugprone-macro-parentheses)
  MAROVINE_GIO_FUNCTIONS(MAROVINE_GIO_POINTER)
#undef MAROVINE_GIO_POINTER
};

// The table, loaded once for the process on the first call from any thread;
// nothing when a library or a function is missing, and then `error` says
// which.
const GioFunctions* LoadGio(std::string* error = nullptr);

// The table for code that holds a bus connection or a value the bus gave:
// LoadGio() has answered it already.
const GioFunctions& Gio();

// G_VARIANT_TYPE() for a type string, checked as the macro checks it.
inline const GVariantType* VariantType(const char* type) {
  return Gio().variant_type_checked_(type);
}

}  // namespace marovine
