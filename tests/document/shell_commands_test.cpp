#include "marovine/document/shell_commands.h"

#include <gtest/gtest.h>

#include "marovine/document/url_entry.h"
#include "tests/document/command_fixture.h"

namespace {

using namespace marovine;
using marovine::testing::CommandFixture;

TEST(ShellCommandsTest, ItemOpensActOnExactlyOneRowAndSayWhenTheyFail) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  f.Add("site/");
  f.Add("a.jpg");
  OpenLinkUrl(doc, f.ui, {0, 0});  // two rows: nothing
  OpenLinkUrl(doc, f.ui, {0});
  OpenLinkFolder(doc, f.ui, {0});
  OpenDownloadFolder(doc, f.ui, {0});
  OpenDownloadFile(doc, f.ui, {0});
  OpenDownloadUrl(doc, f.ui, {0});
  EXPECT_EQ(f.ui.opened(),
            (std::vector<std::string>{"http://h/site/", f.box.Path("crawl/"), f.box.Path("direct/"),
                                      f.box.Path("direct/a.jpg"), "http://h/a.jpg"}));
  EXPECT_TRUE(f.ui.messages().empty());

  // A failed open of an address is silent; of a folder or file it is not.
  f.ui.SetShellOpenSucceeds(false);
  OpenLinkUrl(doc, f.ui, {0});
  OpenDownloadUrl(doc, f.ui, {0});
  EXPECT_TRUE(f.ui.messages().empty());
  OpenDownloadFile(doc, f.ui, {0});
  ShowLinkLog(doc, f.ui, {0});
  EXPECT_EQ(f.ui.messages(), (std::vector<std::string>{kCannotShellOpen, kCannotOpenLog}));
  EXPECT_EQ(f.ui.opened().back(), f.box.Path("Log/h_site_.txt"));
  EXPECT_EQ(LinkLogPath(doc, ""), f.box.Path("Log/LogError.txt"));
}

TEST(ShellCommandsTest, DropToolAndHelpDocumentsAreFoundBesideTheProgram) {
  CommandFixture f;
  StartDropTool(f.ui, f.box.Path("bin/"));
  EXPECT_EQ(f.ui.started_programs(), (std::vector<std::string>{f.box.Path("bin/tarq")}));

  // Nothing installed: the readme cannot be opened.
  f.box.WriteFile("bin/marovine", "");
  OpenReadMe(f.ui, f.box.Path("bin/"));
  EXPECT_EQ(f.ui.messages(), (std::vector<std::string>{kCannotShellOpen}));
  EXPECT_TRUE(f.ui.opened().empty());
  f.box.WriteFile("share/doc/marovine/readme.txt", "x");
  f.box.WriteFile("share/doc/marovine/guide/index.ja.html", "x");
  f.box.WriteFile("portable/help/index.ja.html", "x");
  OpenReadMe(f.ui, f.box.Path("bin/"));
  EXPECT_EQ(f.ui.opened().back(), f.box.Path("bin/../share/doc/marovine/readme.txt"));
  EXPECT_EQ(FindHelpDocument(f.box.Path("bin/"), "guide/index.ja.html"),
            f.box.Path("bin/../share/doc/marovine/guide/index.ja.html"));
  EXPECT_EQ(FindHelpDocument(f.box.Path("portable/"), "guide/index.ja.html"),
            f.box.Path("portable/help/index.ja.html"));
  OpenHomePage(f.ui);
  EXPECT_EQ(f.ui.opened().back(), kHomePageUrl);
}

TEST(UrlEntryCommandTest, EachRegistrationModeUsesItsDialog) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  // Crawl mode: the text as typed; refused by the filters, Yes adds it anyway.
  f.ui.QueueCrawlUrl("http://h/movie.avi");
  f.ui.QueueAnswer(true);
  EXPECT_EQ(UrlEntryCommand(doc, f.ui), 1);
  EXPECT_EQ(f.ui.dialog_log().back(), "crawl url http://");
  EXPECT_EQ(f.ui.questions().back(), kRegisterAnywayQuestion);
  EXPECT_EQ(doc.link_items.back().url, "http://h/movie.avi");
  EXPECT_EQ(UrlEntryCommand(doc, f.ui), 0);  // cancelled

  // Whole-site mode: the dialog starts with the whole-site folder.
  doc.settings.registration_mode = kRegisterWholeSite;
  f.ui.QueueWholeSiteEntry({"http://h/top/", "Top", f.box.Path("mirrors")});
  EXPECT_EQ(UrlEntryCommand(doc, f.ui), 1);
  EXPECT_EQ(f.ui.dialog_log().back(), "whole site http:// " + f.box.Path("whole/"));
  const LinkItem& site = doc.link_items.back();
  EXPECT_EQ(site.folder, f.box.Path("mirrors/Top/"));
  EXPECT_EQ(site.history_path, f.box.Path("mirrors/Top/履歴.txt"));
  EXPECT_EQ(site.mode, MODE_WHOLE_SITE);

  // A mirror's history fills the dialog: root is the folder above the mirror.
  std::string history =
      f.box.WriteFile("site/abc/履歴.txt", "[BaseUrl]\nBaseUrl=http://h/abc/\nMidashi=abc\n");
  auto prefilled = WholeSiteEntryFromHistory(history);
  ASSERT_TRUE(prefilled);
  EXPECT_EQ(prefilled->url, "http://h/abc/");
  EXPECT_EQ(prefilled->heading, "abc");
  EXPECT_EQ(prefilled->root_folder, f.box.Path("site/"));
  EXPECT_FALSE(WholeSiteEntryFromHistory(f.box.WriteFile("x/履歴.txt", "")));
}

}  // namespace
