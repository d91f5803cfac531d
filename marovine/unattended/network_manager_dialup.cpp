#include <algorithm>
#include <array>
#include <string_view>

#include "marovine/unattended/dialup_network.h"
#include "marovine/unattended/system_bus.h"

namespace marovine {

namespace {

constexpr const char* kNm = "org.freedesktop.NetworkManager";
constexpr const char* kNmPath = "/org/freedesktop/NetworkManager";
constexpr const char* kSettingsPath = "/org/freedesktop/NetworkManager/Settings";
constexpr const char* kSettingsIface = "org.freedesktop.NetworkManager.Settings";
constexpr const char* kProfileIface = "org.freedesktop.NetworkManager.Settings.Connection";
constexpr const char* kActiveIface = "org.freedesktop.NetworkManager.Connection.Active";
constexpr const char* kVpnIface = "org.freedesktop.NetworkManager.VPN.Connection";
constexpr const char* kDeviceIface = "org.freedesktop.NetworkManager.Device";

// NMActiveConnectionState, NMDeviceState and NMVpnConnectionState values.
constexpr guint32 kActiveActivated = 2;
constexpr guint32 kActiveDeactivating = 3;
constexpr guint32 kActiveDeactivated = 4;
constexpr guint32 kDevicePrepare = 40;
constexpr guint32 kDeviceNeedAuth = 60;
constexpr guint32 kDeviceIpConfig = 70;
constexpr guint32 kDeviceActivated = 100;
constexpr guint32 kDeviceDeactivating = 110;
constexpr guint32 kVpnNeedAuth = 2;
constexpr guint32 kVpnIpConfig = 4;
constexpr guint32 kVpnActivated = 5;
constexpr guint32 kVpnFailed = 6;

constexpr std::array<std::string_view, 4> kDialUpTypes = {"gsm", "cdma", "pppoe", "vpn"};

bool DialUpType(const std::string& type, const std::string& bluetooth_type) {
  if (type == "bluetooth") return bluetooth_type == "dun";
  return std::find(kDialUpTypes.begin(), kDialUpTypes.end(), type) != kDialUpTypes.end();
}

// One value of a{sa{sv}} (a profile's settings or secrets); nothing when absent.
Variant SettingValue(GVariant* settings, const char* setting, const char* key) {
  GVariant* group = Gio().variant_lookup_value(settings, setting, G_VARIANT_TYPE_VARDICT);
  if (group == nullptr) return nullptr;
  Variant owned_group(group);
  return Variant(Gio().variant_lookup_value(group, key, nullptr));
}

std::string SettingString(GVariant* settings, const char* setting, const char* key) {
  Variant value = SettingValue(settings, setting, key);
  if (!value || !Gio().variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING)) return "";
  return Gio().variant_get_string(value.get(), nullptr);
}

// The profile's settings, a{sa{sv}} (without secrets).
Variant ProfileSettings(GDBusConnection* bus, const std::string& path) {
  BusReply reply = CallMethod(bus, kNm, path.c_str(), kProfileIface, "GetSettings", nullptr);
  if (!reply) return nullptr;
  return Variant(Gio().variant_get_child_value(reply.value.get(), 0));
}

// The setting of a profile that carries its dial-up user name and password.
std::string CredentialSetting(GVariant* settings, const std::string& type) {
  if (type == "bluetooth") {
    GVariant* gsm = Gio().variant_lookup_value(settings, "gsm", G_VARIANT_TYPE_VARDICT);
    if (gsm != nullptr) {
      Gio().variant_unref(gsm);
      return "gsm";
    }
    return "cdma";
  }
  if (type == "gsm" || type == "cdma" || type == "pppoe" || type == "vpn") return type;
  return "";
}

// A copy of a profile's settings for one attempt with other credentials: a
// new identity (NetworkManager gives it one), the typed user name and password
// in the setting that holds them.
GVariant* WithCredentials(GVariant* settings, const std::string& type,
                          const DialUpCredentials& typed) {
  std::string setting = CredentialSetting(settings, type);
  bool vpn = setting == "vpn";
  GVariantBuilder all;
  Gio().variant_builder_init(&all, VariantType("a{sa{sv}}"));
  bool credentials_written = false;
  auto add_credentials = [&](GVariantBuilder& group) {
    Gio().variant_builder_add(&group, "{sv}", vpn ? "user-name" : "username",
                              Gio().variant_new_string(typed.user.c_str()));
    if (vpn) {
      GVariantBuilder secrets;
      Gio().variant_builder_init(&secrets, VariantType("a{ss}"));
      Gio().variant_builder_add(&secrets, "{ss}", "password", typed.password.c_str());
      Gio().variant_builder_add(&group, "{sv}", "secrets", Gio().variant_builder_end(&secrets));
    } else {
      Gio().variant_builder_add(&group, "{sv}", "password",
                                Gio().variant_new_string(typed.password.c_str()));
    }
    credentials_written = true;
  };
  GVariantIter groups;
  Gio().variant_iter_init(&groups, settings);
  const gchar* name = nullptr;
  GVariant* values = nullptr;
  while (Gio().variant_iter_next(&groups, "{&s@a{sv}}", &name, &values)) {
    Variant owned(values);
    std::string group_name = name;
    GVariantBuilder group;
    Gio().variant_builder_init(&group, G_VARIANT_TYPE_VARDICT);
    GVariantIter keys;
    Gio().variant_iter_init(&keys, values);
    const gchar* key = nullptr;
    GVariant* value = nullptr;
    while (Gio().variant_iter_next(&keys, "{&sv}", &key, &value)) {
      Variant owned_value(value);
      std::string_view k = key;
      bool replaced = group_name == setting &&
                      (k == "username" || k == "user-name" || k == "password" || k == "secrets");
      if ((group_name == "connection" && k == "uuid") || replaced) continue;
      Gio().variant_builder_add(&group, "{sv}", key, value);
    }
    if (group_name == setting) add_credentials(group);
    Gio().variant_builder_add(&all, "{s@a{sv}}", name, Gio().variant_builder_end(&group));
  }
  if (!credentials_written && !setting.empty()) {
    GVariantBuilder group;
    Gio().variant_builder_init(&group, G_VARIANT_TYPE_VARDICT);
    add_credentials(group);
    Gio().variant_builder_add(&all, "{s@a{sv}}", setting.c_str(),
                              Gio().variant_builder_end(&group));
  }
  return Gio().variant_builder_end(&all);
}

std::vector<std::string> ObjectPaths(GVariant* array) {
  std::vector<std::string> paths;
  if (array == nullptr || !Gio().variant_is_of_type(array, G_VARIANT_TYPE_OBJECT_PATH_ARRAY)) {
    return paths;
  }
  GVariantIter iter;
  Gio().variant_iter_init(&iter, array);
  const gchar* path = nullptr;
  while (Gio().variant_iter_next(&iter, "&o", &path)) paths.emplace_back(path);
  return paths;
}

std::optional<guint32> UintProperty(GDBusConnection* bus, const std::string& object,
                                    const char* iface, const char* name) {
  Variant value = GetProperty(bus, kNm, object.c_str(), iface, name);
  if (!value || !Gio().variant_is_of_type(value.get(), G_VARIANT_TYPE_UINT32)) return std::nullopt;
  return Gio().variant_get_uint32(value.get());
}

DialStage DeviceStage(guint32 state) {
  if (state >= kDeviceDeactivating) return DialStage::kFailed;
  if (state >= kDeviceActivated) return DialStage::kConnected;
  if (state >= kDeviceIpConfig) return DialStage::kAuthenticated;
  if (state >= kDeviceNeedAuth) return DialStage::kAuthenticating;
  if (state >= kDevicePrepare) return DialStage::kDialling;
  return DialStage::kStarted;
}

DialStage VpnStage(guint32 state) {
  if (state >= kVpnFailed) return DialStage::kFailed;
  if (state >= kVpnActivated) return DialStage::kConnected;
  if (state >= kVpnIpConfig) return DialStage::kAuthenticated;
  if (state >= kVpnNeedAuth) return DialStage::kAuthenticating;
  return DialStage::kDialling;
}

}  // namespace

