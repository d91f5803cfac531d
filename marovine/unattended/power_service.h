#pragma once

#include <string>

namespace marovine {

// What "Power" asks for: 0 standby, 1 hibernation, anything else power off.
enum class PowerKind { kSuspend, kHibernate, kPowerOff };
PowerKind PowerKindFor(int power_setting);

// The outcome of a power request. A refusal carries the text the status
// bar shows.
struct PowerResult {
  bool requested = false;
  std::string failure;
};

// Puts the machine into standby or hibernation or switches it off.
class PowerService {
 public:
  virtual ~PowerService() = default;
  virtual PowerResult Request(PowerKind kind) = 0;
};

// Through systemd-logind on the system bus: it is asked first whether the
// user may (CanSuspend, CanHibernate, CanPowerOff), then told to do it
// without asking the user for a password (a program left alone overnight has
// nobody to answer).
class LogindPowerService : public PowerService {
 public:
  PowerResult Request(PowerKind kind) override;
};

}  // namespace marovine
