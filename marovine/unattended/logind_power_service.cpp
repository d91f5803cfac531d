#include "marovine/unattended/power_service.h"
#include "marovine/unattended/system_bus.h"

namespace marovine {

namespace {

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kManagerPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";

struct PowerMethods {
  const char* ask;
  const char* act;
  const char* refused;  // the status bar's text when it cannot be done
};

PowerMethods MethodsFor(PowerKind kind) {
  switch (kind) {
    case PowerKind::kSuspend:
      return {"CanSuspend", "Suspend", "スタンバイにできません"};
    case PowerKind::kHibernate:
      return {"CanHibernate", "Hibernate", "ハイバネーション(休止状態)にできません"};
    case PowerKind::kPowerOff:
      break;
  }
  return {"CanPowerOff", "PowerOff", "電源を切れません"};
}

PowerResult Refused(const PowerMethods& methods, const std::string& why) {
  return PowerResult{false, std::string(methods.refused) + " (" + why + ")"};
}

}  // namespace

PowerKind PowerKindFor(int power_setting) {
  if (power_setting == 0) return PowerKind::kSuspend;
  if (power_setting == 1) return PowerKind::kHibernate;
  return PowerKind::kPowerOff;
}

PowerResult LogindPowerService::Request(PowerKind kind) {
  PowerMethods methods = MethodsFor(kind);
  std::string error;
  BusConnection bus = ConnectSystemBus(&error);
  if (!bus) return Refused(methods, error);
  BusReply allowed = CallMethod(bus.get(), kLogind, kManagerPath, kManager, methods.ask, nullptr);
  if (!allowed) return Refused(methods, allowed.error);
  const gchar* answer = nullptr;
  Gio().variant_get(allowed.value.get(), "(&s)", &answer);
  std::string verdict = answer != nullptr ? answer : "";
  // "challenge" needs a password we will not ask for; "no" and "na" are final.
  if (verdict != "yes") return Refused(methods, methods.ask + std::string(": ") + verdict);
  BusReply done = CallMethod(bus.get(), kLogind, kManagerPath, kManager, methods.act,
                             Gio().variant_new("(b)", FALSE));
  if (!done) return Refused(methods, done.error);
  return PowerResult{true, ""};
}

}  // namespace marovine
