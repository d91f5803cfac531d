#include "marovine/engine/page_rewriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::RewriteRequest;
using marovine::testing::Sandbox;

std::string GoldenFolder() { return platform::FolderOf(__FILE__) + "golden/page_rewriter/"; }

RewriteRequest GalleryRequest() {
  RewriteRequest request;
  request.page_url = "http://h.example/site/album/page3.html";
  request.site_url = "http://h.example/site/index.html";
  request.page_extensions = "htm html HTML HTM shtml";
  request.download_extensions = "jpg jpeg JPG css";
  return request;
}

// Regenerate with MAROVINE_UPDATE_GOLDEN=1 after a deliberate change, then
// read the difference before committing it.
void ExpectGolden(const RewriteRequest& request, const std::string& input,
                  const std::string& expected) {
  auto page = platform::ReadWholeFile(GoldenFolder() + input);
  ASSERT_TRUE(page) << input;
  std::string rewritten = marovine::RewritePageText(request, *page);
  if (std::getenv("MAROVINE_UPDATE_GOLDEN") != nullptr) {
    ASSERT_TRUE(platform::WriteFileAtomically(GoldenFolder() + expected, rewritten));
  }
  EXPECT_EQ(rewritten, platform::ReadWholeFile(GoldenFolder() + expected).value_or("<missing>"))
      << expected;
}

TEST(PageRewriterTest, GalleryPageMatchesGolden) {
  ExpectGolden(GalleryRequest(), "gallery_sub.html", "gallery_sub.plain.expected.html");
  RewriteRequest everything = GalleryRequest();
  everything.drop_other = true;
  everything.another_server = true;
  ExpectGolden(everything, "gallery_sub.html", "gallery_sub.cut.expected.html");
}

TEST(PageRewriterTest, RewritesSingleValues) {
  RewriteRequest request = GalleryRequest();
  request.another_server = true;
  EXPECT_EQ(marovine::RewriteLinkValue(request, "noextension"), "noextension");
  EXPECT_EQ(marovine::RewriteLinkValue(request, "pic.jpg"), "../album/pic.jpg");
  EXPECT_EQ(marovine::RewriteLinkValue(request, "../"), "../index.html");
  EXPECT_EQ(marovine::RewriteLinkValue(request, "http://h.example/site/"), "../index.html");
  // Beside the site's folder is not inside it.
  EXPECT_EQ(marovine::RewriteLinkValue(request, "http://h.example/site2/x.html"),
            "http://h.example/site2/x.html");
  EXPECT_EQ(marovine::RewriteLinkValue(request, "http://h.example/site2/x.jpg"),
            "../Another_Server/x.jpg");
  // The link reaches the file the mapping stores, also for hostile names.
  EXPECT_EQ(marovine::RewriteLinkValue(request, "a//b/../c.jpg"), "../album/a/c.jpg");
  std::string long_name(300, 'n');
  std::string link = marovine::RewriteLinkValue(request, long_name + ".jpg");
  EXPECT_LE(link.size(), std::string("../album/").size() + 255);

  request.page_url = "http://h.example/site/index.html";
  EXPECT_EQ(marovine::RewriteLinkValue(request, "album/page3.html"), "album/page3.html");
}

// Values are judged as a browser reads them and written back so that a
// browser reads the new link; a value left alone keeps the server's bytes.
TEST(PageRewriterTest, CharacterReferencesAreReadAndWrittenBack) {
  RewriteRequest request = GalleryRequest();
  std::vector<std::string> asked;
  request.arrived = [&asked](const std::string& url) {
    asked.push_back(url);
    return !url.ends_with("away.html?a=1&b=2");
  };
  EXPECT_EQ(marovine::RewritePageText(
                request,
                "<a href=\"list.html?page=2&amp;sort=name\"><a href=list.html?p=&#x26;>"
                "<img srcset='s.jpg?w=1&amp;h=2 2x, t.jpg 1x'>"
                "<a href=\"away.html?a=1&#38;b=2\"><a href=\"x.cgi?a=1&amp;b=2\">"
                "<a href='q.html?it&apos;s'><a href=q.html?&quot;x&quot;#f>"),
            "<a href=\"../album/list.html%3Fpage=2&amp;sort=name\">"
            "<a href=\"../album/list.html%3Fp=&amp;\">"
            "<img srcset='../album/s.jpg%3Fw=1&amp;h=2 2x, ../album/t.jpg 1x'>"
            "<a href=\"http://h.example/site/album/away.html?a=1&amp;b=2\">"
            "<a href=\"x.cgi?a=1&amp;b=2\">"
            "<a href='../album/q.html%3Fit%27s'><a href=../album/q.html%3F%22x%22#f>");
  // The addresses asked about are the ones the extraction found.
  EXPECT_EQ(asked, (std::vector<std::string>{
                       "http://h.example/site/album/list.html?page=2&sort=name",
                       "http://h.example/site/album/list.html?p=&",
                       "http://h.example/site/album/s.jpg?w=1&h=2",
                       "http://h.example/site/album/t.jpg",
                       "http://h.example/site/album/away.html?a=1&b=2",
                       "http://h.example/site/album/q.html?it's",
                       "http://h.example/site/album/q.html?\"x\"",
                   }));

  // An absolute link that keeps a quote gets it as a reference, and an
  // unquoted one its quotes.
  request.arrived = nullptr;
  EXPECT_EQ(marovine::RewritePageText(request,
                                      "<a href=\"/other/o.html?q=&quot;x&quot;\">"
                                      "<a href=/other/o.html?q=&quot;>"),
            "<a href=\"http://h.example/other/o.html?q=&quot;x&quot;\">"
            "<a href=\"http://h.example/other/o.html?q=&quot;\">");
}

