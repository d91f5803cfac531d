#include "marovine/engine/page_parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/text_encoding.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::CPageParser;

constexpr const char* kPages = "htm html HTML HTM shtml SHTML";
constexpr const char* kDownloads = "jpg jpeg JPG JPEG zip mpg";

CPageParser MakeParser(int scope = 0) {
  CPageParser parser;
  parser.page_extensions = kPages;
  parser.download_extensions = kDownloads;
  parser.site_url = "http://h.example/gal/index.html";
  parser.base_url = "http://h.example/gal/page1.html";
  parser.scope = scope;
  return parser;
}

std::vector<std::string> Links(CPageParser& parser) {
  std::vector<std::string> links;
  for (std::string link = parser.NextLink(); !link.empty(); link = parser.NextLink()) {
    links.push_back(link);
  }
  return links;
}

std::vector<std::string> Parse(CPageParser parser, const std::string& page) {
  parser.ParseText(page);
  return Links(parser);
}

TEST(PageParserTest, ReadsAGalleryPage) {
  const std::string page = R"page(<HTML><HEAD><TITLE>My Gallery</TITLE></HEAD>
<BODY background="bg.jpg">
<A HREF="pics/one.jpg"><IMG SRC="thumbs/one_s.jpg" width=80></A>
<a href='two.JPG'>two</a> <a href=three.jpeg>three</a>
<a href="four.Jpg">mixed case is not listed</a>
<a href="next/">next folder</a> <a href="../up.html">up</a>
<a href="mailto:me@h.example">mail</a> <a href="javascript:show('x.jpg')">js</a>
<a href="cgi/view.cgi?id=5">script page</a>
<a href="quoted space.jpg">blank inside quotes</a>
<form action="post.html"><input type=submit></form>
</BODY></HTML>)page";
  CPageParser parser = MakeParser();
  parser.ParseText(page);
  EXPECT_EQ(parser.title, "My Gallery");
  EXPECT_EQ(Links(parser), (std::vector<std::string>{
                               "http://h.example/gal/pics/one.jpg",
                               "http://h.example/gal/thumbs/one_s.jpg",
                               "http://h.example/gal/two.JPG",
                               "http://h.example/gal/three.jpeg",
                               "http://h.example/gal/next/",
                               "http://h.example/up.html",
                               "http://h.example/gal/post.html",
                           }));
  EXPECT_EQ(parser.NextLink(), "");
}

TEST(PageParserTest, ValueCuttingTreatsAllQuotingAlike) {
  for (const char* tag : {"<a href=\"x.html\">", "<a href='x.html'>", "<a href=x.html>",
                          "<a  href = \"x.html\" target=_top>", "<a\nhref=\n'x.html'\n>"}) {
    EXPECT_EQ(Parse(MakeParser(), tag), std::vector<std::string>{"http://h.example/gal/x.html"})
        << tag;
  }
}

TEST(PageParserTest, FramesAndMetaRefreshMayLeaveTheScope) {
  const std::string page =
      "<frameset><frame src=\"http://other.example/menu.html\"><iframe "
      "src='http://other.example/ad.html'></frameset>"
      "<meta http-equiv=\"refresh\" content=\"0; url=http://other.example/next.html\">"
      "<meta http-equiv=\"Refresh\" content=\"5;URL=later.html\">";
  CPageParser parser = MakeParser(2);
  EXPECT_EQ(Parse(parser, page), std::vector<std::string>{"http://h.example/gal/later.html"});
  parser.frame = 1;
  parser.auto_jump = 1;
  EXPECT_EQ(Parse(parser, page), (std::vector<std::string>{
                                     "http://other.example/menu.html",
                                     "http://other.example/ad.html",
                                     "http://other.example/next.html",
                                     "http://h.example/gal/later.html",
                                 }));
}

TEST(PageParserTest, ScopeAndDepthDecideWhatStays) {
  const std::string page =
      "<a href=\"http://other.example/a.html\"><a href=\"/beside/b.html\">"
      "<a href=\"sub/c.html\"><a href=\"sub/deeper/d.html\"><a "
      "href=\"http://other.example/e.jpg\">";
  EXPECT_EQ(Parse(MakeParser(0), page).size(), 5u);
  EXPECT_EQ(Parse(MakeParser(1), page), (std::vector<std::string>{
                                            "http://h.example/beside/b.html",
                                            "http://h.example/gal/sub/c.html",
                                            "http://h.example/gal/sub/deeper/d.html",
                                        }));
  EXPECT_EQ(Parse(MakeParser(2), page), (std::vector<std::string>{
                                            "http://h.example/gal/sub/c.html",
                                            "http://h.example/gal/sub/deeper/d.html",
                                        }));
  EXPECT_TRUE(Parse(MakeParser(7), page).empty());

  CPageParser limited = MakeParser(0);
  limited.depth_limit = 1;
  // The page itself lies deep; the limit counts from the site, not the page.
  limited.base_url = "http://h.example/gal/x/y/page.html";
  EXPECT_EQ(Parse(limited,
                  "<a href=\"/gal/sub/c.html\"><a href=\"/gal/sub/deeper/d.html\">"
                  "<a href=\"/elsewhere/a/b/c.html\">"),
            (std::vector<std::string>{"http://h.example/gal/sub/c.html",
                                      "http://h.example/elsewhere/a/b/c.html"}));

  CPageParser taking = MakeParser(2);
  taking.always_take_downloads = 1;
  EXPECT_EQ(Parse(taking, page), (std::vector<std::string>{
                                     "http://h.example/gal/sub/c.html",
                                     "http://h.example/gal/sub/deeper/d.html",
                                     "http://other.example/e.jpg",
                                 }));
}

