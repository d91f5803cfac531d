// Pages as real documentation sites write them, through the link extraction
// and the whole-site rewriting: only link values may differ between the page
// served and the page saved.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "marovine/engine/html_scanner.h"
#include "marovine/engine/page_parser.h"
#include "marovine/engine/page_rewriter.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"

namespace marovine {
namespace {

std::string Golden(const std::string& name) {
  return platform::ReadWholeFile(platform::FolderOf(__FILE__) + "golden/mirror_shapes/" + name)
      .value_or("<missing " + name + ">");
}

// The attribute values a browser takes as addresses.
bool IsLinkAttribute(const std::string& name) {
  for (const char* known : {"href", "src", "background", "action", "lowsrc", "longdesc", "cite",
                            "data", "poster", "codebase", "usemap"}) {
    if (name == known) return true;
  }
  return false;
}

// A page split into what must stay byte for byte (the skeleton, with a mark
// where each link value was) and its link values in order.
struct Tokens {
  std::string skeleton;
  std::vector<std::string> links;
};

class Tokenizer : public HtmlVisitor {
 public:
  explicit Tokenizer(std::string_view page) : page_(page) {}
  Tokens Run() {
    ScanHtml(page_, *this);
    tokens_.skeleton.append(page_.substr(copied_));
    return tokens_;
  }
  void OnTag(const HtmlTag& tag) override {
    for (const HtmlAttribute& attribute : tag.attributes) {
      if (!attribute.has_value) continue;
      if (attribute.name == "srcset") {
        for (TextSpan span : SrcsetUrls(attribute.value)) {
          Take(attribute.value_begin + span.begin, span.size);
        }
      } else if (attribute.name == "content" && tag.name == "meta" &&
                 tag.Find("http-equiv") != nullptr) {
        TextSpan span = RefreshUrl(attribute.value);
        if (span.size > 0) Take(attribute.value_begin + span.begin, span.size);
      } else if (IsLinkAttribute(attribute.name)) {
        Take(attribute.value_begin, attribute.value.size());
      }
    }
  }

