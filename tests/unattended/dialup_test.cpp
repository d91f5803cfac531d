// The dial-up dialog's model and the schedule's line over a mocked
// NetworkManager on a private system bus.

#include <gtest/gtest.h>

#include "marovine/unattended/dialup_controller.h"
#include "marovine/unattended/dialup_line.h"
#include "tests/support/private_system_bus.h"
#include "tests/unattended/unattended_fakes.h"

namespace marovine {
namespace {

using testing::EventLog;
using testing::PrivateSystemBus;
using testing::Sandbox;
using Mode = DialUpController::Mode;
using End = DialUpController::End;
using Lines = std::deque<std::string>;

constexpr const char* kNm = "org.freedesktop.NetworkManager";
constexpr const char* kNmPath = "/org/freedesktop/NetworkManager";
constexpr const char* kMock = "org.freedesktop.DBus.Mock";
constexpr const char* kDevice = "/org/freedesktop/NetworkManager/Devices/modem0";

// Activation as a modem does it: the attempt stays "activating" on the
// modem device until the test moves it on.
constexpr const char* kSlowActivation = R"(
import time
path = '/org/freedesktop/NetworkManager/ActiveConnection/a%d' % time.monotonic_ns()
self.AddObject(path, 'org.freedesktop.NetworkManager.Connection.Active',
               {'Devices': dbus.Array([dbus.ObjectPath('/org/freedesktop/NetworkManager/Devices/modem0')], signature='o'),
                'State': dbus.UInt32(1), 'Type': 'gsm', 'Connection': args[0], 'Id': 'dial',
                'Uuid': 'u', 'Vpn': False, 'Default': False, 'Default6': False,
                'Master': dbus.ObjectPath('/'), 'SpecificObject': dbus.ObjectPath('/')}, [])
active = self.Get('org.freedesktop.NetworkManager', 'ActiveConnections')
active.append(dbus.ObjectPath(path))
self.Set('org.freedesktop.NetworkManager', 'ActiveConnections', active)
ret = path
)";

class DialUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::BusToolsPresent()) GTEST_SKIP() << "dbus-daemon or python3-dbusmock missing";
    ASSERT_TRUE(bus_.ok());
  }
  void StartNetworkManager() {
    ASSERT_TRUE(bus_.StartTemplate("networkmanager", kNm));
    ASSERT_TRUE(bus_.Call(kNm, kNmPath, kMock, "AddEthernetDevice",
                          g_variant_new("(ssi)", "modem0", "ttyUSB0", 30)));
  }
  // A connection profile from its settings in GVariant text.
  std::string AddProfile(const std::string& settings) {
    GError* error = nullptr;
    GVariant* value =
        g_variant_parse(G_VARIANT_TYPE("a{sa{sv}}"), settings.c_str(), nullptr, nullptr, &error);
    EXPECT_NE(value, nullptr) << (error ? error->message : "");
    if (value == nullptr) return "";
    BusReply reply = bus_.Call(kNm, "/org/freedesktop/NetworkManager/Settings",
                               "org.freedesktop.NetworkManager.Settings", "AddConnection",
                               g_variant_new_tuple(&value, 1));
    EXPECT_TRUE(reply) << reply.error;
    if (!reply) return "";
    const gchar* path = nullptr;
    g_variant_get(reply.value.get(), "(&o)", &path);
    return path;
  }
  std::string AddGsmProfile() {
    return AddProfile(
        "{'connection': {'id': <'Mobile'>, 'type': <'gsm'>, 'uuid': <'gsm-1'>},"
        " 'gsm': {'username': <'taro'>, 'secrets': <{'password': 'himitsu'}>}}");
  }
  void UseSlowActivation() {
    ASSERT_TRUE(bus_.Call(
        kNm, kNmPath, kMock, "AddMethod",
        g_variant_new("(sssss)", kNm, "ActivateConnection", "ooo", "o", kSlowActivation)));
  }
  void SetUint(const char* object, const char* interface, const char* name, guint32 value) {
    ASSERT_TRUE(bus_.Call(kNm, object, "org.freedesktop.DBus.Properties", "Set",
                          g_variant_new("(ssv)", interface, name, g_variant_new_uint32(value))));
  }
  void SetAttemptState(const DialUpController& dialog, guint32 state) {
    ASSERT_TRUE(active_handle(dialog).size() > 0);
    SetUint(active_handle(dialog).c_str(), "org.freedesktop.NetworkManager.Connection.Active",
            "State", state);
  }
  std::string active_handle(const DialUpController& /*dialog*/) {
    std::vector<std::string> calls = Calls("ActivateConnection");
    Variant active = GetProperty(bus_.connection(), kNm, kNmPath, kNm, "ActiveConnections");
    if (!active || g_variant_n_children(active.get()) == 0) return "";
    Variant last(g_variant_get_child_value(active.get(), g_variant_n_children(active.get()) - 1));
    return g_variant_get_string(last.get(), nullptr);
  }
  std::vector<std::string> Calls(const char* method) {
    return bus_.MethodCalls(kNm, kNmPath, method);
  }
  DialUpController::Sleep Logging() {
    return [this](std::chrono::milliseconds period) {
      log_.push_back("wait " + std::to_string(period.count()));
    };
  }

  Sandbox home_;
  PrivateSystemBus bus_;
  NetworkManagerDialUp network_;
  EventLog log_;
};