TEST(PageParserTest, SpecialTagsAndRewrittenLinks) {
  CPageParser parser = MakeParser();
  EXPECT_TRUE(Parse(parser, "<body background=\"bg.jpg\">").empty());
  parser.background = 1;
  EXPECT_EQ(Parse(parser, "<body background=\"bg.jpg\">"),
            std::vector<std::string>{"http://h.example/gal/bg.jpg"});
  // Already made local by the whole-site rewriting.
  EXPECT_TRUE(Parse(parser,
                    "<img src=\"../Another_Server/x.jpg\">"
                    "<img src=\"..\\Another_Server\\y.jpg\">")
                  .empty());
  EXPECT_EQ(Parse(parser, "<a href=\"http://h.example/jump.cgi?http://far.example/p/x.jpg\">"),
            std::vector<std::string>{"http://h.example/jump.cgi?/p/x.jpg"});
  EXPECT_EQ(Parse(parser, "<a href=\"jump.cgi?url=http://far.example/p/x.jpg\">"),
            std::vector<std::string>{"http://h.example/gal/jump.cgi?url=/p/x.jpg"});
  EXPECT_EQ(Parse(parser, "<a href=\"x.html\" <img src=\"y.jpg\">"),
            std::vector<std::string>{"http://h.example/gal/y.jpg"});
}

// Every place a value is taken from reads it as a browser does, so the
// address asked for is the one the page means.
TEST(PageParserTest, CharacterReferencesInValuesAreDecoded) {
  CPageParser parser = MakeParser();
  EXPECT_EQ(
      Parse(parser,
            "<a href=\"list.html?page=2&amp;sort=name\">"
            "<a href='list.html?page=3&#38;sort=name'><a href=list.html?page=4&#x26;sort=name>"
            "<img src=\"pic&#46;jpg\">"
            "<img src=\"cgi/show.html?a=1&amp;b=2\" srcset=\"s.jpg?w=1&amp;h=2 2x\">"
            "<div style=\"background: url(&quot;bg.jpg&quot;)\"></div>"
            "<meta http-equiv=refresh content=\"0; url=next.html?a=1&amp;b=2\">"
            // A blank or a line break written as a reference is escaped like a
            // written blank: it never splits the link or ends a request line.
            "<a href=\"a&#32;b.html\"><a href=\"c.html?x&#13;&#10;Host:evil\">"
            // Unknown names stay; a parameter that starts like a name too.
            "<a href=\"d.html?q=&bogus;&copy=2\">"),
      (std::vector<std::string>{
          "http://h.example/gal/list.html?page=2&sort=name",
          "http://h.example/gal/list.html?page=3&sort=name",
          "http://h.example/gal/list.html?page=4&sort=name",
          "http://h.example/gal/pic.jpg",
          "http://h.example/gal/cgi/show.html?a=1&b=2",
          "http://h.example/gal/s.jpg?w=1&h=2",
          "http://h.example/gal/bg.jpg",
          "http://h.example/gal/next.html?a=1&b=2",
          "http://h.example/gal/a%20b.html",
          "http://h.example/gal/c.html?x%20%20Host:evil",
          "http://h.example/gal/d.html?q=&bogus;&copy=2",
      }));
  // The style of a style element is no attribute: its text stays as written.
  EXPECT_EQ(Parse(parser, "<style>.a { background: url(x.jpg?a=1&amp;b=2) }</style>"),
            std::vector<std::string>{"http://h.example/gal/x.jpg?a=1&amp;b=2"});

  // A character outside ASCII gives the bytes the page would have written.
  const std::string sjis = platform::ConvertEncoding("画像", "UTF-8", "CP932").value();
  EXPECT_EQ(Parse(parser,
                  "<meta charset=shift_jis><img src=\"&#x753B;&#20687;.jpg\">"
                  "<img src=\"" +
                      sjis + ".jpg\">"),
            (std::vector<std::string>(2, "http://h.example/gal/" + sjis + ".jpg")));
  parser.declared_charset = "utf-8";
  EXPECT_EQ(Parse(parser, "<meta charset=shift_jis><img src=\"&#x753B;&#20687;.jpg\">"),
            std::vector<std::string>{"http://h.example/gal/画像.jpg"});
}

