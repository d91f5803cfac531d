// Redirect chains as the web makes them: every code, across schemes, loops
// and chains too long.

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/file_io.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/nginx_server.h"

namespace marovine {
namespace {

using testing::NginxServer;
using testing::Sandbox;
using Files = std::set<std::string>;

// /hopN.jpg leads to /hop(N+1).jpg, and /hop11.jpg to the picture: from
// /hop1.jpg it takes 11 redirects, from /hop2.jpg 10.
std::string HopChain() {
  std::string config;
  for (int n = 1; n <= 11; ++n) {
    std::string next = n == 11 ? "/final/a.jpg" : "/hop" + std::to_string(n + 1) + ".jpg";
    config += "location = /hop" + std::to_string(n) + ".jpg { return 302 " + next + "; }\n";
  }
  return config;
}

class RedirectCrawlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::SharedTestCa().ok());
    ::setenv("SSL_CERT_FILE", testing::SharedTestCa().ca_file().c_str(), 1);
    ::setenv("SSL_CERT_DIR", site_.Path("no-certificates").c_str(), 1);
    site_.WriteFile("final/a.jpg", Jpeg('a'));
    site_.WriteFile("site/index.html", "<a href='b.jpg'>b</a><img src='c.jpg'>");
    site_.WriteFile("site/b.jpg", Jpeg('b'));
    site_.WriteFile("site/c.jpg", Jpeg('c'));
    secure_ = std::make_unique<NginxServer>(site_.path(), "", testing::LoopbackCertificate());
    ASSERT_TRUE(secure_->ok()) << secure_->error_log();
    plain_ = std::make_unique<NginxServer>(site_.path(),
                                           "location = /r301.jpg { return 301 /r303.jpg; }\n"
                                           "location = /r303.jpg { return 303 /r307.jpg; }\n"
                                           "location = /r307.jpg { return 307 /r308.jpg; }\n"
                                           "location = /r308.jpg { return 308 " +
                                               secure_->Url("/final/a.jpg") +
                                               "; }\n"
                                               "location = /ping.jpg { return 302 /pong.jpg; }\n"
                                               "location = /pong.jpg { return 307 /ping.jpg; }\n"
                                               "location = /start/ { return 301 " +
                                               secure_->Url("/site/") + "; }\n" + HopChain());
    ASSERT_TRUE(plain_->ok()) << plain_->error_log();
  }

  Sandbox site_;
  std::unique_ptr<NginxServer> secure_;
  std::unique_ptr<NginxServer> plain_;
};

TEST_F(RedirectCrawlTest, EveryRedirectCodeIsFollowedAcrossSchemesUnderTheOriginalName) {
  Sandbox home;
  CrawlDoc c(home);
  ASSERT_EQ(c.doc->RegisterUrl(plain_->Url("/r301.jpg")), 1);
  ASSERT_EQ(c.doc->RegisterUrl(plain_->Url("/hop2.jpg")), 1);
  c.Crawl();
  EXPECT_EQ(c.doc->download_items[0].state, DS_DONE) << c.Comment(0);
  EXPECT_EQ(c.doc->download_items[1].state, DS_DONE) << c.Comment(1);
  EXPECT_EQ(FilesBelow(home.Path("store/direct/")), (Files{"hop2.jpg", "r301.jpg"}));
  EXPECT_EQ(*platform::ReadWholeFile(home.Path("store/direct/r301.jpg")), Jpeg('a'));
}

TEST_F(RedirectCrawlTest, ALoopOrAChainOfElevenEndsTheItemSayingWhy) {
  Sandbox home;
  CrawlDoc c(home);
  ASSERT_EQ(c.doc->RegisterUrl(plain_->Url("/ping.jpg")), 1);
  ASSERT_EQ(c.doc->RegisterUrl(plain_->Url("/hop1.jpg")), 1);
  c.Crawl();
  EXPECT_EQ(c.doc->download_items[0].state, DS_ERROR);
  EXPECT_EQ(c.Comment(0), "リダイレクトがループしています。中止しました。");
  EXPECT_EQ(c.doc->download_items[1].state, DS_ERROR);
  EXPECT_EQ(c.Comment(1), "リダイレクトが多すぎます。中止しました。");
  EXPECT_EQ(FilesBelow(home.Path("store/")), Files{});
}

TEST_F(RedirectCrawlTest, AStartPageMovedToHttpsIsSearchedThere) {
  Sandbox home;
  // The two servers differ in port, so the moved site is another host here;
  // a site that keeps its host is in scope either way.
  CrawlDoc c(home, "[MarovineDownLoad]\nMuzyouken=1\n");
  ASSERT_EQ(c.doc->RegisterUrl(plain_->Url("/start/")), 1);
  c.Crawl();
  EXPECT_EQ(FilesBelow(home.Path("store/")), (Files{"b.jpg", "c.jpg"}));
}

}  // namespace
}  // namespace marovine