TEST_F(DialUpTest, ProfilesAreListedDialUpKindsFirstAndTheSettingsModeStoresTheChoice) {
  StartNetworkManager();
  AddProfile("{'connection': {'id': <'Office LAN'>, 'type': <'802-3-ethernet'>}}");
  AddGsmProfile();
  AddProfile(
      "{'connection': {'id': <'Phone PAN'>, 'type': <'bluetooth'>},"
      " 'bluetooth': {'type': <'panu'>}}");
  AddProfile(
      "{'connection': {'id': <'DSL'>, 'type': <'pppoe'>},"
      " 'pppoe': {'username': <'hanako'>}}");
  AddProfile(
      "{'connection': {'id': <'Phone DUN'>, 'type': <'bluetooth'>},"
      " 'bluetooth': {'type': <'dun'>}}");
  AddProfile("{'connection': {'id': <'Work VPN'>, 'type': <'vpn'>}}");
  home_.WriteFile("marovine.ini", "[MarovineRasControl]\nListNo=1\nRedial=2\n");
  platform::Profile profile(home_.Path("marovine.ini"));

  DialUpController dialog(network_, profile, Mode::kSettings, Logging());
  dialog.Initialise();
  EXPECT_EQ(dialog.list_texts(), (std::vector<std::string>{"Mobile", "DSL", "Phone DUN", "Work VPN",
                                                           "Office LAN", "Phone PAN"}));
  EXPECT_TRUE(dialog.list_enabled());
  EXPECT_EQ(dialog.selected(), 1);
  EXPECT_EQ(dialog.user, "hanako");
  EXPECT_EQ(dialog.ok_text(), "設定更新");
  EXPECT_EQ(dialog.redial_field, "2");
  EXPECT_EQ(dialog.wait_field, "10");
  dialog.SelectEntry(0);
  EXPECT_EQ(dialog.user, "taro");
  EXPECT_EQ(dialog.password, "himitsu");
  dialog.wait_field = "30";
  dialog.PressOk();
  EXPECT_EQ(dialog.end(), End::kOk);
  EXPECT_EQ(profile.GetInt("MarovineRasControl", "ListNo", -1), 0);
  EXPECT_EQ(profile.GetInt("MarovineRasControl", "WaitTime", -1), 30);
  EXPECT_TRUE(Calls("ActivateConnection").empty());

  // A choice past the end of the list selects nothing.
  ASSERT_TRUE(profile.WriteInt("MarovineRasControl", "ListNo", 6));
  DialUpController again(network_, profile, Mode::kSettings, Logging());
  again.Initialise();
  EXPECT_EQ(again.selected(), -1);
  EXPECT_EQ(again.user, "");
}

TEST_F(DialUpTest, DiallingShowsEachStageAndEndsWhenConnected) {
  StartNetworkManager();
  UseSlowActivation();
  std::string mobile = AddGsmProfile();
  home_.WriteFile("marovine.ini", "[MarovineRasControl]\nListNo=0\n");
  platform::Profile profile(home_.Path("marovine.ini"));
  DialUpController dialog(network_, profile, Mode::kDial, Logging());
  dialog.Initialise();
  ASSERT_EQ(Calls("ActivateConnection").size(), 1u);
  EXPECT_NE(Calls("ActivateConnection")[0].find(mobile), std::string::npos);
  EXPECT_EQ(dialog.status_lines(), (Lines{"接続開始"}));
  EXPECT_EQ(dialog.ok_text(), "接続中断");
  EXPECT_FALSE(dialog.list_enabled());
  EXPECT_FALSE(dialog.connect_enabled());
  const char* device = "org.freedesktop.NetworkManager.Device";
  SetUint(kDevice, device, "State", 40);
  dialog.OnTimer();
  SetUint(kDevice, device, "State", 60);
  dialog.OnTimer();
  dialog.OnTimer();  // a stage is shown once
  SetUint(kDevice, device, "State", 70);
  dialog.OnTimer();
  EXPECT_EQ(dialog.end(), End::kOpen);
  SetAttemptState(dialog, 2);
  dialog.OnTimer();
  EXPECT_EQ(dialog.status_lines(), (Lines{"接続されました", "認証されました", "ユーザー認証中",
                                          "ダイヤル中", "接続開始"}));
  EXPECT_EQ(dialog.ok_text(), "切断");
  EXPECT_EQ(dialog.end(), End::kOk);
  EXPECT_TRUE(Calls("DeactivateConnection").empty());
}

