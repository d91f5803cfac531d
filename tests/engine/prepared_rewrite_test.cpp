#include "marovine/engine/prepared_rewrite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "tests/support/sandbox.h"

namespace {

using marovine::PreparedRewrite;
using marovine::RewriteRequest;
using marovine::testing::Sandbox;

RewriteRequest MirrorRequest() {
  RewriteRequest request;
  request.page_url = "http://h.example/site/album/page.html";
  request.site_url = "http://h.example/site/index.html";
  request.page_extensions = "html htm";
  request.download_extensions = "jpg";
  return request;
}

std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

constexpr const char* kNewPage = "<a href=\"/site/index.html\">top</a><img src='pic.jpg'>";

// A page fetched again beside its rewritten copy, the copy's original kept.
struct UpdatedPage {
  explicit UpdatedPage(const Sandbox& box, const std::string& folder)
      : page(box.WriteFile(folder + "/page.html", "old rewritten")),
        fetched(box.WriteFile(folder + "/page.html.marovine-update", kNewPage)) {
    box.WriteFile(folder + "/page.htmlbuf", "old original");
  }
  std::string page;
  std::string fetched;
};

TEST(PreparedRewriteTest, PlacesTheFilesTheRewriteInPlaceWrites) {
  Sandbox box;
  box.WriteFile("in_place/page.html", kNewPage);
  ASSERT_TRUE(marovine::RewriteSavedPage(MirrorRequest(), box.Path("in_place/page.html")));

  UpdatedPage updated(box, "ahead");
  auto prepared = PreparedRewrite::Prepare(MirrorRequest(), updated.fetched, updated.page);
  ASSERT_NE(prepared, nullptr);
  // Nothing the owner sees changes before it places the files.
  EXPECT_EQ(box.ReadFile("ahead/page.html"), "old rewritten");
  EXPECT_EQ(box.ReadFile("ahead/page.htmlbuf"), "old original");
  EXPECT_EQ(box.ReadFile("ahead/page.html.marovine-update"), kNewPage);

  ASSERT_TRUE(prepared->PlaceOriginal());
  ASSERT_TRUE(prepared->PlacePage());
  prepared.reset();
  EXPECT_EQ(box.ReadFile("ahead/page.html"), box.ReadFile("in_place/page.html"));
  EXPECT_EQ(box.ReadFile("ahead/page.htmlbuf"), box.ReadFile("in_place/page.htmlbuf"));
  EXPECT_EQ(box.ReadFile("ahead/page.htmlbuf"), kNewPage);
  EXPECT_EQ(NamesIn(box.Path("ahead")),
            (std::set<std::string>{"page.html", "page.htmlbuf", "page.html.marovine-update"}));
}

TEST(PreparedRewriteTest, WhatIsNeverPlacedLeavesNothingBehind) {
  Sandbox box;
  UpdatedPage updated(box, "dropped");
  const auto before = NamesIn(box.Path("dropped"));
  auto prepared = PreparedRewrite::Prepare(MirrorRequest(), updated.fetched, updated.page);
  ASSERT_NE(prepared, nullptr);
  const auto waiting = NamesIn(box.Path("dropped"));
  EXPECT_EQ(waiting.size(), before.size() + 2);
  prepared.reset();
  EXPECT_EQ(NamesIn(box.Path("dropped")), before);
  EXPECT_EQ(box.ReadFile("dropped/page.htmlbuf"), "old original");

  // What a killed run left waiting is taken over by the next fetch of the
  // page, not added to.
  for (const std::string& name : waiting) {
    if (!before.contains(name)) box.WriteFile("dropped/" + name, "left by a killed run");
  }
  prepared = PreparedRewrite::Prepare(MirrorRequest(), updated.fetched, updated.page);
  ASSERT_NE(prepared, nullptr);
  EXPECT_EQ(NamesIn(box.Path("dropped")), waiting);
  ASSERT_TRUE(prepared->PlaceOriginal());
  EXPECT_EQ(box.ReadFile("dropped/page.htmlbuf"), kNewPage);
  prepared.reset();
  EXPECT_EQ(NamesIn(box.Path("dropped")), before);

  // A page that would swell beyond reason is left to the owner, with no
  // file of its own left over.
  RewriteRequest deep = MirrorRequest();
  deep.page_url = "http://h.example/site/";
  for (int i = 0; i < 1000; ++i) deep.page_url += "d/";
  deep.page_url += "page.html";
  std::string swelling;
  for (int i = 0; i < 5000; ++i) swelling += "<a href='a.jpg'>";
  box.WriteFile("dropped/page.html.marovine-update", swelling);
  EXPECT_EQ(PreparedRewrite::Prepare(deep, updated.fetched, updated.page), nullptr);
  EXPECT_EQ(NamesIn(box.Path("dropped")), before);
  EXPECT_EQ(PreparedRewrite::Prepare(MirrorRequest(), box.Path("dropped/none.html"), updated.page),
            nullptr);
}

TEST(PreparedRewriteTest, RequestsAreAlikeOnlyWhenNothingDependsOnWhatArrived) {
  RewriteRequest request = MirrorRequest();
  EXPECT_TRUE(marovine::SameRewriteRequest(request, MirrorRequest()));
  RewriteRequest cutting = MirrorRequest();
  cutting.drop_other = true;
  EXPECT_FALSE(marovine::SameRewriteRequest(request, cutting));
  RewriteRequest elsewhere = MirrorRequest();
  elsewhere.page_url += "?again";
  EXPECT_FALSE(marovine::SameRewriteRequest(request, elsewhere));
  RewriteRequest asking = MirrorRequest();
  asking.arrived = [](const std::string&) { return true; };
  EXPECT_FALSE(marovine::SameRewriteRequest(asking, asking));

  Sandbox box;
  UpdatedPage updated(box, "asking");
  EXPECT_EQ(PreparedRewrite::Prepare(asking, updated.fetched, updated.page), nullptr);
}

}  // namespace
