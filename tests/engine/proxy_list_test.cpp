#include "marovine/engine/proxy_list.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "platform/path.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::ProxyList;
using marovine::ProxySettings;
using marovine::ReadProxyList;
using marovine::testing::Sandbox;
using Lines = std::vector<std::string>;

ProxySettings Selecting(int ProxySettings::*mode) {
  ProxySettings settings;
  settings.dont_use_proxy = 0;
  settings.*mode = 1;
  return settings;
}

ProxySettings OnError(int ProxySettings::*mode, int ProxySettings::*action) {
  ProxySettings settings;
  settings.error_dont_use_proxy = 0;
  settings.error_dont_deal_proxy = 0;
  settings.*mode = 1;
  settings.*action = 1;
  return settings;
}

// Hands out the given draws in turn.
ProxyList::RandomDraw Draws(std::deque<int> draws) {
  return [draws]() mutable {
    int draw = draws.front();
    draws.pop_front();
    return draw;
  };
}

Lines NextProxies(ProxyList& proxies, const ProxySettings& settings, int count) {
  Lines picked;
  for (int i = 0; i < count; ++i) picked.push_back(proxies.NextProxy(settings));
  return picked;
}

TEST(ProxyListFileTest, LinesAreReadWhateverTheirEnding) {
  struct Case {
    const char* content;
    Lines expected;
  } cases[] = {
      {"a:8080\nb:3128\n", {"a:8080", "b:3128"}},
      {"a:8080\r\nb:3128\r\n", {"a:8080", "b:3128"}},
      // A last line without a line feed keeps its last character.
      {"a:8080\nb:3128", {"a:8080", "b:3128"}},
      {"a\r\n\r\n  \nb \t\n\n", {"a", "b"}},
      {"", {}},
  };
  for (const auto& c : cases) {
    Sandbox box;
    EXPECT_EQ(ReadProxyList(box.WriteFile("proxy.txt", c.content)), c.expected) << c.content;
  }
  Sandbox box;
  EXPECT_TRUE(ReadProxyList(box.Path("proxy.txt")).empty());
  ASSERT_TRUE(marovine::WriteProxyList(box.Path("proxy.txt"), {"x:1", "y"}));
  EXPECT_EQ(box.ReadFile("proxy.txt"), "x:1\ny\n");
}

TEST(ProxySettingsTest, DefaultsAndWrittenValuesReadBack) {
  Sandbox box;
  platform::Profile profile(box.Path("marovine.ini"));
  EXPECT_EQ(marovine::ReadProxySettings(profile), ProxySettings{});

  ProxySettings changed =
      OnError(&ProxySettings::error_proxy_random, &ProxySettings::error_list_proxy);
  changed.dont_use_proxy = 0;
  changed.use_proxy_random = 1;
  changed.default_proxy = "proxy.example:3128";
  changed.enable_cash = 1;
  ASSERT_TRUE(marovine::WriteProxySettings(profile, changed));
  EXPECT_EQ(marovine::ReadProxySettings(profile), changed);
  EXPECT_NE(box.ReadFile("marovine.ini").find("ErrorListProxy=1"), std::string::npos);
}

TEST(ProxyListTest, DirectAndFixedSelection) {
  Sandbox box;
  box.WriteFile("proxy.txt", "a\nb\n");
  ProxyList proxies(box.path());
  EXPECT_EQ(proxies.NextProxy(ProxySettings{}), "");

  ProxySettings fixed = Selecting(&ProxySettings::use_this_proxy);
  fixed.default_proxy = "fixed:8000";
  EXPECT_EQ(NextProxies(proxies, fixed, 2), (Lines{"fixed:8000", "fixed:8000"}));
  EXPECT_EQ(proxies.last_proxy(), "fixed:8000");

  // With every flag of the group off, nobody is asked.
  ProxySettings none;
  none.dont_use_proxy = 0;
  EXPECT_EQ(proxies.NextProxy(none), "");
  EXPECT_EQ(proxies.last_proxy(), "");
}

TEST(ProxyListTest, TopToBottomWrapsAround) {
  Sandbox box;
  box.WriteFile("proxy.txt", "a:1\r\nb:2\r\nc:3");  // CR LF, no line feed at the end
  ProxyList proxies(box.path());
  auto settings = Selecting(&ProxySettings::use_proxy_top_to_under);
  EXPECT_EQ(NextProxies(proxies, settings, 4), (Lines{"a:1", "b:2", "c:3", "a:1"}));
}

TEST(ProxyListTest, TopToBottomStepsFromTheLineThatHoldsTheLastProxy) {
  Sandbox box;
  box.WriteFile("proxy.txt", "host:8080\nhost\nother\n");
  ProxyList proxies(box.path());
  // "host" is also inside "host:8080"; its own line still counts, so the
  // rotation does not hand out "host" for ever.
  auto settings = Selecting(&ProxySettings::use_proxy_top_to_under);
  EXPECT_EQ(NextProxies(proxies, settings, 4), (Lines{"host:8080", "host", "other", "host:8080"}));

  // A last proxy that is no line of its own steps from the first line holding it.
  ProxySettings fixed = Selecting(&ProxySettings::use_this_proxy);
  fixed.default_proxy = "ost:80";
  proxies.NextProxy(fixed);
  EXPECT_EQ(proxies.NextProxy(settings), "host");
  fixed.default_proxy = "elsewhere";
  proxies.NextProxy(fixed);
  EXPECT_EQ(proxies.NextProxy(settings), "host:8080");
}