std::optional<std::vector<DialUpEntry>> NetworkManagerDialUp::ListEntries() {
  BusConnection bus = ConnectSystemBus();
  if (!bus) return std::nullopt;
  BusReply listed =
      CallMethod(bus.get(), kNm, kSettingsPath, kSettingsIface, "ListConnections", nullptr);
  if (!listed) return std::nullopt;
  Variant paths(Gio().variant_get_child_value(listed.value.get(), 0));
  std::vector<DialUpEntry> entries;
  for (const std::string& path : ObjectPaths(paths.get())) {
    Variant settings = ProfileSettings(bus.get(), path);
    if (!settings) continue;  // gone since it was listed
    DialUpEntry entry;
    entry.path = path;
    entry.name = SettingString(settings.get(), "connection", "id");
    entry.type = SettingString(settings.get(), "connection", "type");
    entry.dial_up = DialUpType(entry.type, SettingString(settings.get(), "bluetooth", "type"));
    if (entry.name.empty()) entry.name = path;
    entries.push_back(std::move(entry));
  }
  std::stable_partition(entries.begin(), entries.end(),
                        [](const DialUpEntry& entry) { return entry.dial_up; });
  return entries;
}

DialUpCredentials NetworkManagerDialUp::Credentials(const DialUpEntry& entry) {
  DialUpCredentials credentials;
  BusConnection bus = ConnectSystemBus();
  if (!bus) return credentials;
  Variant settings = ProfileSettings(bus.get(), entry.path);
  if (!settings) return credentials;
  std::string setting = CredentialSetting(settings.get(), entry.type);
  if (setting.empty()) return credentials;
  credentials.user =
      SettingString(settings.get(), setting.c_str(), setting == "vpn" ? "user-name" : "username");
  // The secrets come only when the user's secret store lends them; a short
  // wait, as nobody may be there to unlock it.
  BusReply secrets = CallMethod(bus.get(), kNm, entry.path.c_str(), kProfileIface, "GetSecrets",
                                Gio().variant_new("(s)", setting.c_str()), 5000);
  if (!secrets) return credentials;
  Variant all(Gio().variant_get_child_value(secrets.value.get(), 0));
  credentials.password = SettingString(all.get(), setting.c_str(), "password");
  if (credentials.password.empty()) {
    // A VPN keeps its secrets as a string map.
    Variant map = SettingValue(all.get(), setting.c_str(), "secrets");
    if (map && Gio().variant_is_of_type(map.get(), VariantType("a{ss}"))) {
      const gchar* password = nullptr;
      if (Gio().variant_lookup(map.get(), "password", "&s", &password)) {
        credentials.password = password;
      }
    }
  }
  return credentials;
}

