#pragma once

#include <memory>
#include <optional>
#include <string>

#include "marovine/unattended/lazy_gio.h"

namespace marovine {

// Held objects exist only once GIO has loaded.
struct GObjectUnref {
  void operator()(void* object) const { Gio().object_unref(object); }
};
struct GVariantUnref {
  void operator()(GVariant* value) const { Gio().variant_unref(value); }
};
using BusConnection = std::unique_ptr<GDBusConnection, GObjectUnref>;
using Variant = std::unique_ptr<GVariant, GVariantUnref>;

// A method call's answer, or the bus's error text.
struct BusReply {
  Variant value;
  std::string error;
  explicit operator bool() const { return value != nullptr; }
};

// A private connection to the system bus (DBUS_SYSTEM_BUS_ADDRESS when set),
// so that the program never shares its connection state with other code of
// the process; nothing when there is no system bus, nor GIO to reach it.
BusConnection ConnectSystemBus(std::string* error = nullptr);

// A synchronous method call. `args` is consumed (it may be floating).
BusReply CallMethod(GDBusConnection* bus, const char* service, const char* object,
                    const char* interface, const char* method, GVariant* args,
                    int timeout_ms = 10000);

// A property through org.freedesktop.DBus.Properties.Get: the value inside
// the variant, or nothing.
Variant GetProperty(GDBusConnection* bus, const char* service, const char* object,
                    const char* interface, const char* name);

std::optional<std::string> StringProperty(GDBusConnection* bus, const char* service,
                                          const char* object, const char* interface,
                                          const char* name);

}  // namespace marovine
