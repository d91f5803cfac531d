#include "tests/support/private_system_bus.h"

#include <sys/stat.h>

#include <cstdlib>

#include "tests/support/wait_for.h"

namespace marovine::testing {

namespace {

constexpr const char* kPython = "/usr/bin/python3";

bool NameHasOwner(GDBusConnection* bus, const std::string& name) {
  BusReply reply =
      CallMethod(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                 "NameHasOwner", g_variant_new("(s)", name.c_str()), 2000);
  if (!reply) return false;
  gboolean owned = FALSE;
  g_variant_get(reply.value.get(), "(b)", &owned);
  return owned != FALSE;
}

}  // namespace

bool BusToolsPresent() {
  return !FindProgram("dbus-daemon").empty() &&
         std::system((std::string(kPython) + " -c 'import dbusmock' 2>/dev/null").c_str()) == 0;
}

PrivateSystemBus::PrivateSystemBus() {
  std::string socket = sandbox_.Path("system_bus_socket");
  address_ = "unix:path=" + socket;
  daemon_ = ChildProcess(
      {FindProgram("dbus-daemon"), "--session", "--nofork", "--nopidfile", "--address=" + address_},
      {}, sandbox_.Path("dbus.out"), sandbox_.Path("dbus.err"));
  struct stat info {};
  if (!WaitFor([&] { return ::stat(socket.c_str(), &info) == 0; })) return;
  if (const char* old = std::getenv("DBUS_SYSTEM_BUS_ADDRESS")) {
    had_old_address_ = true;
    old_address_ = old;
  }
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
  WaitFor([&] {
    bus_ = ConnectSystemBus();
    return bus_ != nullptr;
  });
}

PrivateSystemBus::~PrivateSystemBus() {
  bus_.reset();
  for (auto& mock : mocks_) mock.Terminate();
  daemon_.Terminate();
  if (had_old_address_) {
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", old_address_.c_str(), 1);
  } else {
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  }
}

bool PrivateSystemBus::StartTemplate(const std::string& name, const std::string& bus_name,
                                     const std::string& parameters) {
  if (!ok()) return false;
  std::string log = sandbox_.Path(name + ".log");
  mocks_.emplace_back(std::vector<std::string>{kPython, "-m", "dbusmock", "--system", "--template",
                                               name, "--parameters", parameters},
                      std::vector<std::string>{"DBUS_SYSTEM_BUS_ADDRESS=" + address_}, log, log);
  return WaitFor([&] { return NameHasOwner(bus_.get(), bus_name); });
}

BusReply PrivateSystemBus::Call(const char* service, const char* object, const char* interface,
                                const char* method, GVariant* args) {
  return CallMethod(bus_.get(), service, object, interface, method, args);
}

std::vector<std::string> PrivateSystemBus::MethodCalls(const char* service, const char* object,
                                                       const char* method) {
  std::vector<std::string> calls;
  BusReply reply = Call(service, object, "org.freedesktop.DBus.Mock", "GetMethodCalls",
                        g_variant_new("(s)", method));
  if (!reply) return calls;
  Variant list(g_variant_get_child_value(reply.value.get(), 0));
  GVariantIter iter;
  g_variant_iter_init(&iter, list.get());
  guint64 when = 0;
  GVariant* args = nullptr;
  while (g_variant_iter_next(&iter, "(t@av)", &when, &args)) {
    gchar* text = g_variant_print(args, FALSE);
    calls.emplace_back(text);
    g_free(text);
    g_variant_unref(args);
  }
  return calls;
}

std::vector<std::int64_t> PrivateSystemBus::MethodCallTimes(const char* service, const char* object,
                                                            const char* method) {
  std::vector<std::int64_t> times;
  BusReply reply = Call(service, object, "org.freedesktop.DBus.Mock", "GetMethodCalls",
                        g_variant_new("(s)", method));
  if (!reply) return times;
  Variant list(g_variant_get_child_value(reply.value.get(), 0));
  GVariantIter iter;
  g_variant_iter_init(&iter, list.get());
  guint64 when = 0;
  GVariant* args = nullptr;
  while (g_variant_iter_next(&iter, "(t@av)", &when, &args)) {
    times.push_back(static_cast<std::int64_t>(when));
    g_variant_unref(args);
  }
  return times;
}

}  // namespace marovine::testing