std::optional<std::string> NetworkManagerDialUp::Dial(const DialUpEntry& entry,
                                                      const std::optional<DialUpCredentials>& typed,
                                                      std::string& error) {
  BusConnection bus = ConnectSystemBus(&error);
  if (!bus) return std::nullopt;
  BusReply started;
  if (!typed) {
    started = CallMethod(bus.get(), kNm, kNmPath, kNm, "ActivateConnection",
                         Gio().variant_new("(ooo)", entry.path.c_str(), "/", "/"), 30000);
  } else {
    Variant settings = ProfileSettings(bus.get(), entry.path);
    if (!settings) {
      error = "接続の設定を読めません。";
      return std::nullopt;
    }
    GVariantBuilder options;
    Gio().variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    Gio().variant_builder_add(&options, "{sv}", "persist", Gio().variant_new_string("volatile"));
    started = CallMethod(bus.get(), kNm, kNmPath, kNm, "AddAndActivateConnection2",
                         Gio().variant_new("(@a{sa{sv}}oo@a{sv})",
                                           WithCredentials(settings.get(), entry.type, *typed), "/",
                                           "/", Gio().variant_builder_end(&options)),
                         30000);
  }
  if (!started) {
    error = started.error;
    return std::nullopt;
  }
  // ActivateConnection answers (o); AddAndActivateConnection2 (o, o, a{sv}).
  Variant active(Gio().variant_get_child_value(started.value.get(), typed ? 1 : 0));
  return std::string(Gio().variant_get_string(active.get(), nullptr));
}