TEST_F(DialUpTest, AFailedAttemptIsRedialledAfterTheWaitUntilTheRedialsRunOut) {
  StartNetworkManager();
  UseSlowActivation();
  AddGsmProfile();
  home_.WriteFile("marovine.ini", "[MarovineRasControl]\nListNo=0\nRedial=1\nWaitTime=2\n");
  platform::Profile profile(home_.Path("marovine.ini"));
  DialUpController dialog(network_, profile, Mode::kDial, Logging());
  dialog.Initialise();
  SetAttemptState(dialog, 4);  // NetworkManager gave up
  dialog.OnTimer();
  EXPECT_EQ(dialog.status_lines().front(), "接続が切断されました。");
  EXPECT_EQ(Calls("DeactivateConnection").size(), 1u);
  EXPECT_EQ(dialog.ok_text(), "接続開始");
  dialog.OnTimer();
  dialog.OnTimer();
  EXPECT_EQ(Calls("ActivateConnection").size(), 1u) << "the wait is WaitTime seconds and one";
  dialog.OnTimer();
  EXPECT_EQ(Calls("ActivateConnection").size(), 2u);
  EXPECT_EQ(dialog.redial_field, "0");
  EXPECT_EQ(dialog.status_lines(), (Lines{"接続開始"}));

  SetAttemptState(dialog, 4);
  for (int second = 0; second < 4; ++second) dialog.OnTimer();
  EXPECT_EQ(dialog.end(), End::kCancel);
  EXPECT_EQ(Calls("ActivateConnection").size(), 2u);
}

TEST_F(DialUpTest, ARefusedStartPausesAndWaitsForARedialAndOkAbortsAnAttempt) {
  StartNetworkManager();
  AddGsmProfile();
  ASSERT_TRUE(bus_.Call(kNm, kNmPath, kMock, "AddMethod",
                        g_variant_new("(sssss)", kNm, "ActivateConnection", "ooo", "o",
                                      "raise dbus.exceptions.DBusException('no modem', "
                                      "name='org.freedesktop.NetworkManager.UnknownDevice')")));
  home_.WriteFile("marovine.ini", "[MarovineRasControl]\nListNo=0\n");
  platform::Profile profile(home_.Path("marovine.ini"));
  DialUpController dialog(network_, profile, Mode::kDial, Logging());
  dialog.Initialise();
  EXPECT_NE(dialog.status_lines().front().find("no modem"), std::string::npos);
  EXPECT_EQ(log_, (EventLog{"wait 2000"}));
  EXPECT_EQ(dialog.ok_text(), "接続開始");
  EXPECT_FALSE(dialog.dialling());

  UseSlowActivation();
  for (int second = 0; second < 11; ++second) dialog.OnTimer();
  EXPECT_EQ(dialog.end(), End::kCancel) << "no redials: cancelled 11 seconds after the failure";

  DialUpController again(network_, profile, Mode::kDial, Logging());
  again.Initialise();
  ASSERT_TRUE(again.dialling());
  again.PressOk();
  EXPECT_FALSE(again.dialling());
  EXPECT_EQ(again.end(), End::kOpen);
  EXPECT_EQ(Calls("DeactivateConnection").size(), 1u);
}

