#include "marovine/document/list_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

#include "marovine/document/list_file_reader.h"
#include "marovine/document/url_extraction.h"
#include "platform/path.h"
#include "tests/document/command_fixture.h"

namespace {

using namespace marovine;
using marovine::testing::CommandFixture;

std::vector<std::string> LinkUrls(const CMarovineDoc& doc) {
  std::vector<std::string> urls;
  for (const auto& item : doc.link_items) urls.push_back(item.url);
  return urls;
}

std::vector<std::string> DownloadUrls(const CMarovineDoc& doc) {
  std::vector<std::string> urls;
  for (const auto& item : doc.download_items) urls.push_back(item.url);
  return urls;
}

TEST(UrlExtractionTest, RuleTable) {
  using namespace std::literals;
  struct Case {
    std::string_view line;
    UrlTextSource source;
    const char* url;
  };
  const Case cases[] = {
      {"see http://h/a.jpg", UrlTextSource::kListFile, "http://h/a.jpg"},
      {"画像http://h/a.jpg（新作）", UrlTextSource::kListFile, "http://h/a.jpg"},
      {"http://h/a.jpg　全角空白", UrlTextSource::kListFile, "http://h/a.jpg"},
      {"<a href=\"http://h/x.html\">x</a>", UrlTextSource::kListFile, "http://h/x.html"},
      {"http://h/a.jpg>tail", UrlTextSource::kListFile, "http://h/a.jpg"},
      {"http://h/p～q", UrlTextSource::kListFile, "http://h/p"},
      {"https://h/secure.jpg", UrlTextSource::kListFile, ""},
      {"no address here", UrlTextSource::kListFile, ""},
      {"http://", UrlTextSource::kListFile, ""},
      // Only the clipboard cuts at an ASCII parenthesis.
      {"http://h/a.jpg(1)", UrlTextSource::kListFile, "http://h/a.jpg(1)"},
      {"http://h/a.jpg(1)", UrlTextSource::kClipboard, "http://h/a.jpg"},
      // Binary text: a NUL ends the address.
      {"http://h/a.jpg\0junk"sv, UrlTextSource::kListFile, "http://h/a.jpg"},
      {"http://h/a.jpg http://h/b.jpg", UrlTextSource::kListFile, "http://h/a.jpg"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExtractUrl(c.line, c.source), c.url) << c.line;
  EXPECT_EQ(SplitTextLines("a\r\nb\nc\r\n"), (std::vector<std::string_view>{"a", "b", "c"}));
}

TEST(ListImportTest, ImportsEveryLineInFileOrderFromUtf8AndCp932Files) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  f.box.WriteFile(
      "utf8.txt",
      "先頭 http://h/a.jpg（説明）\r\nhttp://h/site/\n\nhttps://h/b.jpg\nhttp://h/c.zip");
  // "画像 http://h/d.jpg（新）" in CP932: the full-width parenthesis is two
  // bytes there, not the three of UTF-8.
  f.box.WriteFile("sjis.txt", "\x89\xe6\x91\x9c http://h/d.jpg\x81\x69\x90\x56\x81\x6a\r\n");
  f.ui.QueueFileChoice(f.box.Path("utf8.txt"));
  ImportListFileCommand(doc, f.ui);
  EXPECT_EQ(f.ui.dialog_log().back(), std::string("open ") + kImportFilter);
  EXPECT_EQ(ImportListFile(doc, f.ui, f.box.Path("sjis.txt")), 1);
  EXPECT_EQ(DownloadUrls(doc),
            (std::vector<std::string>{"http://h/a.jpg", "http://h/c.zip", "http://h/d.jpg"}));
  EXPECT_EQ(LinkUrls(doc), (std::vector<std::string>{"http://h/site/"}));

  EXPECT_EQ(ImportListFile(doc, f.ui, f.box.Path("missing.txt")), -1);
  EXPECT_EQ(f.ui.messages(), (std::vector<std::string>{kCannotOpenFile}));
}

// 50 MB of random bytes without a line feed, with a few addresses inside:
// read in bounded pieces, it registers just those addresses.
TEST(ListImportTest, HugeBinaryFileRegistersOnlyWhatTheRuleFinds) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  std::string path = f.box.Path("huge.bin");
  {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::mt19937_64 random(7);
    std::string block(1 << 20, '\0');
    for (int mb = 0; mb < 50; ++mb) {
      for (std::size_t at = 0; at < block.size(); at += 8) {
        std::uint64_t word = random();
        std::memcpy(block.data() + at, &word, 8);
      }
      std::replace(block.begin(), block.end(), '\n', '\0');
      if (mb % 10 == 3) {
        std::string marker = std::string(1, '\0') + "http://h/" + std::to_string(mb) + ".jpg";
        marker += '\0';
        block.replace(1000, marker.size(), marker);
      }
      ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), file), block.size());
    }
    std::fclose(file);
  }
  ImportListFile(doc, f.ui, path);
  EXPECT_EQ(DownloadUrls(doc),
            (std::vector<std::string>{"http://h/3.jpg", "http://h/13.jpg", "http://h/23.jpg",
                                      "http://h/33.jpg", "http://h/43.jpg"}));
  EXPECT_TRUE(doc.link_items.empty());
}

