#include "marovine/engine/local_path.h"

#include <gtest/gtest.h>

#include <string>

#include "marovine/engine/safe_name.h"
#include "platform/path.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::CrawlFolderOptions;
using marovine::LocalDate;
using marovine::testing::Sandbox;

TEST(LocalPathTest, CrawlSiteFolderTakesAddressOrDate) {
  CrawlFolderOptions options{"/dl", false, false};
  LocalDate day{2001, 1, 5};
  const char* url = "http://h.example/a/b.html?x=1";
  EXPECT_EQ(marovine::MakeCrawlSiteFolder(options, url, day), "/dl/");
  options.date_folder = true;
  EXPECT_EQ(marovine::MakeCrawlSiteFolder(options, url, day), "/dl/2001_1_5/");
  options.address_folder = true;  // wins over the date
  EXPECT_EQ(marovine::MakeCrawlSiteFolder(options, url, day), "/dl/h.example_a_b.html_x=1/");
  // The scheme does not change the folder.
  EXPECT_EQ(marovine::MakeCrawlSiteFolder(options, "https://h.example/a/b.html?x=1", day),
            "/dl/h.example_a_b.html_x=1/");
  EXPECT_EQ(marovine::TitleFolderName("", "https://h.example/a/"), "h_example_a_");
}

TEST(LocalPathTest, TitleFolderReplacesForbiddenCharacters) {
  EXPECT_EQ(marovine::TitleFolderName("A/B: c*d?\"e\"<f>|g.h\n", "http://h/"),
            "A_B_ c_d__e__f__g_h_");
  EXPECT_EQ(marovine::TitleFolderName("", "http://h.example/a/"), "h_example_a_");
  EXPECT_EQ(marovine::TitleFolderName("ギャラリー", "http://h/"), "ギャラリー");
  // A page that is really titled like the untitled text keeps its title.
  EXPECT_EQ(marovine::TitleFolderName("無題", "http://h/"), "無題");
  // Control bytes in a title never reach the file system.
  EXPECT_EQ(marovine::TitleFolderName("a\tb\rc", "http://h/"), "a_b_c");
  // A long Japanese title is cut on a character boundary and stays unique.
  std::string long_title;
  for (int i = 0; i < 120; ++i) long_title += "写";
  std::string name = marovine::TitleFolderName(long_title, "http://h/");
  EXPECT_LE(name.size(), marovine::kMaxNameBytes);
  EXPECT_EQ(name, marovine::TitleFolderName(long_title, "http://h/"));
  EXPECT_TRUE(name.starts_with("写写"));
  EXPECT_NE(name, marovine::TitleFolderName(long_title + "!", "http://h/"));
}

TEST(LocalPathTest, CrawlFileNamesAreSafeComponents) {
  EXPECT_EQ(marovine::CrawlFileName("http://h/a/x.jpg", -1), "x.jpg");
  EXPECT_EQ(marovine::CrawlFileName("http://h/a/x.jpg", 1234), "1234x.jpg");
  EXPECT_EQ(marovine::CrawlFileName("http://h/a/", -1), "index.html");
  EXPECT_EQ(marovine::CrawlFileName("http://h/a/..", -1), "__");
  EXPECT_EQ(marovine::CrawlFileName("http://h/a/.", -1), "_");
  EXPECT_EQ(marovine::CrawlFileName("http://h/a\\..\\..\\x", -1), "a_.._.._x");
  EXPECT_EQ(marovine::CrawlFileName(std::string("http://h/a/x\x01y\x7f.jpg"), -1), "x_y_.jpg");
  std::string long_name(400, 'n');
  std::string shortened = marovine::CrawlFileName("http://h/" + long_name + ".jpeg", -1);
  EXPECT_EQ(shortened.size(), marovine::kMaxNameBytes);
  EXPECT_TRUE(shortened.ends_with(".jpeg"));
}

TEST(LocalPathTest, RenamingCountsUpAndRenumbers) {
  Sandbox box;
  box.WriteFile("x.jpg", "1");
  box.WriteFile("x(1).jpg", "2");
  int counter = 0;
  EXPECT_EQ(marovine::FreeLocalPath(box.Path("x.jpg"), counter), box.Path("x(2).jpg"));
  EXPECT_EQ(counter, 2);
  counter = 0;
  EXPECT_EQ(marovine::FreeLocalPath(box.Path("x(1).jpg"), counter), box.Path("x(2).jpg"));
  counter = 0;
  EXPECT_EQ(marovine::FreeLocalPath(box.Path("free.jpg"), counter), box.Path("free.jpg"));
  EXPECT_EQ(counter, 0);
  box.WriteFile("noext", "3");
  EXPECT_EQ(marovine::FreeLocalPath(box.Path("noext"), counter), box.Path("noext(1)"));
}

struct MappingCase {
  const char* url;
  const char* expected;  // below the site folder
};

TEST(LocalPathTest, WholeSiteMappingMirrorsTheServerAndStaysInside) {
  const char* site = "http://h.example/site/index.html";
  const MappingCase cases[] = {
      {"http://h.example/site/a/b.jpg", "a/b.jpg"},
      {"http://h.example/site/", "index.html"},
      {"http://h.example/site/dir/", "dir/index.html"},
      {"http://other.example/pics/x.jpg", "Another_Server/x.jpg"},
      {"http://other.example/pics/", "Another_Server/index.html"},
      // A folder beside the site's is not below it.
      {"http://h.example/site2/x.jpg", "Another_Server/x.jpg"},
      // Hostile paths: nothing climbs out, nothing is empty.
      {"http://h.example/site/../../../etc/passwd", "etc/passwd"},
      {"http://h.example/site/a/./..//b.jpg", "b.jpg"},
      {"http://h.example/site/..", "index.html"},
      {"http://evil.example/..", "Another_Server/__"},
      {"http://h.example/site/a\\..\\..\\x.jpg", "a_.._.._x.jpg"},
      // The same site under https:// lies in the same tree.
      {"https://h.example/site/a/b.jpg", "a/b.jpg"},
      {"https://other.example/pics/x.jpg", "Another_Server/x.jpg"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(marovine::WholeSiteLocalPath("/root/mirror", site, c.url),
              std::string("/root/mirror/") + c.expected)
        << c.url;
  }
  EXPECT_EQ(
      marovine::WholeSiteLocalPath("/m", "https://h.example/site/", "http://h.example/site/x.jpg"),
      "/m/x.jpg");
}

TEST(SafeNameTest, SanitisesComponentsAndPaths) {
  EXPECT_EQ(marovine::SanitizeNameComponent(""), "_");
  EXPECT_EQ(marovine::SanitizeNameComponent("a/b"), "a_b");
  EXPECT_EQ(marovine::SanitizeNameComponent("..."), "...");
  EXPECT_EQ(marovine::SanitizeRelativePath("/a//b/./c/"), "a/b/c");
  EXPECT_EQ(marovine::SanitizeRelativePath("../../"), "");
  std::string long_component(300, 'x');
  std::string path = marovine::SanitizeRelativePath("d/" + long_component + ".html");
  EXPECT_EQ(path.size(), 2 + marovine::kMaxNameBytes);
  // A name without a usable extension is still cut to the limit.
  EXPECT_EQ(marovine::ShortenName(std::string(300, 'y') + "." + std::string(100, 'z')).size(),
            marovine::kMaxNameBytes);
}

}  // namespace
