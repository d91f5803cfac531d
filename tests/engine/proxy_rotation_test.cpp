// Proxy rotation end to end: the proxy list picks, real tinyproxies carry.

#include <gtest/gtest.h>

#include "marovine/engine/proxy_list.h"
#include "platform/file_io.h"
#include "tests/engine/transfer_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/nginx_server.h"

namespace marovine {
namespace {

int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class ProxyRotationTest : public TransferFixture {
 protected:
  void SetUp() override {
    site_.WriteFile("a.jpg", std::string(5000, 'a'));
    ASSERT_TRUE(server_.ok());
    ASSERT_TRUE(first_.ok());
    ASSERT_TRUE(second_.ok());
  }

  TransferSlot Through(const std::string& proxy, const std::string& name) {
    auto slot = MakeSlot(server_.Url("/a.jpg?" + name), name);
    slot.proxy = proxy;
    Run(slot);
    return slot;
  }

  testing::Sandbox site_;
  testing::NginxServer server_{site_.path()};
  testing::TinyproxyServer first_;
  testing::TinyproxyServer second_;
};

TEST_F(ProxyRotationTest, ConsecutiveTransfersTakeTheListInTurn) {
  ASSERT_TRUE(WriteProxyList(box.Path("proxy.txt"), {first_.host(), second_.host()}));
  ProxyList proxies(box.path());
  ProxySettings settings;
  settings.dont_use_proxy = 0;
  settings.use_proxy_top_to_under = 1;

  std::vector<std::string> used;
  for (const char* name : {"one", "two", "three"}) {
    std::string proxy = proxies.NextProxy(settings);
    used.push_back(proxy);
    EXPECT_EQ(Through(proxy, name).status, TS_DONE) << name;
  }
  EXPECT_EQ(used, (std::vector<std::string>{first_.host(), second_.host(), first_.host()}));
  EXPECT_EQ(CountOf(first_.log(), "/a.jpg?"), 2) << first_.log();
  EXPECT_EQ(CountOf(second_.log(), "/a.jpg?"), 1) << second_.log();
}

TEST_F(ProxyRotationTest, ADeadProxyIsStruckAndRecorded) {
  std::string dead = "127.0.0.1:" + std::to_string(testing::FreeLoopbackPort());
  ASSERT_TRUE(WriteProxyList(box.Path("proxy.txt"), {dead, first_.host()}));
  ProxyList proxies(box.path());
  ProxySettings settings;
  settings.dont_use_proxy = 0;
  settings.use_proxy_top_to_under = 1;
  settings.error_dont_use_proxy = 0;
  settings.error_proxy_top_to_under = 1;
  settings.error_dont_deal_proxy = 0;
  settings.error_list_proxy = 1;
  WorkerSettings worker;
  worker.retry_wait_time = 0;
  worker.retry_s_error = 1;
  SetWorker(worker);

  std::string proxy = proxies.NextProxy(settings);
  ASSERT_EQ(proxy, dead);
  auto failed = Through(proxy, "x.jpg");
  ASSERT_EQ(failed.status, TS_CONNECT_RETRY);

  std::string retry_proxy = proxies.ProxyAfterError(settings, failed.proxy);
  EXPECT_EQ(retry_proxy, first_.host());
  EXPECT_EQ(Through(retry_proxy, "y.jpg").status, TS_DONE);
  EXPECT_EQ(ReadProxyList(box.Path("proxy.txt")), std::vector<std::string>{first_.host()});
  EXPECT_EQ(platform::ReadWholeFile(box.Path("error_proxy.txt")).value_or(""), dead + "\n");
}

}  // namespace
}  // namespace marovine