TEST(ListImportTest, ListLinesComeInBoundedPiecesThatKeepUtf8Whole) {
  marovine::testing::Sandbox box;
  // 499 ASCII bytes, then a three-byte character across the 500-byte mark.
  std::string line(499, 'x');
  line += "あ";
  line += "tail";
  ListFileReader reader(box.WriteFile("long.txt", line + "\nnext\n"));
  std::string piece;
  ASSERT_TRUE(reader.NextLine(piece));
  EXPECT_EQ(piece, std::string(499, 'x') + "あ");
  ASSERT_TRUE(reader.NextLine(piece));
  EXPECT_EQ(piece, "tail");
  ASSERT_TRUE(reader.NextLine(piece));
  EXPECT_EQ(piece, "next");
  EXPECT_FALSE(reader.NextLine(piece));
}

TEST(ListImportTest, FullDownloadListAnswersWithTheStatusTextAndOverwritesNothing) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  for (int i = 0; i < 9998; ++i) {
    DownloadItem item;
    item.url = "http://h/" + std::to_string(i) + ".jpg";
    ASSERT_EQ(doc.AppendDownloadItem(item), i);
  }
  std::string list;
  for (int i = 9998; i < 10003; ++i) list += "http://h/" + std::to_string(i) + ".jpg\n";
  EXPECT_EQ(ImportListFile(doc, f.ui, f.box.WriteFile("many.txt", list)), 2);
  EXPECT_EQ(doc.download_items.size(), 10000u);
  EXPECT_EQ(doc.download_items[9999].url, "http://h/9999.jpg");
  EXPECT_NE(f.ui.StatusText(0).find("10000"), std::string::npos);
}

TEST(ListImportTest, ShortcutsRegisterTheirOneUrlAndMayNameTheSiteFolder) {
  CommandFixture f("[MarovineDownLoad]\nMakeShortCutTitleFolder=1\n");
  CMarovineDoc& doc = *f.doc;
  // The first line that carries a URL is the third; later ones are ignored.
  std::string url_file = f.box.WriteFile(
      "お気に入り.site.url",
      "[InternetShortcut]\r\nIconIndex=0\r\nURL=http://h/gallery/\r\nURL=http://h/other/\r\n");
  EXPECT_EQ(ImportDroppedListFile(doc, f.ui, url_file), 1);
  ASSERT_EQ(LinkUrls(doc), (std::vector<std::string>{"http://h/gallery/"}));
  EXPECT_EQ(doc.link_items[0].folder, f.box.Path("crawl/お気に入り/"));

  std::string desktop = f.box.WriteFile(
      "Pics.desktop", "[Desktop Entry]\nName=Pics\nType=Link\nURL=http://h/pics/\nIcon=x\n");
  std::string app = f.box.WriteFile(
      "App.desktop", "[Desktop Entry]\nType=Application\nExec=x\nURL=http://h/app/\n");
  EXPECT_EQ(ImportDroppedListFile(doc, f.ui, desktop), 1);
  EXPECT_EQ(ImportDroppedListFile(doc, f.ui, app), 0);
  EXPECT_EQ(LinkUrls(doc), (std::vector<std::string>{"http://h/gallery/", "http://h/pics/"}));
  EXPECT_EQ(doc.link_items[1].folder, f.box.Path("crawl/Pics/"));

  // A plain dropped list registers every line.
  std::string list = f.box.WriteFile("list.txt", "http://h/1.jpg\nhttp://h/2.jpg\n");
  EXPECT_EQ(ImportDroppedListFile(doc, f.ui, list), 2);
}

