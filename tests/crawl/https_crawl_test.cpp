// Crawls and whole-site mirrors of sites served over https://, and links
// between the two schemes.

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

class HttpsCrawlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::SharedTestCa().ok());
    ::setenv("SSL_CERT_FILE", testing::SharedTestCa().ca_file().c_str(), 1);
    ::setenv("SSL_CERT_DIR", site_.Path("no-certificates").c_str(), 1);
    plain_ = std::make_unique<NginxServer>(site_.path());
    secure_ = std::make_unique<NginxServer>(site_.path(), "", testing::LoopbackCertificate());
    ASSERT_TRUE(plain_->ok() && secure_->ok()) << secure_->error_log();

    site_.WriteFile("site/index.html",
                    "<html><head><title>Secure</title></head><body>"
                    "<a href='a.jpg'>a</a><a href='sub/page2.html'>2</a>"
                    "<img src='" +
                        plain_->Url("/pics/p.jpg") + "'></body></html>");
    site_.WriteFile("site/a.jpg", Jpeg('a'));
    site_.WriteFile("site/sub/page2.html", "<a href='../b.jpg'>b</a><a href='/site/c.jpg'>c</a>");
    site_.WriteFile("site/b.jpg", Jpeg('b'));
    site_.WriteFile("site/c.jpg", Jpeg('c'));
    site_.WriteFile("pics/p.jpg", Jpeg('p'));
    site_.WriteFile("plain/index.html", "<a href='" + secure_->Url("/site/d.jpg") + "'>d</a>");
    site_.WriteFile("site/d.jpg", Jpeg('d'));
  }

  Sandbox site_;
  std::unique_ptr<NginxServer> plain_;
  std::unique_ptr<NginxServer> secure_;
};

TEST_F(HttpsCrawlTest, ACrawlFollowsRelativeLinksAndLinksToTheOtherScheme) {
  Sandbox home;
  CrawlDoc c(home, "[MarovineDownLoad]\nMuzyouken=1\n");
  ASSERT_EQ(c.doc->RegisterUrl(secure_->Url("/site/")), 1);
  ASSERT_EQ(c.doc->RegisterUrl(plain_->Url("/plain/")), 1);
  c.Crawl();
  EXPECT_EQ(FilesBelow(home.Path("store/")), (Files{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "p.jpg"}));
  EXPECT_EQ(*platform::ReadWholeFile(home.Path("store/p.jpg")), Jpeg('p'));
  EXPECT_EQ(*platform::ReadWholeFile(home.Path("store/c.jpg")), Jpeg('c'));
}

TEST_F(HttpsCrawlTest, AWholeSiteMirrorOverHttpsBrowsesOffline) {
  Sandbox home;
  const std::string start = secure_->Url("/site/index.html");
  std::string root;
  {
    CrawlDoc c(home, "[DownLoad]\nDownLoad Way-Marovine=0\n");
    ASSERT_EQ(c.doc->RegisterUrl(start), 1);
    root = c.doc->link_items[0].folder;
    c.Crawl();
    EXPECT_EQ(c.doc->link_items[0].title, "Secure");
  }
  Files files = FilesBelow(root);
  for (const char* name : {"index.html", "a.jpg", "b.jpg", "c.jpg", "sub/page2.html"}) {
    EXPECT_EQ(files.count(name), 1u) << name;
  }
  std::string index = *platform::ReadWholeFile(root + "index.html");
  EXPECT_NE(index.find("href='sub/page2.html'"), std::string::npos) << index;
  EXPECT_EQ(index.find(secure_->Url("/")), std::string::npos) << index;
  std::string sub = *platform::ReadWholeFile(root + "sub/page2.html");
  EXPECT_NE(sub.find("href='../b.jpg'"), std::string::npos) << sub;
  EXPECT_NE(sub.find("href='../c.jpg'"), std::string::npos) << sub;
  std::string history = *platform::ReadWholeFile(root + "履歴.txt");
  EXPECT_NE(history.find("BaseUrl=" + start), std::string::npos) << history;
  EXPECT_NE(history.find("[" + secure_->Url("/site/b.jpg") + "]"), std::string::npos) << history;
}

}  // namespace
}  // namespace marovine