DialProgress NetworkManagerDialUp::Progress(const std::string& handle) {
  DialProgress progress;
  BusConnection bus = ConnectSystemBus(&progress.failure);
  if (!bus) {
    progress.stage = DialStage::kFailed;
    return progress;
  }
  std::optional<guint32> state = UintProperty(bus.get(), handle, kActiveIface, "State");
  // NetworkManager drops an attempt that failed from its list.
  if (!state || *state == kActiveDeactivating || *state == kActiveDeactivated) {
    progress.stage = DialStage::kFailed;
    progress.failure = "接続が切断されました。";
    return progress;
  }
  if (*state == kActiveActivated) {
    progress.stage = DialStage::kConnected;
    return progress;
  }
  if (std::optional<guint32> vpn = UintProperty(bus.get(), handle, kVpnIface, "VpnState")) {
    progress.stage = VpnStage(*vpn);
  } else {
    Variant devices = GetProperty(bus.get(), kNm, handle.c_str(), kActiveIface, "Devices");
    for (const std::string& device : ObjectPaths(devices.get())) {
      if (std::optional<guint32> device_state =
              UintProperty(bus.get(), device, kDeviceIface, "State")) {
        progress.stage = DeviceStage(*device_state);
        break;
      }
    }
  }
  if (progress.stage == DialStage::kFailed) progress.failure = "接続できませんでした。";
  return progress;
}

void NetworkManagerDialUp::HangUp(const std::string& handle) {
  BusConnection bus = ConnectSystemBus();
  if (!bus) return;
  // One that has already gone is hung up too.
  (void)CallMethod(bus.get(), kNm, kNmPath, kNm, "DeactivateConnection",
                   Gio().variant_new("(o)", handle.c_str()));
}

std::optional<std::vector<std::string>> NetworkManagerDialUp::Connections(
    const std::string& chosen_path) {
  BusConnection bus = ConnectSystemBus();
  if (!bus) return std::nullopt;
  Variant active = GetProperty(bus.get(), kNm, kNmPath, kNm, "ActiveConnections");
  if (!active) return std::nullopt;
  std::vector<std::string> up;
  for (const std::string& handle : ObjectPaths(active.get())) {
    Variant profile = GetProperty(bus.get(), kNm, handle.c_str(), kActiveIface, "Connection");
    std::string profile_path;
    if (profile && Gio().variant_is_of_type(profile.get(), G_VARIANT_TYPE_OBJECT_PATH)) {
      profile_path = Gio().variant_get_string(profile.get(), nullptr);
    }
    if (!profile_path.empty() && profile_path == chosen_path) {
      up.push_back(handle);
      continue;
    }
    // Only dial-up kinds count: the local network is never hung up.
    std::optional<std::string> type =
        StringProperty(bus.get(), kNm, handle.c_str(), kActiveIface, "Type");
    if (!type) continue;
    std::string bluetooth_type;
    if (*type == "bluetooth" && !profile_path.empty()) {
      Variant settings = ProfileSettings(bus.get(), profile_path);
      if (settings) bluetooth_type = SettingString(settings.get(), "bluetooth", "type");
    }
    if (DialUpType(*type, bluetooth_type)) up.push_back(handle);
  }
  return up;
}

}  // namespace marovine
