#include "marovine/engine/proxy_settings.h"

#include <array>

namespace marovine {
namespace {

constexpr const char* kSection = "Proxy";

struct FlagKey {
  const char* name;
  int ProxySettings::*field;
};

constexpr std::array<FlagKey, 12> kFlagKeys = {{
    {"DontUseProxy", &ProxySettings::dont_use_proxy},
    {"UseThisProxy", &ProxySettings::use_this_proxy},
    {"UseProxyTopToUnder", &ProxySettings::use_proxy_top_to_under},
    {"UseProxyRandom", &ProxySettings::use_proxy_random},
    {"ErrorDontUseProxy", &ProxySettings::error_dont_use_proxy},
    {"ErrorProxyTopToUnder", &ProxySettings::error_proxy_top_to_under},
    {"ErrorProxyRandom", &ProxySettings::error_proxy_random},
    {"ErrorUseSameProxy", &ProxySettings::error_use_same_proxy},
    {"ErrorDeleteProxy", &ProxySettings::error_delete_proxy},
    {"ErrorListProxy", &ProxySettings::error_list_proxy},
    {"ErrorDontDealProxy", &ProxySettings::error_dont_deal_proxy},
    {"EnableCash", &ProxySettings::enable_cash},
}};

}  // namespace

ProxySettings ReadProxySettings(const platform::Profile& profile) {
  const ProxySettings defaults;
  ProxySettings settings;
  for (const FlagKey& key : kFlagKeys) {
    settings.*key.field = profile.GetInt(kSection, key.name, defaults.*key.field);
  }
  settings.default_proxy = profile.GetString(kSection, "DefaultProxy", "");
  return settings;
}

bool WriteProxySettings(platform::Profile& profile, const ProxySettings& settings) {
  bool written = true;
  for (const FlagKey& key : kFlagKeys) {
    written = profile.WriteInt(kSection, key.name, settings.*key.field) && written;
  }
  return profile.WriteString(kSection, "DefaultProxy", settings.default_proxy) && written;
}

}  // namespace marovine
