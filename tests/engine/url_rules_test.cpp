#include "marovine/engine/url_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using marovine::ResolveLink;

struct ResolveCase {
  const char* value;
  const char* base;
  std::optional<std::string> expected;
};

TEST(UrlRulesTest, ResolvesLinksAgainstTheBase) {
  const ResolveCase cases[] = {
      {"x.jpg", "http://h/a/b/", "http://h/a/b/x.jpg"},
      {"../x.jpg", "http://h/a/b/", "http://h/a/x.jpg"},
      {"../../x.jpg", "http://h/a/b/", "http://h/x.jpg"},
      // "../" never climbs above the host.
      {"../../../x.jpg", "http://h/a/b/", "http://h/x.jpg"},
      {"../../../../../x.jpg", "http://h/", "http://h/x.jpg"},
      {"/x.jpg", "http://h/a/b/", "http://h/x.jpg"},
      {"/p/q.html", "http://h:8080/a/", "http://h:8080/p/q.html"},
      {"./x.jpg", "http://h/a/", "http://h/a/x.jpg"},
      {"././x.jpg", "http://h/a/", "http://h/a/x.jpg"},
      {"../img/./x.jpg", "http://h/a/b/", std::nullopt},
      {"a/../x.jpg", "http://h/a/", std::nullopt},
      {"http://other/x.jpg", "http://h/a/", "http://other/x.jpg"},
      {"../http://other/x.jpg", "http://h/a/b/", "http://other/x.jpg"},
      {"jump.cgi?url=http://x/y.jpg", "http://h/a/", "http://h/a/jump.cgi?url=http://x/y.jpg"},
      {"9http://x/y.jpg", "http://h/a/", "http://h/a/9http://x/y.jpg"},
      {"//cdn.example/x.jpg", "http://h/a/", "http://cdn.example/x.jpg"},
      {"https://h/x.jpg", "http://h/a/", "https://h/x.jpg"},
      // Other schemes can not be fetched and must not be glued onto the base.
      {"ftp://h/x.jpg", "http://h/a/", std::nullopt},
      {"mailto:me@example.com", "http://h/a/", std::nullopt},
      {"javascript:open('x.jpg')", "http://h/a/", std::nullopt},
      {"pic.jpg?size=2", "http://h/a/", "http://h/a/pic.jpg?size=2"},
      // A scheme in capitals is still the web's own, not another one.
      {"HTTP://OTHER/X.JPG", "http://h/a/", "http://OTHER/X.JPG"},
      {"Http://other/x.jpg", "http://h/a/", "http://other/x.jpg"},
      {"HTTPS://other/x.jpg", "http://h/a/", "https://other/x.jpg"},
      {"HTTPX://other/x.jpg", "http://h/a/", std::nullopt},
      // A page under https:// resolves the same way, and keeps its scheme.
      {"x.jpg", "https://h/a/", "https://h/a/x.jpg"},
      {"../../../x.jpg", "https://h/a/b/", "https://h/x.jpg"},
      {"/x.jpg", "https://h:8443/a/", "https://h:8443/x.jpg"},
      {"//cdn.example/x.jpg", "https://h/a/", "https://cdn.example/x.jpg"},
      {"http://other/x.jpg", "https://h/a/", "http://other/x.jpg"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveLink(c.value, c.base), c.expected) << c.value << " on " << c.base;
  }
  // The rewriting resolves without refusing "./" in the middle.
  EXPECT_EQ(ResolveLink("a/./x.jpg", "http://h/d/", false), "http://h/d/a/./x.jpg");
}

TEST(UrlRulesTest, CutsUrlsIntoTheirParts) {
  EXPECT_EQ(marovine::HostPartOf("http://h.example:81/a/b.html"), "http://h.example:81");
  EXPECT_EQ(marovine::HostPartOf("http://h.example"), "http://h.example");
  EXPECT_EQ(marovine::UrlFolderOf("http://h/a/b.html"), "http://h/a");
  EXPECT_EQ(marovine::BaseUrlOf("http://h/a/b.html"), "http://h/a/");
  EXPECT_EQ(marovine::BaseUrlOf("http://h/a/"), "http://h/a/");
  // A bare host is its own base; cutting after "http://" would lose the host.
  EXPECT_EQ(marovine::BaseUrlOf("http://h.example"), "http://h.example/");
  EXPECT_EQ(marovine::UrlFileName("http://h/a/b.jpg"), "b.jpg");
  EXPECT_EQ(marovine::UrlFileName("http://h/a/"), "index.html");
  EXPECT_EQ(marovine::UrlToFlatName("http://h/a?b=1,2<3>/"), "h_a_b=1_2_3__");
  EXPECT_EQ(marovine::ExtensionOf("a/b.tar.gz"), "gz");
  EXPECT_EQ(marovine::ExtensionOf("noext"), "noext");
  EXPECT_EQ(marovine::RemoveSecondHttp("http://a/jump.cgi?http://b.example/x/y.jpg"),
            "http://a/jump.cgi?/x/y.jpg");
  EXPECT_EQ(marovine::RemoveSecondHttp("http://a/x.jpg"), "http://a/x.jpg");
}

TEST(UrlRulesTest, UserInformationIsLeftOutOfNames) {
  EXPECT_EQ(marovine::WithoutUserInfo("http://u:p@h/a@b.jpg"), "http://h/a@b.jpg");
  EXPECT_EQ(marovine::WithoutUserInfo("https://u:p@w@h:81?q@x"), "https://h:81?q@x");
  EXPECT_EQ(marovine::WithoutUserInfo("http://h/a@b"), "http://h/a@b");
  EXPECT_EQ(marovine::WithoutUserInfo("mailto:u@h"), "mailto:u@h");
  EXPECT_EQ(marovine::UrlToFlatName("http://u:p@h/a"), "h_a");
}

TEST(UrlRulesTest, TheSchemeDoesNotChangeNamesOrTheSite) {
  EXPECT_EQ(marovine::HostPartOf("https://h.example:8443/a/b.html"), "https://h.example:8443");
  EXPECT_EQ(marovine::BaseUrlOf("https://h.example"), "https://h.example/");
  EXPECT_EQ(marovine::UrlToFlatName("https://h/a?b=1/"),
            marovine::UrlToFlatName("http://h/a?b=1/"));
  EXPECT_EQ(marovine::AnySchemeNeedle("https://h/a"), "://h/a");
  EXPECT_NE(std::string("http://h/a/x.jpg").find(marovine::AnySchemeNeedle("https://h/a")),
            std::string::npos);
}

TEST(UrlRulesTest, ExtensionsMatchOnlyAsWholeCaseSensitiveWords) {
  const char* list = "jpg jpeg JPG mpeg";
  EXPECT_TRUE(marovine::HasWholeWord(list, "jpg"));
  EXPECT_TRUE(marovine::HasWholeWord(list, "JPG"));
  EXPECT_TRUE(marovine::HasWholeWord(list, "mpeg"));
  EXPECT_FALSE(marovine::HasWholeWord(list, "Jpg"));
  EXPECT_FALSE(marovine::HasWholeWord(list, "peg"));
  EXPECT_FALSE(marovine::HasWholeWord(list, "mp"));
  EXPECT_FALSE(marovine::HasWholeWord(list, ""));
  EXPECT_FALSE(marovine::HasWholeWord("jpeg", "jpg"));
}

}  // namespace