// The "../" that lead back up are counted on where the page is stored, which
// is not always what its address says.
TEST(PageRewriterTest, ClimbsMatchWhereThePageIsStored) {
  RewriteRequest request = GalleryRequest();
  request.another_server = true;
  // Stored as album/page3.html.
  request.page_url = "http://h.example/site/album//page3.html";
  EXPECT_EQ(marovine::RewriteLinkValue(request, "http://h.example/site/x.jpg"), "../x.jpg");
  // A frame page of another server is stored in Another_Server/.
  request.page_url = "http://other.example/a/b/c/frame.html";
  EXPECT_EQ(marovine::RewriteLinkValue(request, "http://h.example/site/x.jpg"), "../x.jpg");
  EXPECT_EQ(marovine::RewriteLinkValue(request, "pic.jpg"), "../Another_Server/pic.jpg");
  // A folder address is stored as its index.html.
  request.page_url = "http://h.example/site/album/";
  EXPECT_EQ(marovine::RewriteLinkValue(request, "http://h.example/site/x.jpg"), "../x.jpg");
}

TEST(PageRewriterTest, SavedPageIsReplacedWholeAndOriginalKept) {
  Sandbox box;
  const std::string original = "<a href=\"pic.jpg\">x</a>";
  std::string path = box.WriteFile("album/page3.html", original);
  ASSERT_TRUE(marovine::RewriteSavedPage(GalleryRequest(), path));
  EXPECT_EQ(box.ReadFile("album/page3.html"), "<a href=\"../album/pic.jpg\">x</a>");
  EXPECT_EQ(box.ReadFile("album/page3.htmlbuf"), original);

  EXPECT_FALSE(marovine::RewriteSavedPage(GalleryRequest(), box.Path("missing.html")));
  EXPECT_FALSE(platform::FileExists(box.Path("missing.html")));

  // When the copy of the original can not be written, the page stays as it was.
  std::string blocked = box.WriteFile("blocked/page.html", original);
  box.WriteFile("blocked/page.htmlbuf/inside", "a folder where the copy should go");
  EXPECT_FALSE(marovine::RewriteSavedPage(GalleryRequest(), blocked));
  EXPECT_EQ(box.ReadFile("blocked/page.html"), original);
}

// Each short value of a page with a deep address grows by a "../" per folder;
// a page made of nothing else stays as it was sent instead of swelling.
TEST(PageRewriterTest, PagesThatWouldSwellBeyondReasonStayAsSent) {
  Sandbox box;
  RewriteRequest request = GalleryRequest();
  std::string deep;
  for (int i = 0; i < 1000; ++i) deep += "d/";
  request.page_url = "http://h.example/site/" + deep + "page.html";
  std::string page;
  for (int i = 0; i < 5000; ++i) page += "<a href='a.jpg'>";
  std::string path = box.WriteFile("deep/page.html", page);
  EXPECT_FALSE(marovine::RewriteSavedPage(request, path));
  EXPECT_EQ(box.ReadFile("deep/page.html"), page);

  // A real page in a deep folder is still rewritten.
  request.page_url = "http://h.example/site/a/b/c/d/e/f/page.html";
  ASSERT_TRUE(marovine::RewriteSavedPage(request, path));
  const std::string first = "<a href='../../../../../../a/b/c/d/e/f/a.jpg'>";
  EXPECT_EQ(box.ReadFile("deep/page.html").substr(0, first.size()), first);
}

}  // namespace