TEST_F(DialUpTest, TypedCredentialsDialACopyOfTheProfileForThisAttemptOnly) {
  StartNetworkManager();
  AddGsmProfile();
  ASSERT_TRUE(bus_.Call(
      kNm, kNmPath, kMock, "AddMethod",
      g_variant_new("(sssss)", kNm, "AddAndActivateConnection2", "a{sa{sv}}ooa{sv}", "ooa{sv}",
                    "ret = (dbus.ObjectPath('/org/freedesktop/NetworkManager/Settings/9'), "
                    "dbus.ObjectPath('/org/freedesktop/NetworkManager/ActiveConnection/typed'), "
                    "dbus.Dictionary({}, signature='sv'))")));
  home_.WriteFile("marovine.ini", "[MarovineRasControl]\nListNo=0\n");
  platform::Profile profile(home_.Path("marovine.ini"));
  DialUpController dialog(network_, profile, Mode::kSettings, Logging());
  dialog.Initialise();
  dialog.password = "typed-secret";
  dialog.PressConnect();
  EXPECT_EQ(dialog.mode(), Mode::kDial);
  EXPECT_TRUE(dialog.dialling());
  EXPECT_TRUE(Calls("ActivateConnection").empty());
  std::vector<std::string> calls = Calls("AddAndActivateConnection2");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_NE(calls[0].find("'password': <'typed-secret'>"), std::string::npos) << calls[0];
  EXPECT_NE(calls[0].find("'username': <'taro'>"), std::string::npos) << calls[0];
  EXPECT_NE(calls[0].find("'persist': <'volatile'>"), std::string::npos) << calls[0];
  EXPECT_EQ(calls[0].find("gsm-1"), std::string::npos) << "the copy gets an identity of its own";
  // The profile keeps its own password.
  std::optional<std::vector<DialUpEntry>> entries = network_.ListEntries();
  ASSERT_TRUE(entries && entries->size() == 1);
  EXPECT_EQ(network_.Credentials(entries->front()).password, "himitsu");
}

TEST_F(DialUpTest, WithoutNetworkManagerTheListSaysSoAndNothingIsDialled) {
  home_.WriteFile("marovine.ini", "[MarovineRasControl]\nListNo=0\n");
  platform::Profile profile(home_.Path("marovine.ini"));
  DialUpController dialog(network_, profile, Mode::kSettings, Logging());
  dialog.Initialise();
  EXPECT_EQ(dialog.list_texts(), (std::vector<std::string>{"エントリ無し"}));
  EXPECT_FALSE(dialog.list_enabled());
  EXPECT_EQ(dialog.ok_text(), "接続不可");

  // Dial mode with nothing to choose ends at once; hanging up waits all the
  // same, as the connections could not be read.
  HeadlessDialUpPrompt prompt(Logging());
  DialUpLine line(network_, prompt, Logging());
  EXPECT_TRUE(line.Dial(profile));
  EXPECT_FALSE(line.IsConnected(profile));
  line.HangUpAll(profile);
  EXPECT_EQ(log_, (EventLog{"wait 4000"}));
}

TEST_F(DialUpTest, TheScheduleKeepsTheLineUpInsideTheWindowAndHangsUpOnlyDialUpAtItsEnd) {
  StartNetworkManager();
  std::string lan =
      AddProfile("{'connection': {'id': <'Office LAN'>, 'type': <'802-3-ethernet'>}}");
  ASSERT_TRUE(bus_.Call(kNm, kNmPath, kNm, "ActivateConnection",
                        g_variant_new("(ooo)", lan.c_str(), "/", "/")));
  AddGsmProfile();
  testing::UnattendedDoc u(home_,
                           "[Ippan]\nNoEndWhenStart=0\n[Schedule]\nDialKeep=1\nDialCutTime=1\n"
                           "[MarovineRasControl]\nListNo=0\n");
  HeadlessDialUpPrompt prompt(Logging());
  DialUpLine line(network_, prompt, Logging());
  UnattendedParts parts;
  parts.dial_up = &line;
  parts.clock = [&u] { return u.now; };
  parts.sleep = Logging();
  UnattendedHooks hooks(*u.doc, parts);

  u.SetTime(23, 30);
  hooks.ScheduleCheck(*u.doc);
  std::vector<std::string> activations = Calls("ActivateConnection");
  ASSERT_EQ(activations.size(), 2u);  // the LAN, then the line
  EXPECT_TRUE(line.IsConnected(u.doc->profile));
  hooks.ScheduleCheck(*u.doc);
  EXPECT_EQ(Calls("ActivateConnection").size(), 2u) << "a line that is up is not dialled";

  log_.clear();
  u.SetTime(8, 0);
  hooks.ScheduleCheck(*u.doc);
  std::vector<std::string> hang_ups = Calls("DeactivateConnection");
  ASSERT_EQ(hang_ups.size(), 1u);
  EXPECT_EQ(hang_ups[0].find("ActiveConnection/0"), std::string::npos) << "the LAN stays up";
  EXPECT_EQ(log_, (EventLog{"wait 4000"}));
  EXPECT_FALSE(line.IsConnected(u.doc->profile));
}

}  // namespace
}  // namespace marovine
