// Addresses with an IPv6 literal host or with user information, from the
// request to the names and logs a crawl leaves behind.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_io.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/nginx_server.h"

namespace marovine {
namespace {

using testing::NginxServer;
using testing::Sandbox;
using Files = std::set<std::string>;

// Every file below the folder whose text holds `needle`.
Files FilesHolding(const std::string& folder, const std::string& needle) {
  Files holding;
  for (const std::string& name : FilesBelow(folder)) {
    if (name.ends_with(".mrv")) continue;  // the list itself keeps what it fetches
    auto text = platform::ReadWholeFile(folder + name);
    if (text && text->find(needle) != std::string::npos) holding.insert(name);
  }
  return holding;
}

class UrlFormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    site_.WriteFile("private/index.html",
                    "<title>Members</title><a href='a.jpg'>a</a><a href='sub/b.jpg'>b</a>");
    site_.WriteFile("private/a.jpg", Jpeg('a'));
    site_.WriteFile("private/sub/b.jpg", Jpeg('b'));
    ASSERT_TRUE(server_.ok()) << server_.error_log();
  }

  Sandbox site_;
  const int v6_port_ = testing::FreeLoopbackPort();
  NginxServer server_{site_.path(), "listen [::1]:" + std::to_string(v6_port_) + ";\n"};
};

TEST_F(UrlFormsTest, UserInformationAuthorizesButNeverLandsInNamesOrLogs) {
  Sandbox home;
  CrawlDoc c(home, "[Ippan]\nSyousaiLog=1\n[MarovineDownLoad]\nLinkFolder=1\n");
  const std::string start = "http://user:secret@" + server_.host() + "/private/";
  ASSERT_EQ(c.doc->RegisterUrl(start), 1);
  c.Crawl();
  Files stored = FilesBelow(home.Path("store/"));
  EXPECT_EQ(stored.size(), 2u);
  for (const auto& name : stored) {
    EXPECT_EQ(name.find("secret"), std::string::npos) << name;
    EXPECT_EQ(name.find('@'), std::string::npos) << name;
  }
  // The detail and link logs were written, under the address without the password.
  Files logs = FilesHolding(home.path(), server_.host() + "/private/");
  EXPECT_GE(logs.size(), 1u);
  EXPECT_EQ(FilesHolding(home.path(), "secret"), Files{}) << ::testing::PrintToString(logs);
  EXPECT_EQ(c.doc->link_items[0].file_count, 2);
}

TEST_F(UrlFormsTest, AnIpv6LiteralHostIsFetched) {
  Sandbox home;
  CrawlDoc c(home);
  ASSERT_EQ(c.doc->RegisterUrl("http://[::1]:" + std::to_string(v6_port_) + "/private/a.jpg"), 1);
  ASSERT_EQ(c.doc->RegisterUrl("http://user:secret@[::1]:" + std::to_string(v6_port_) +
                               "/private/sub/b.jpg"),
            1);
  c.Crawl();
  // Without credentials the private folder answers 401.
  EXPECT_EQ(c.doc->download_items[0].state, DS_ERROR);
  EXPECT_EQ(c.Comment(0), "http/1.1 401 unauthorized");
  EXPECT_EQ(c.doc->download_items[1].state, DS_DONE) << c.Comment(1);
  EXPECT_EQ(*platform::ReadWholeFile(home.Path("store/direct/b.jpg")), Jpeg('b'));
}

}  // namespace
}  // namespace marovine
