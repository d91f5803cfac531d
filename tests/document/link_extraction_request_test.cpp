#include "marovine/document/link_extraction_request.h"

#include <gtest/gtest.h>

#include "marovine/document/document_settings.h"
#include "marovine/engine/work_items.h"
#include "platform/profile.h"
#include "tests/support/sandbox.h"

namespace {

using namespace marovine;

TEST(LinkExtractionRequestTest, FillsTheParserPerMode) {
  marovine::testing::Sandbox box;
  platform::Profile profile(
      box.WriteFile("marovine.ini", "[MarovineDownLoad]\nKakuchoushi=jpg\nKakuchoushi2=zip lzh\n"));
  DocumentSettings settings = DefaultDocumentSettings(box.path());
  settings.whole_site_extensions = "gif";
  settings.unowned_page_extensions = "mp3";
  settings.take_extensions_always = 0;
  settings.fetch_from_other_servers = 1;
  settings.max_link_depth = 4;
  FetchedPage page{"/tmp/p.html", "http://h/s/p.html", "http://h/s/", "euc-jp"};

  CPageParser parser;
  LinkItem crawl;
  crawl.mode = MODE_CRAWL;
  crawl.group = 2;
  crawl.search_level = 1;
  PrepareLinkExtraction(parser, page, &crawl, settings, profile);
  EXPECT_EQ(parser.download_extensions, "zip lzh");
  EXPECT_EQ(parser.scope, 1);
  EXPECT_EQ(parser.always_take_downloads, 0);
  EXPECT_EQ(parser.background, 0);
  EXPECT_EQ(parser.depth_limit, 4);
  EXPECT_EQ(parser.base_url, "http://h/s/p.html");
  EXPECT_EQ(parser.declared_charset, "euc-jp");
  crawl.group = 7;  // an unnamed group falls back to the plain key
  PrepareLinkExtraction(parser, page, &crawl, settings, profile);
  EXPECT_EQ(parser.download_extensions, "jpg");

  crawl.search_level = 3;
  PrepareLinkExtraction(parser, page, &crawl, settings, profile);
  EXPECT_EQ(parser.download_extensions, "DammDammy");
  EXPECT_EQ(parser.scope, 2);

  LinkItem whole;
  whole.mode = MODE_WHOLE_SITE;
  whole.search_level = 255;
  PrepareLinkExtraction(parser, page, &whole, settings, profile);
  EXPECT_EQ(parser.download_extensions, "gif");
  EXPECT_EQ(parser.scope, 2);
  EXPECT_EQ(parser.always_take_downloads, 1);
  EXPECT_EQ(parser.background, settings.fetch_wallpapers);

  PrepareLinkExtraction(parser, page, nullptr, settings, profile);
  EXPECT_EQ(parser.download_extensions, "mp3");
  EXPECT_EQ(parser.scope, 2);
}

}  // namespace