TEST(ProxyListTest, RandomSelectionStaysWithinTheList) {
  Sandbox box;
  box.WriteFile("proxy.txt", "a\nb\nc\n");
  auto settings = Selecting(&ProxySettings::use_proxy_random);
  ProxyList scripted(box.path(), Draws({0, 16383, 32767, 40000, -3}));
  EXPECT_EQ(NextProxies(scripted, settings, 5), (Lines{"a", "b", "c", "c", "a"}));

  ProxyList proxies(box.path());
  for (const std::string& proxy : NextProxies(proxies, settings, 30)) {
    EXPECT_TRUE(proxy == "a" || proxy == "b" || proxy == "c") << proxy;
  }
}

TEST(ProxyListTest, EmptyOrMissingListMeansDirectConnections) {
  for (const char* content : std::initializer_list<const char*>{"", "\n\r\n", nullptr}) {
    Sandbox box;
    if (content) box.WriteFile("proxy.txt", content);
    ProxyList proxies(box.path(), Draws({5, 5}));
    EXPECT_EQ(proxies.NextProxy(Selecting(&ProxySettings::use_proxy_top_to_under)), "");
    EXPECT_EQ(proxies.NextProxy(Selecting(&ProxySettings::use_proxy_random)), "");
    auto after_error =
        OnError(&ProxySettings::error_proxy_top_to_under, &ProxySettings::error_delete_proxy);
    EXPECT_EQ(proxies.ProxyAfterError(after_error, "a"), "");
    EXPECT_EQ(platform::FileExists(box.Path("proxy.txt")), content != nullptr);
  }
}

TEST(ProxyListTest, ErrorModesChooseTheRetryProxy) {
  Sandbox box;
  const std::string list = "a\r\nb\r\nc\r\n";
  box.WriteFile("proxy.txt", list);
  ProxyList proxies(box.path(), Draws({32767}));
  proxies.NextProxy(Selecting(&ProxySettings::use_proxy_top_to_under));  // "a"

  auto keep = &ProxySettings::error_dont_deal_proxy;
  EXPECT_EQ(proxies.ProxyAfterError(ProxySettings{}, "b"), "");
  EXPECT_EQ(proxies.ProxyAfterError(OnError(&ProxySettings::error_proxy_top_to_under, keep), "b"),
            "c");
  EXPECT_EQ(proxies.ProxyAfterError(OnError(&ProxySettings::error_proxy_top_to_under, keep), "c"),
            "a");
  EXPECT_EQ(proxies.ProxyAfterError(OnError(&ProxySettings::error_proxy_top_to_under, keep), "zz"),
            "a");
  EXPECT_EQ(proxies.ProxyAfterError(OnError(&ProxySettings::error_proxy_random, keep), "b"), "c");
  EXPECT_EQ(proxies.ProxyAfterError(OnError(&ProxySettings::error_use_same_proxy, keep), "b"), "b");
  ProxySettings no_mode;
  no_mode.error_dont_use_proxy = 0;
  EXPECT_EQ(proxies.ProxyAfterError(no_mode, "b"), "");

  // The retry choice is not the rotation: the next transfer goes on after "a".
  EXPECT_EQ(proxies.last_proxy(), "a");
  EXPECT_EQ(box.ReadFile("proxy.txt"), list);
  EXPECT_FALSE(platform::FileExists(box.Path("error_proxy.txt")));
}

TEST(ProxyListTest, DeletingStrikesOnlyTheFailedLine) {
  Sandbox box;
  box.WriteFile("proxy.txt", "10.0.0.1:8080\r\n10.0.0.1:80\r\nb:1\r\nlast");
  ProxyList proxies(box.path());
  auto settings = OnError(&ProxySettings::error_dont_use_proxy, &ProxySettings::error_delete_proxy);
  EXPECT_EQ(proxies.ProxyAfterError(settings, "10.0.0.1:80"), "");
  EXPECT_EQ(box.ReadFile("proxy.txt"), "10.0.0.1:8080\r\nb:1\r\nlast");
  EXPECT_EQ(proxies.ProxyAfterError(settings, "last"), "");
  EXPECT_EQ(box.ReadFile("proxy.txt"), "10.0.0.1:8080\r\nb:1\r\n");
  EXPECT_FALSE(platform::FileExists(box.Path("error_proxy.txt")));

  // A failed proxy with no text strikes nothing.
  proxies.ProxyAfterError(settings, "");
  EXPECT_EQ(box.ReadFile("proxy.txt"), "10.0.0.1:8080\r\nb:1\r\n");
}

TEST(ProxyListTest, ListingMovesTheFailedProxyToTheErrorList) {
  Sandbox box;
  box.WriteFile("proxy.txt", "a\nb\nc\n");
  ProxyList proxies(box.path());
  auto settings =
      OnError(&ProxySettings::error_proxy_top_to_under, &ProxySettings::error_list_proxy);

  EXPECT_EQ(proxies.ProxyAfterError(settings, "b"), "c");
  EXPECT_EQ(box.ReadFile("proxy.txt"), "a\nc\n");
  EXPECT_EQ(box.ReadFile("error_proxy.txt"), "b\n");

  EXPECT_EQ(proxies.ProxyAfterError(settings, "c"), "a");
  EXPECT_EQ(proxies.ProxyAfterError(settings, "a"), "a");  // chosen before it is struck
  EXPECT_EQ(box.ReadFile("proxy.txt"), "");
  EXPECT_EQ(box.ReadFile("error_proxy.txt"), "b\nc\na\n");

  // Nothing left: every further pick is a direct connection.
  EXPECT_EQ(proxies.NextProxy(Selecting(&ProxySettings::use_proxy_top_to_under)), "");
  EXPECT_EQ(proxies.ProxyAfterError(settings, "a"), "");
}

}  // namespace
