#include "marovine/album/sequential_urls.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/support/sandbox.h"

namespace {

using marovine::SequentialUrlRequest;
using Lines = std::vector<std::string>;

Lines Generate(const std::string& base, long long first, long long last, const std::string& ext,
               int digits) {
  Lines list;
  EXPECT_TRUE(marovine::AppendSequentialUrls({base, first, last, ext, digits}, &list));
  return list;
}

TEST(SequentialUrlsTest, PadsNumbersAndFillsStarPatterns) {
  EXPECT_EQ(Generate("http://pics.example/a/", 3, 5, "jpg", 3),
            (Lines{"http://pics.example/a/003.jpg", "http://pics.example/a/004.jpg",
                   "http://pics.example/a/005.jpg"}));
  EXPECT_EQ(Generate("http://pics.example/test*.jpg", 3, 5, "gif", 3),
            (Lines{"http://pics.example/test003.jpg", "http://pics.example/test004.jpg",
                   "http://pics.example/test005.jpg"}));
  EXPECT_EQ(Generate("u/*_*.png", 1, 1, "", 2), (Lines{"u/01_*.png"}));  // the first "*" only
  EXPECT_EQ(Generate("p", 8, 12, "jpg", 1),
            (Lines{"p8.jpg", "p9.jpg", "p10.jpg", "p11.jpg", "p12.jpg"}));
  EXPECT_EQ(Generate("p", 98, 101, "jpg", 2),
            (Lines{"p98.jpg", "p99.jpg", "p100.jpg", "p101.jpg"}));
  EXPECT_EQ(Generate("http://x/%7Euser/", 1, 1, "jpg", 0), (Lines{"http://x/%7Euser/1.jpg"}));
  EXPECT_TRUE(Generate("p", 5, 4, "jpg", 3).empty());
}

TEST(SequentialUrlsTest, GeneratingAgainAppendsAndHugeRangesAreRefused) {
  Lines list{"kept"};
  ASSERT_TRUE(marovine::AppendSequentialUrls({"p", 1, 2, "jpg", 0}, &list));
  EXPECT_EQ(list, (Lines{"kept", "p1.jpg", "p2.jpg"}));
  EXPECT_FALSE(marovine::AppendSequentialUrls({"p", 0, LLONG_MAX, "jpg", 0}, &list));
  EXPECT_FALSE(marovine::AppendSequentialUrls({"p", LLONG_MIN, LLONG_MAX, "jpg", 0}, &list));
  EXPECT_FALSE(marovine::AppendSequentialUrls({"p", 1, 2, "jpg", 100000}, &list));
  EXPECT_EQ(list.size(), 3u);
  // The end of the range is inclusive even at the largest number.
  Lines top;
  ASSERT_TRUE(marovine::AppendSequentialUrls({"p", LLONG_MAX - 1, LLONG_MAX, "j", 0}, &top));
  EXPECT_EQ(top.size(), 2u);
}

TEST(SequentialUrlsTest, ResultEndsWithASpaceAndTheCallerTakesItApart) {
  Lines list{"http://a/1.jpg", "http://a/2.jpg"};
  std::string result = marovine::SequentialUrlResult(list);
  EXPECT_EQ(result, "http://a/1.jpg http://a/2.jpg ");
  Lines registered;
  auto take = [&](const std::string& url) { registered.push_back(url); };
  EXPECT_EQ(marovine::ForEachResultUrl(result, take), 2u);
  EXPECT_EQ(registered, list);
  // A base with a space splits its lines; runs of spaces give no empty URL.
  registered.clear();
  EXPECT_EQ(marovine::ForEachResultUrl(marovine::SequentialUrlResult({"a b", "c"}) + "  ", take),
            3u);
  EXPECT_EQ(registered, (Lines{"a", "b", "c"}));
  EXPECT_EQ(marovine::ForEachResultUrl("", take), 0u);
}

TEST(SequentialUrlsTest, ListIsWrittenOneLineEach) {
  marovine::testing::Sandbox box;
  ASSERT_TRUE(marovine::WriteSequentialUrlList(box.Path("out/list.txt"), {"a", "b"}));
  EXPECT_EQ(box.ReadFile("out/list.txt"), "a\nb\n");
  box.WriteFile("file", "");
  EXPECT_FALSE(marovine::WriteSequentialUrlList(box.Path("file/list.txt"), {"a"}));
}

}  // namespace
