#include "marovine/unattended/system_bus.h"

namespace marovine {

namespace {

std::string TakeError(GError* error) {
  if (error == nullptr) return "unknown error";
  std::string text = error->message != nullptr ? error->message : "unknown error";
  Gio().error_free(error);
  return text;
}

}  // namespace

BusConnection ConnectSystemBus(std::string* error) {
  // Without GIO there is no bus to talk to, as when none runs.
  const GioFunctions* gio = LoadGio(error);
  if (gio == nullptr) return nullptr;
  GError* failure = nullptr;
  gchar* address = gio->dbus_address_get_for_bus_sync(G_BUS_TYPE_SYSTEM, nullptr, &failure);
  if (address == nullptr) {
    std::string text = TakeError(failure);
    if (error != nullptr) *error = text;
    return nullptr;
  }
  auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                 G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
  GDBusConnection* bus =
      gio->dbus_connection_new_for_address_sync(address, flags, nullptr, nullptr, &failure);
  gio->free(address);
  if (bus == nullptr) {
    std::string text = TakeError(failure);
    if (error != nullptr) *error = text;
    return nullptr;
  }
  // The program decides when it ends, not the bus going away.
  gio->dbus_connection_set_exit_on_close(bus, FALSE);
  return BusConnection(bus);
}

BusReply CallMethod(GDBusConnection* bus, const char* service, const char* object,
                    const char* interface, const char* method, GVariant* args, int timeout_ms) {
  BusReply reply;
  if (bus == nullptr) {
    // Only GIO makes arguments, so it is loaded when there are any.
    if (args != nullptr) Gio().variant_unref(Gio().variant_ref_sink(args));
    reply.error = "no system bus";
    return reply;
  }
  GError* failure = nullptr;
  GVariant* value =
      Gio().dbus_connection_call_sync(bus, service, object, interface, method, args, nullptr,
                                      G_DBUS_CALL_FLAGS_NONE, timeout_ms, nullptr, &failure);
  if (value == nullptr) {
    reply.error = TakeError(failure);
  } else {
    reply.value.reset(value);
  }
  return reply;
}

Variant GetProperty(GDBusConnection* bus, const char* service, const char* object,
                    const char* interface, const char* name) {
  BusReply reply = CallMethod(bus, service, object, "org.freedesktop.DBus.Properties", "Get",
                              Gio().variant_new("(ss)", interface, name), 5000);
  if (!reply) return nullptr;
  GVariant* boxed = nullptr;
  Gio().variant_get(reply.value.get(), "(v)", &boxed);
  return Variant(boxed);
}

std::optional<std::string> StringProperty(GDBusConnection* bus, const char* service,
                                          const char* object, const char* interface,
                                          const char* name) {
  Variant value = GetProperty(bus, service, object, interface, name);
  if (!value || !Gio().variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING)) return std::nullopt;
  return std::string(Gio().variant_get_string(value.get(), nullptr));
}

}  // namespace marovine