 private:
  void Take(std::size_t begin, std::size_t size) {
    tokens_.skeleton.append(page_.substr(copied_, begin - copied_));
    tokens_.skeleton += "\x01";
    tokens_.links.emplace_back(page_.substr(begin, size));
    copied_ = begin + size;
  }
  std::string_view page_;
  std::size_t copied_ = 0;
  Tokens tokens_;
};

Tokens Tokenize(std::string_view page) { return Tokenizer(page).Run(); }

RewriteRequest GuideRequest() {
  RewriteRequest request;
  request.page_url = "http://h.example/doc/guide/index.html";
  request.site_url = "http://h.example/doc/index.html";
  request.page_extensions = "html htm";
  request.download_extensions = "jpg png gif svg css js";
  request.drop_other = true;
  request.another_server = true;
  return request;
}

TEST(MirrorShapesTest, OnlyLinkValuesChangeAndFragmentsStay) {
  const std::string served = Golden("served.html");
  const std::string saved = RewritePageText(GuideRequest(), served);
  Tokens before = Tokenize(served);
  Tokens after = Tokenize(saved);
  EXPECT_EQ(after.skeleton, before.skeleton);
  EXPECT_EQ(after.links, (std::vector<std::string>{
                             "../guide/news.html#latest",
                             "../guide/_static/theme.css%3F2022.1",
                             "../guide/_static/py.svg",
                             "../guide/_static/doctools.js",
                             "../guide/library/os.html#os.path",
                             "../guide/search.html%3Fq=x.y&amp;area=default",
                             "#local.anchor",
                             "https://docs.example.org/3/index.html",
                             "mailto:docs@example.org",
                             "../guide/tutorial/index.html",
                             "",  // not a listed extension: cut
                             "../guide/pics/a.jpg",
                             "../guide/pics/lazy.gif",
                             "../guide/pics/s1.jpg",
                             "../guide/pics/s2.jpg",
                             "../guide/pics/s.jpg",
                             "../guide/cgi/find.html",
                         }));
  // What the skeleton holds, spelled out: scripts, styles, comments and the
  // other attributes are the server's bytes.
  for (const char* kept :
       {"document.querySelector('.lang-toggle').title = \"index.html\";",
        "var u = 'pics/a.jpg', s = \"<a href='x.html'>\";", "url(img/back.png)",
        "<!-- <a href=\"old.html\">", "title=\"3.11 の新機能\"", "title=\"os.path — パス操作\"",
        "value=\"v1.2.3\" placeholder=\"e.g. 1.5\"", "d=\"M1.5 2.5L3.5 4.5z\"",
        "xmlns=\"http://www.w3.org/1999/xhtml\"", "<?xml version=\"1.0\" encoding=\"utf-8\"?>",
        "data-src=\"pics/real.jpg\"", "alt=\"a < b > c\"",
        "<a href=../guide/tutorial/index.html >"}) {
    EXPECT_NE(saved.find(kept), std::string::npos) << kept;
  }
}

TEST(MirrorShapesTest, AtTheEndLinksToFilesThatNeverArrivedPointBack) {
  RewriteRequest request = GuideRequest();
  request.arrived = [](const std::string& url) { return url.ends_with("/a.jpg"); };
  const std::string saved =
      RewritePageText(request,
                      "<img src=\"pics/a.jpg\"><img src='pics/b.jpg'><a href=\"os.html#p\">"
                      "<a href=\"x.zip\"><img src=\"http://far.example/c.jpg\">");
  EXPECT_EQ(saved,
            "<img src=\"../guide/pics/a.jpg\"><img src='http://h.example/doc/guide/pics/b.jpg'>"
            "<a href=\"http://h.example/doc/guide/os.html#p\"><a href=\"\">"
            "<img src=\"http://far.example/c.jpg\">");
  // Without the cut, a file not asked for keeps its value as written.
  request.drop_other = false;
  EXPECT_EQ(RewritePageText(request, "<a href=\"x.zip\">"), "<a href=\"x.zip\">");
}

// Cut values that would change what the page means are left alone, and a
// blank inside a value stays inside one link.
TEST(MirrorShapesTest, CutsNeverBreakSrcsetsRefreshesOrNames) {
  const RewriteRequest request = GuideRequest();
  EXPECT_EQ(RewritePageText(request,
                            "<img srcset=\"a.webp 1x, b.jpg 2x\">"
                            "<meta http-equiv=refresh content=\"0; url=next.php\">"),
            "<img srcset=\"a.webp 1x, ../guide/b.jpg 2x\">"
            "<meta http-equiv=refresh content=\"0; url=next.php\">");
  EXPECT_EQ(RewritePageText(request, "<img src='my pic.jpg'>"),
            "<img src='../guide/my%2520pic.jpg'>");

  CPageParser parser;
  parser.page_extensions = "html";
  parser.download_extensions = "jpg";
  parser.site_url = "http://h.example/doc/index.html";
  parser.base_url = "http://h.example/doc/guide/index.html";
  parser.scope = 0;
  parser.ParseText("<img src='my pic.jpg'>");
  EXPECT_EQ(parser.NextLink(), "http://h.example/doc/guide/my%20pic.jpg");
  EXPECT_EQ(parser.NextLink(), "");
}

TEST(MirrorShapesTest, ExtractionFindsWhatThePageNeeds) {
  CPageParser parser;
  parser.page_extensions = "html htm";
  parser.download_extensions = "jpg png gif svg css js";
  parser.site_url = "http://h.example/doc/index.html";
  parser.base_url = "http://h.example/doc/guide/index.html";
  parser.scope = 0;
  parser.ParseText(Golden("served.html"));
  EXPECT_EQ(parser.title, "目次 — 手引き 3.11");
  std::set<std::string> links;
  const std::string base = "http://h.example/doc/guide/";
  for (std::string link = parser.NextLink(); !link.empty(); link = parser.NextLink()) {
    links.insert(link.starts_with(base) ? link.substr(base.size()) : link);
  }
  EXPECT_EQ(links, (std::set<std::string>{
                       "news.html", "_static/theme.css?2022.1", "_static/py.svg",
                       "_static/doctools.js", "img/back.png", "print.css", "library/os.html",
                       "search.html?q=x.y&area=default", "tutorial/", "pics/a.jpg", "pics/lazy.gif",
                       "pics/real.jpg", "pics/orig.jpg", "pics/d1.jpg", "pics/d2.jpg",
                       "pics/s1.jpg", "pics/s2.jpg", "pics/s.jpg", "cgi/find.html",
                       // Any host is in scope 0, under either scheme.
                       "https://docs.example.org/3/index.html"}));

  // A stylesheet of its own.
  parser.stylesheet = 1;
  parser.base_url = "http://h.example/doc/_static/theme.css";
  parser.ParseText(
      "@import url('base.css');\n@import \"fonts.css\" screen;\n"
      ".a { background: url( \"../img/a.png\" ) } .b { src: url(f.woff2) }");
  std::vector<std::string> found;
  for (std::string link = parser.NextLink(); !link.empty(); link = parser.NextLink()) {
    found.push_back(link);
  }
  EXPECT_EQ(found, (std::vector<std::string>{"http://h.example/doc/_static/base.css",
                                             "http://h.example/doc/_static/fonts.css",
                                             "http://h.example/doc/img/a.png"}));
}

TEST(MirrorShapesTest, ScannerCopesWithBrokenMarkup) {
  // A quote left open, "<" inside names and raw text without its end tag.
  for (const char* page :
       {"<a href=\"x.html", "<a href=x.html <img src='y.jpg'>", "<script>var a = '</scr' + 'ipt>';",
        "<style>url(", "<!--", "<", "<a =x>", "<a href= >", "</>", "<!DOCTYPE"}) {
    std::string saved = RewritePageText(GuideRequest(), page);
    EXPECT_EQ(Tokenize(saved).skeleton, Tokenize(page).skeleton) << page;
  }
}

// Peak memory of one rewrite of a large page, measured in a fresh copy of
// this program so that nothing else it holds counts. Under the address
// sanitizer that copy runs without its quarantine of freed blocks, which
// would otherwise fill to its own cap whatever the code does.
constexpr const char* kLargePageVariable = "MAROVINE_LARGE_PAGE";

TEST(MirrorShapesTest, DISABLED_RewriteOneLargePage) {
  const char* path = std::getenv(kLargePageVariable);
  ASSERT_NE(path, nullptr);
  rusage before{};
  ::getrusage(RUSAGE_SELF, &before);
  RewriteRequest request = GuideRequest();
  request.page_url = "http://h.example/doc/big/index.html";
  bool ok = RewriteSavedPage(request, path);
  rusage after{};
  ::getrusage(RUSAGE_SELF, &after);
  std::string report = std::to_string(ok ? 1 : 0) + " " + std::to_string(before.ru_maxrss) + " " +
                       std::to_string(after.ru_maxrss);
  ASSERT_TRUE(platform::WriteFileAtomically(std::string(path) + ".rss", report));
}

#if defined(__SANITIZE_THREAD__)
constexpr bool kThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr bool kThreadSanitizer = true;
#else
constexpr bool kThreadSanitizer = false;
#endif
#else
constexpr bool kThreadSanitizer = false;
#endif

TEST(MirrorShapesTest, RewritingALargePageHoldsAboutItsSize) {
  // The thread sanitizer's shadow of every byte touched counts as resident.
  if (kThreadSanitizer) GTEST_SKIP() << "memory is not measurable under the thread sanitizer";
  testing::Sandbox box;
  const std::string path = box.Path("big/index.html");
  const std::string block =
      "<p class=\"x.y\">Some text <a href=\"page.html#s.1\">a link</a> and "
      "<img src=\"pics/p.jpg\" alt=\"1.5 &lt; 2\"> more text to fill a line.</p>\n";
  const std::size_t target = 60u * 1024 * 1024;
  {
    EXPECT_TRUE(platform::MakeFoldersForFile(path));
    std::FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    for (std::size_t written = 0; written < target;) {
      written += std::fwrite(block.data(), 1, block.size(), out);
    }
    std::fclose(out);
  }
  std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  std::string variable = std::string(kLargePageVariable) + "=" + path;
  testing::ChildProcess child({self, "--gtest_filter=MirrorShapesTest.DISABLED_RewriteOneLargePage",
                               "--gtest_also_run_disabled_tests"},
                              {variable, "ASAN_OPTIONS=quarantine_size_mb=0:detect_leaks=0"},
                              box.Path("child.out"), box.Path("child.err"));
  ASSERT_EQ(child.Wait(), 0) << box.ReadFile("child.out") << box.ReadFile("child.err");
  long ok = 0;
  long before_kb = 0;
  long peak_kb = 0;
  ASSERT_EQ(std::sscanf(box.ReadFile("big/index.html.rss").c_str(), "%ld %ld %ld", &ok, &before_kb,
                        &peak_kb),
            3);
  EXPECT_EQ(ok, 1) << "the large page was not rewritten";
  const long page_kb = static_cast<long>(target / 1024);
  const long grown_kb = peak_kb - before_kb;
  std::printf("large page: %ld MB, peak RSS %ld MB, grown by %ld MB while rewriting\n",
              page_kb / 1024, peak_kb / 1024, grown_kb / 1024);
  ::testing::Test::RecordProperty("peak_rss_mb", std::to_string(peak_kb / 1024));
  EXPECT_LT(grown_kb, page_kb + page_kb / 2 + 32 * 1024);
  std::string head = box.ReadFile("big/index.html").substr(0, 200);
  EXPECT_NE(head.find("href=\"../big/page.html#s.1\""), std::string::npos) << head;
}

}  // namespace
}  // namespace marovine
