#pragma once

#include <string>

#include "platform/profile.h"

namespace marovine {

// Section "Proxy" of "marovine.ini". Each of the three groups is a set of
// radio buttons: exactly one flag of a group is meant to be 1; when a file
// says otherwise, the first flag that is on (in the order below) wins.
struct ProxySettings {
  // How each transfer picks its proxy.
  int dont_use_proxy = 1;          // DontUseProxy: connect directly
  int use_this_proxy = 0;          // UseThisProxy: always default_proxy
  int use_proxy_top_to_under = 0;  // UseProxyTopToUnder: the list in turn
  int use_proxy_random = 0;        // UseProxyRandom: any line of the list

  // What a retry uses after a connection through a proxy failed.
  int error_dont_use_proxy = 1;      // ErrorDontUseProxy: connect directly
  int error_proxy_top_to_under = 0;  // ErrorProxyTopToUnder: the line after the failed one
  int error_proxy_random = 0;        // ErrorProxyRandom: any line (maybe the same)
  int error_use_same_proxy = 0;      // ErrorUseSameProxy: the failed one again

  // What happens to the failed proxy in "proxy.txt".
  int error_delete_proxy = 0;     // ErrorDeleteProxy: struck from the list
  int error_list_proxy = 0;       // ErrorListProxy: struck and added to "error_proxy.txt"
  int error_dont_deal_proxy = 1;  // ErrorDontDealProxy: left alone

  std::string default_proxy;  // DefaultProxy
  int enable_cash = 0;        // EnableCash: proxied requests ask for no cached copy

  bool operator==(const ProxySettings&) const = default;
};

ProxySettings ReadProxySettings(const platform::Profile& profile);
// Writes every key (the proxy dialog's OK); false when the file could not be
// written.
bool WriteProxySettings(platform::Profile& profile, const ProxySettings& settings);

}  // namespace marovine
