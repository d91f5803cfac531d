#include "marovine/engine/http_request.h"

#include <gtest/gtest.h>

namespace marovine {
namespace {

TEST(HttpRequestTest, DirectRequestBytesInTheirOrder) {
  RequestInputs in;
  in.url = "http://example.com:8000/dir/pic.jpg?x=1";
  in.referer = "http://example.com:8000/dir/index.html";
  in.credentials = "user:pass";
  in.existing_size = 1234;
  EXPECT_EQ(*BuildHttpRequest(in),
            "GET /dir/pic.jpg?x=1 HTTP/1.0\r\n"
            "Accept: */*\r\n"
            "Range: bytes=1234-\r\n"
            "Referer: http://example.com:8000/dir/index.html\r\n"
            "Accept-Language: ja\r\n"
            "Accept-Encoding: gzip, deflate\r\n"
            "User-Agent: Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)\r\n"
            "Authorization: Basic dXNlcjpwYXNz\r\n"
            "Connection: close\r\n"
            "Host: example.com:8000\r\n"
            "\r\n");
}

TEST(HttpRequestTest, OptionalLinesFollowTheirFlags) {
  RequestInputs in;
  in.url = "http://example.com";
  in.proxy = "proxy.local";
  in.send_referer = true;  // an empty referer still gives the line
  in.no_cache = true;
  in.user_agent = kUserAgentOwn;
  EXPECT_EQ(*BuildHttpRequest(in),
            "GET http://example.com HTTP/1.0\r\n"
            "Accept: */*\r\n"
            "Range: bytes=0-\r\n"
            "Referer: \r\n"
            "Pragma: no-cache\r\n"
            "Accept-Language: ja\r\n"
            "Accept-Encoding: gzip, deflate\r\n"
            "User-Agent: Marovine Ver3\r\n"
            "Connection: close\r\n"
            "Host: example.com\r\n"
            "\r\n");
  in.send_referer = false;
  in.no_cache = false;
  std::string request = *BuildHttpRequest(in);
  EXPECT_EQ(request.find("Referer"), std::string::npos);
  EXPECT_EQ(request.find("Pragma"), std::string::npos);
}

TEST(HttpRequestTest, ConditionalRequestsCarryTheRecordedDateAsServersWriteIt) {
  EXPECT_EQ(HttpDateOf("mon, 01 jan 2024 10:00:00 gmt"), "Mon, 01 Jan 2024 10:00:00 GMT");
  EXPECT_EQ(HttpDateOf("Sun, 06 Nov 1994 08:49:37 GMT"), "Sun, 06 Nov 1994 08:49:37 GMT");
  // Other forms (RFC 850, asctime, another zone, garbage) are not sent.
  EXPECT_EQ(HttpDateOf("sunday, 06-nov-94 08:49:37 gmt"), std::nullopt);
  EXPECT_EQ(HttpDateOf("sun nov  6 08:49:37 1994"), std::nullopt);
  EXPECT_EQ(HttpDateOf("mon, 01 jan 2024 10:00:00 cet"), std::nullopt);
  EXPECT_EQ(HttpDateOf("mon, 01 xyz 2024 10:00:00 gmt"), std::nullopt);
  EXPECT_EQ(HttpDateOf("mon, 01 jan 2024 10:00:00 gmt\r\nX: y"), std::nullopt);
  EXPECT_EQ(HttpDateOf(""), std::nullopt);

  RequestInputs in;
  in.url = "http://example.com/a.jpg";
  in.keep_alive = true;
  in.if_modified_since = "Mon, 01 Jan 2024 10:00:00 GMT";
  std::string request = *BuildHttpRequest(in);
  EXPECT_NE(request.find("\r\nIf-Modified-Since: Mon, 01 Jan 2024 10:00:00 GMT\r\nHost: "),
            std::string::npos)
      << request;
  // Kept-connection requests ask for a range only to resume.
  EXPECT_EQ(request.find("Range:"), std::string::npos) << request;
  in.existing_size = 100;
  EXPECT_NE(BuildHttpRequest(in)->find("\r\nRange: bytes=100-\r\n"), std::string::npos);
}

TEST(HttpRequestTest, ConnectionTargets) {
  struct Case {
    const char* url;
    const char* proxy;
    const char* host;
    int port;
    const char* target;
    const char* host_line;
  } cases[] = {
      {"http://a.com", "", "a.com", 80, "/", "a.com"},
      {"http://a.com/", "", "a.com", 80, "/", "a.com"},
      {"http://a.com:81/x/y.html", "", "a.com", 81, "/x/y.html", "a.com:81"},
      {"http://a/x", "", "a", 80, "/x", "a"},
      {"http://a.com/x", "p.net", "p.net", 8080, "http://a.com/x", "a.com"},
      {"http://a.com", "p.net:3128", "p.net", 3128, "http://a.com", "a.com"},
      {"http://a.com:/x", "", "a.com", 80, "/x", "a.com:"},
      {"http://a.com:65535/", "", "a.com", 65535, "/", "a.com:65535"},
      {"https://a.com/x?q=1", "", "a.com", 443, "/x?q=1", "a.com"},
      {"https://a.com:8443", "", "a.com", 8443, "/", "a.com:8443"},
      // Through a proxy an https:// request goes inside a tunnel, as to the server.
      {"https://a.com/x", "p.net", "p.net", 8080, "/x", "a.com"},
      {"http://[::1]:8080/x", "", "::1", 8080, "/x", "[::1]:8080"},
      {"https://[::1]/", "", "::1", 443, "/", "[::1]"},
      {"http://user:pw@a.com/x", "", "a.com", 80, "/x", "a.com"},
      {"http://user:pw@a.com/x", "p.net", "p.net", 8080, "http://a.com/x", "a.com"},
  };
  for (const auto& c : cases) {
    auto t = DeriveConnectionTarget(c.url, c.proxy);
    ASSERT_TRUE(t) << c.url;
    EXPECT_EQ(t->connect_host, c.host) << c.url;
    EXPECT_EQ(t->connect_port, c.port) << c.url;
    EXPECT_EQ(t->request_target, c.target) << c.url;
    EXPECT_EQ(t->host_header, c.host_line) << c.url;
  }
  TargetProblem problem = TargetProblem::kNone;
  EXPECT_FALSE(DeriveConnectionTarget("HTTP://a.com/", "", &problem));
  EXPECT_EQ(problem, TargetProblem::kNotHttp);
  EXPECT_FALSE(DeriveConnectionTarget("ftp://a.com/", ""));
  EXPECT_EQ(DeriveConnectionTarget("https://a.com/x", "p.net")->tunnel, "a.com:443");
  EXPECT_EQ(DeriveConnectionTarget("https://[::1]:8443/", "p.net")->tunnel, "[::1]:8443");
  EXPECT_EQ(DeriveConnectionTarget("http://a.com/x", "p.net")->tunnel, "");
  for (const char* url : {"http://[::1/", "http://[::1]x/", "http://[::1]:0/"}) {
    EXPECT_FALSE(DeriveConnectionTarget(url, "", &problem)) << url;
    EXPECT_EQ(problem, TargetProblem::kBadPort) << url;
  }
}

TEST(HttpRequestTest, UserInformationBecomesBasicAuthorizationNotAHostLine) {
  RequestInputs in;
  in.url = "http://user:pw@a.com/x";
  in.send_referer = false;
  std::string request = BuildHttpRequest(in).value_or("");
  EXPECT_TRUE(request.starts_with("GET /x HTTP/1.0\r\n")) << request;
  EXPECT_NE(request.find("Authorization: Basic dXNlcjpwdw==\r\n"), std::string::npos) << request;
  EXPECT_NE(request.find("Host: a.com\r\n"), std::string::npos) << request;
  // Credentials given for the site win over the URL's.
  in.credentials = "other:secret";
  request = BuildHttpRequest(in).value_or("");
  EXPECT_NE(request.find("Basic " + EncodeBase64("other:secret")), std::string::npos);
}

TEST(HttpRequestTest, PortsOutsideTheRangeAreRefusedNotReplaced) {
  // 65616 would be port 80 once cut to 16 bits.
  for (const char* url : {"http://a.com:0/", "http://a.com:65536/", "http://a.com:65616/x",
                          "http://a.com:99999999999/", "http://a.com:-80/", "http://a.com:8o/",
                          "http://a.com:80x/", "http://a.com: 80/"}) {
    TargetProblem problem = TargetProblem::kNone;
    EXPECT_FALSE(DeriveConnectionTarget(url, "", &problem)) << url;
    EXPECT_EQ(problem, TargetProblem::kBadPort) << url;
    RequestInputs in;
    in.url = url;
    EXPECT_FALSE(BuildHttpRequest(in)) << url;
  }
  for (const char* proxy : {"p.net:bad", "p.net:0", "p.net:70000"}) {
    TargetProblem problem = TargetProblem::kNone;
    EXPECT_FALSE(DeriveConnectionTarget("http://a.com/", proxy, &problem)) << proxy;
    EXPECT_EQ(problem, TargetProblem::kBadProxyPort) << proxy;
  }
  EXPECT_FALSE(DeriveConnectionTarget("http://a.com:70000/", "p.net:3128"));
}

TEST(HttpRequestTest, Base64PadsToFourCharacters) {
  EXPECT_EQ(EncodeBase64(""), "");
  EXPECT_EQ(EncodeBase64("a"), "YQ==");
  EXPECT_EQ(EncodeBase64("ab"), "YWI=");
  EXPECT_EQ(EncodeBase64("abc"), "YWJj");
  EXPECT_EQ(EncodeBase64("user:secret"), "dXNlcjpzZWNyZXQ=");
  EXPECT_EQ(EncodeBase64("\xff\xfe\x80"), "//6A");  // high bytes count as unsigned
}

}  // namespace
}  // namespace marovine
