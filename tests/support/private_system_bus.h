#pragma once

#include <gio/gio.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "marovine/unattended/system_bus.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"

namespace marovine::testing {

// A bus of the test's own standing in for the system bus: the code under
// test finds it through DBUS_SYSTEM_BUS_ADDRESS, which is set while the
// object lives. Services on it are python3-dbusmock templates.
class PrivateSystemBus {
 public:
  PrivateSystemBus();
  ~PrivateSystemBus();
  PrivateSystemBus(const PrivateSystemBus&) = delete;
  PrivateSystemBus& operator=(const PrivateSystemBus&) = delete;

  bool ok() const { return bus_ != nullptr; }
  // Starts a dbusmock template ("logind", "networkmanager") with its JSON
  // parameters; true once its name is on the bus.
  bool StartTemplate(const std::string& name, const std::string& bus_name,
                     const std::string& parameters = "{}");
  // A call on the bus; `args` is consumed.
  BusReply Call(const char* service, const char* object, const char* interface, const char* method,
                GVariant* args = nullptr);
  // The calls of `method` a mocked object has received, each as its
  // arguments' text (g_variant_print), oldest first.
  std::vector<std::string> MethodCalls(const char* service, const char* object, const char* method);
  // When each of those calls came, in whole seconds since the epoch.
  std::vector<std::int64_t> MethodCallTimes(const char* service, const char* object,
                                            const char* method);
  GDBusConnection* connection() { return bus_.get(); }

 private:
  Sandbox sandbox_;
  ChildProcess daemon_;
  std::vector<ChildProcess> mocks_;
  std::string address_;
  std::string old_address_;
  bool had_old_address_ = false;
  BusConnection bus_;
};

// True when the tools the bus tests need are installed.
bool BusToolsPresent();

}  // namespace marovine::testing
