// Power actions through a mocked systemd-logind on a private system bus.

#include <gtest/gtest.h>

#include "marovine/unattended/power_service.h"
#include "tests/support/private_system_bus.h"
#include "tests/unattended/unattended_fakes.h"

namespace marovine {
namespace {

using testing::EventLog;
using testing::PrivateSystemBus;
using testing::Sandbox;
using testing::UnattendedDoc;

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";

class LogindPowerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::BusToolsPresent()) GTEST_SKIP() << "dbus-daemon or python3-dbusmock missing";
    ASSERT_TRUE(bus_.ok());
  }
  void StartLogind(const std::string& parameters = "{}") {
    ASSERT_TRUE(bus_.StartTemplate("logind", kLogind, parameters));
  }
  std::vector<std::string> Calls(const char* method) {
    return bus_.MethodCalls(kLogind, kLogindPath, method);
  }

  Sandbox home_;
  PrivateSystemBus bus_;
};

TEST_F(LogindPowerTest, EachKindAsksLogindFirstThenCallsItsMethodWithoutInteraction) {
  StartLogind();
  LogindPowerService power;
  EXPECT_TRUE(power.Request(PowerKindFor(0)).requested);
  EXPECT_TRUE(power.Request(PowerKindFor(1)).requested);
  EXPECT_TRUE(power.Request(PowerKindFor(2)).requested);
  EXPECT_TRUE(power.Request(PowerKindFor(7)).requested);
  EXPECT_EQ(Calls("CanSuspend").size(), 1u);
  EXPECT_EQ(Calls("Suspend"), (std::vector<std::string>{"[<false>]"}));
  EXPECT_EQ(Calls("CanHibernate").size(), 1u);
  EXPECT_EQ(Calls("Hibernate"), (std::vector<std::string>{"[<false>]"}));
  EXPECT_EQ(Calls("CanPowerOff").size(), 2u);
  EXPECT_EQ(Calls("PowerOff"), (std::vector<std::string>{"[<false>]", "[<false>]"}));
}

TEST_F(LogindPowerTest, ThePowerOffComesAfterTheCountdownAndCancelCallsNothing) {
  StartLogind();
  LogindPowerService logind;
  UnattendedDoc u(home_, "[Schedule]\nPower=2\n");
  // The countdown cannot be cancelled by a bus call that came before it.
  std::size_t calls_at_countdown = 99;
  u.countdown.on_run = [&] { calls_at_countdown = Calls("PowerOff").size(); };
  UnattendedParts parts;
  parts.power = &logind;
  parts.countdown = &u.countdown;
  parts.close_main_window = [&] { u.log.push_back("close"); };
  UnattendedHooks hooks(*u.doc, parts);

  u.countdown.runs_out = false;
  hooks.PowerAction();
  EXPECT_TRUE(Calls("CanPowerOff").empty());
  EXPECT_TRUE(Calls("PowerOff").empty());
  EXPECT_EQ(u.log, (EventLog{"countdown cancelled"}));

  u.countdown.runs_out = true;
  hooks.PowerAction();
  EXPECT_EQ(calls_at_countdown, 0u);
  EXPECT_EQ(Calls("PowerOff").size(), 1u);
  EXPECT_EQ(u.log.back(), "close");
}

TEST_F(LogindPowerTest, ARefusalIsShownInTheStatusBarAndTheWindowStillCloses) {
  StartLogind(R"({"CanHibernate": "no"})");
  UnattendedDoc u(home_, "[Schedule]\nPower=1\n");
  LogindPowerService logind;
  UnattendedParts parts;
  parts.power = &logind;
  parts.countdown = &u.countdown;
  parts.close_main_window = [&] { u.log.push_back("close"); };
  UnattendedHooks hooks(*u.doc, parts);
  hooks.PowerAction();
  EXPECT_TRUE(Calls("Hibernate").empty());
  EXPECT_EQ(u.ui.StatusText(0), "ハイバネーション(休止状態)にできません (CanHibernate: no)");
  EXPECT_EQ(u.log, (EventLog{"countdown", "close"}));
}

TEST_F(LogindPowerTest, WithoutLogindOnTheBusTheRequestFailsWithTheBusError) {
  PowerResult result = LogindPowerService().Request(PowerKind::kPowerOff);
  EXPECT_FALSE(result.requested);
  EXPECT_EQ(result.failure.rfind("電源を切れません (", 0), 0u) << result.failure;
}

}  // namespace
}  // namespace marovine