TEST(ListImportTest, HistoryTextListsTheMirroredSiteAgain) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  std::string history =
      f.box.WriteFile("mirror/site/履歴.txt", "[BaseUrl]\nBaseUrl=http://h/top/\nMidashi=Top\n");
  std::string bogus = f.box.WriteFile("other/履歴.txt", "[Other]\nx=1\n");
  EXPECT_FALSE(ImportSiteHistoryText(doc, f.ui, bogus));
  EXPECT_EQ(f.ui.messages().back(), "正式な履歴ファイルではありません！");
  EXPECT_TRUE(ImportSiteHistoryText(doc, f.ui, history));
  ASSERT_EQ(doc.link_items.size(), 1u);
  const LinkItem& link = doc.link_items[0];
  EXPECT_EQ(link.url, "http://h/top/");
  EXPECT_EQ(link.folder, f.box.Path("mirror/site/"));
  EXPECT_EQ(link.mode, MODE_WHOLE_SITE);
  EXPECT_EQ(link.group, 255);
  EXPECT_EQ(link.random_number, 0);
  EXPECT_EQ(f.links.rows()[0].image, 0);
}

TEST(ClipboardTest, PasteAsksOnceAndNoAbandonsTheBatch) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  f.ui.SetClipboard("one http://h/a.jpg(x)\r\ntwo http://h/b.jpg\r\n");
  EXPECT_EQ(PasteClipboard(doc, f.ui, f.hooks), 0);  // the script answers No
  EXPECT_TRUE(doc.download_items.empty());
  EXPECT_EQ(f.ui.questions(), (std::vector<std::string>{kPasteQuestion}));
  EXPECT_EQ(f.hooks.Count("sound 8"), 1);

  f.ui.QueueAnswer(true);
  EXPECT_EQ(PasteClipboard(doc, f.ui, f.hooks), 2);
  EXPECT_EQ(DownloadUrls(doc), (std::vector<std::string>{"http://h/a.jpg", "http://h/b.jpg"}));

  // Text without a URL, or no text at all: no sound, no question.
  f.ui.SetClipboard("nothing");
  EXPECT_EQ(PasteClipboard(doc, f.ui, f.hooks), 0);
  f.ui.SetClipboard(std::nullopt);
  EXPECT_EQ(PasteClipboard(doc, f.ui, f.hooks), 0);
  EXPECT_EQ(f.ui.questions().size(), 2u);
  EXPECT_EQ(f.hooks.Count("sound 8"), 2);
}

TEST(ClipboardTest, WatchRegistersOneCopyOnceEvenAfterItsItemsWereDeleted) {
  CommandFixture f("[UrlInsert]\nKakunin=0\n");
  CMarovineDoc& doc = *f.doc;
  ClipboardWatcher watcher;
  f.ui.SetClipboard("http://h/a.jpg");
  EXPECT_EQ(watcher.Poll(doc, f.ui, f.hooks), 1);
  doc.RemoveDownloadItem(0);
  EXPECT_EQ(watcher.Poll(doc, f.ui, f.hooks), 0);
  EXPECT_TRUE(doc.download_items.empty());
  EXPECT_TRUE(f.ui.questions().empty());
  // The paste command registers it again; a new copy is seen by the watch.
  EXPECT_EQ(PasteClipboard(doc, f.ui, f.hooks), 1);
  f.ui.SetClipboard("http://h/b.jpg");
  EXPECT_EQ(watcher.Poll(doc, f.ui, f.hooks), 1);
  EXPECT_EQ(doc.download_items.size(), 2u);
}

TEST(ListExportTest, WritesOneUrlALineAndEmptyListsAsEmptyFiles) {
  CommandFixture f;
  CMarovineDoc& doc = *f.doc;
  f.ui.QueueFileChoice(f.box.Path("out/links.lst"));
  ExportLinkListCommand(doc, f.ui);
  EXPECT_EQ(f.box.ReadFile("out/links.lst"), "");
  EXPECT_EQ(f.ui.dialog_log().back(), std::string("save .lst ") + kExportFilter);

  f.Add("a/");
  f.Add("1.jpg");
  f.Add("2.jpg");
  ASSERT_TRUE(ExportLinkList(doc, f.ui, f.box.Path("links.lst")));
  ASSERT_TRUE(ExportDownloadList(doc, f.ui, f.box.Path("downloads.lst")));
  EXPECT_EQ(f.box.ReadFile("links.lst"), "http://h/a/\n");
  EXPECT_EQ(f.box.ReadFile("downloads.lst"), "http://h/1.jpg\nhttp://h/2.jpg\n");

  // A folder in the way: the file cannot be made.
  f.box.WriteFile("taken/x", "");
  EXPECT_FALSE(ExportLinkList(doc, f.ui, f.box.Path("taken")));
  EXPECT_EQ(f.ui.messages().back(), kCannotCreateFile);
}

}  // namespace