TEST(PageParserTest, TitleTakesTheLastAndIsConvertedToUtf8) {
  CPageParser parser = MakeParser();
  parser.ParseText("<p>no title here</p>");
  EXPECT_EQ(parser.title, "");
  parser.ParseText("<title>First</title><TITLE>Second</Title>");
  EXPECT_EQ(parser.title, "Second");
  parser.ParseText("<title lang=ja>attributes do not count</title>");
  EXPECT_EQ(parser.title, "");

  std::string sjis = platform::ConvertEncoding("写真館", "UTF-8", "CP932").value();
  parser.ParseText(
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"
      "<title>" +
      sjis + "</title>");
  EXPECT_EQ(parser.title, "写真館");
  std::string euc = platform::ConvertEncoding("写真館", "UTF-8", "EUC-JP").value();
  parser.declared_charset = "euc-jp";  // the HTTP head wins over the page
  parser.ParseText("<meta charset=\"shift_jis\"><title>" + euc + "</title>");
  EXPECT_EQ(parser.title, "写真館");
  parser.declared_charset.clear();
  parser.ParseText("<title>写真館</title>");
  EXPECT_EQ(parser.title, "写真館");
}

TEST(PageParserTest, ReadsTheSavedFileAndCutsTheBase) {
  marovine::testing::Sandbox box;
  CPageParser parser = MakeParser();
  parser.local_file = box.WriteFile("page.html", "<a href=\"x.html\">");
  parser.ParsePage();
  EXPECT_EQ(parser.base_url, "http://h.example/gal/");
  EXPECT_EQ(Links(parser), std::vector<std::string>{"http://h.example/gal/x.html"});
  parser.local_file = box.Path("missing.html");
  parser.ParsePage();
  EXPECT_EQ(parser.NextLink(), "");
}

TEST(PageParserTest, HostileInputStaysBoundedAndLinear) {
  CPageParser parser = MakeParser();
  parser.ParseText(std::string(10 * 1024 * 1024, '<'));
  EXPECT_EQ(parser.NextLink(), "");
  std::string titles;
  for (int i = 0; i < 200000; ++i) titles += "<title>";
  parser.ParseText(titles);
  EXPECT_EQ(parser.NextLink(), "");
  EXPECT_LE(parser.title.size(), 64u * 1024u);
  parser.ParseText("<a href=\"" + std::string(5 * 1024 * 1024, '"') + "x.html\">");
  EXPECT_EQ(parser.NextLink(), "");
}

// Every link carries the page's address, so a long address times many short
// links would otherwise cost gigabytes; an endless page is parsed only in part.
TEST(PageParserTest, WhatOnePageMakesTheParserHoldIsBounded) {
  CPageParser parser = MakeParser();
  parser.base_url = "http://h.example/gal/" + std::string(20 * 1024, 'd') + "/page.html";
  parser.ParseText("<a href=\"x.html\"><a href=\"http://h.example/gal/y.html\">");
  EXPECT_EQ(Links(parser), std::vector<std::string>{"http://h.example/gal/y.html"});

  std::string many;
  for (int i = 0; i < 300000; ++i) many += "<a href=x.htm>";
  parser = MakeParser();
  parser.ParseText(many);
  EXPECT_LE(parser.FoundLinks().size(), 16u * 1024u * 1024u);
  EXPECT_EQ(Links(parser).size(), 100000u);

  marovine::testing::Sandbox box;
  parser = MakeParser();
  parser.local_file = box.WriteFile("endless.html", "<a href=\"first.html\">");
  std::filesystem::resize_file(parser.local_file, marovine::kMaxPageBytes);
  std::ofstream(parser.local_file, std::ios::app) << "<a href=\"beyond.html\">";
  parser.ParsePage();
  EXPECT_EQ(Links(parser), std::vector<std::string>{"http://h.example/gal/first.html"});
}

TEST(PageParserTest, TheSameHostUnderTheOtherSchemeIsTheSameSite) {
  const std::string page =
      "<a href='https://h.example/gal/a.jpg'>a</a><a href='https://h.example/b.jpg'>b</a>"
      "<a href='https://other.example/gal/c.jpg'>c</a>";
  EXPECT_EQ(Parse(MakeParser(1), page), (std::vector<std::string>{
                                            "https://h.example/gal/a.jpg",
                                            "https://h.example/b.jpg",
                                        }));
  EXPECT_EQ(Parse(MakeParser(2), page), (std::vector<std::string>{"https://h.example/gal/a.jpg"}));
  CPageParser secure = MakeParser(2);
  secure.site_url = "https://h.example/gal/";
  secure.base_url = "https://h.example/gal/";
  EXPECT_EQ(
      Parse(secure, "<a href='x.jpg'>x</a><a href='http://h.example/gal/y.jpg'>y</a>"),
      (std::vector<std::string>{"https://h.example/gal/x.jpg", "http://h.example/gal/y.jpg"}));
}

}  // namespace
