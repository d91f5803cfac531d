#include "marovine/document/document_file.h"

#include <gtest/gtest.h>

#include "marovine/document/archive.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/site_history_file.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/support/sandbox.h"

namespace marovine {
namespace {

using testing::Sandbox;

class DocumentFileTest : public ::testing::Test {
 protected:
  CMarovineDoc NewDoc() { return CMarovineDoc(box.path(), box.Path("store/")); }
  Sandbox box;
};

LinkItem SampleLink() {
  LinkItem link;
  link.url = "http://a.com/gallery/";
  link.mode = MODE_CRAWL;
  link.state = LS_SEARCHING;
  link.folder = "/home/u/Desktop/marovine_folder/2026_12_7/";
  link.random_number = 1234;
  link.file_count = 17;
  link.group = 2;
  link.credentials = "user:pw";
  link.title = "ギャラリー";
  link.search_level = 2;
  link.page_limit = 5;
  link.reset_days = 7;
  link.done_day = 341;
  return link;
}

TEST_F(DocumentFileTest, EmptyDocumentIsMagicVersionAndTheTwoMarkers) {
  CMarovineDoc doc = NewDoc();
  ArchiveWriter expected;
  expected.WriteString("marovine");
  expected.WriteInt32(370);
  expected.WriteString("next");
  expected.WriteString("end");
  EXPECT_EQ(StoreDocument(doc), expected.bytes());
  EXPECT_EQ(expected.bytes().substr(0, 9), std::string("\x08marovine", 9));
}

TEST_F(DocumentFileTest, RoundTripKeepsEveryFieldAndRunningReopensAsWaitingAgain) {
  CMarovineDoc doc = NewDoc();
  doc.link_items.push_back(SampleLink());
  DownloadItem running;
  running.url = "http://a.com/gallery/p1.jpg";
  running.referer = "http://a.com/gallery/";
  running.kind = KIND_CRAWL;
  running.state = DS_RUNNING;
  running.site_url = "http://a.com/gallery/";
  running.local_path = "/x/1234p1.jpg";
  running.start_page = 1;
  DownloadItem done = running;
  done.url = "http://a.com/gallery/p2.jpg";
  done.state = DS_DONE;
  doc.download_items = {running, done};
  ASSERT_TRUE(SaveDocumentFile(doc, box.Path("saved.mrv")));

  CMarovineDoc reopened = NewDoc();
  auto result = LoadDocumentFile(reopened, box.Path("saved.mrv"));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.version, 370);
  EXPECT_EQ(reopened.document_path, box.Path("saved.mrv"));
  ASSERT_EQ(reopened.link_items.size(), 1u);
  EXPECT_EQ(reopened.link_items[0], SampleLink());
  ASSERT_EQ(reopened.download_items.size(), 2u);
  EXPECT_EQ(reopened.download_items[0].state, DS_RETRY_WAIT);
  EXPECT_STREQ(DownloadStateText(reopened.download_items[0].state), "再度処理待ちです。");
  running.state = DS_RETRY_WAIT;
  EXPECT_EQ(reopened.download_items[0], running);
  EXPECT_EQ(reopened.download_items[1], done);
}

// Nothing runs when a file is opened: an item recorded as running would be
// pending for ever and keep its site from finishing.
TEST_F(DocumentFileTest, ARunningItemInTheFileIsReadAsWaitingAgain) {
  ArchiveWriter out;
  out.WriteString("marovine");
  out.WriteInt32(370);
  out.WriteString("next");
  out.WriteString("http://a.com/p.jpg");
  out.WriteString("http://a.com/");
  out.WriteInt32(KIND_CRAWL);
  out.WriteByte(DS_RUNNING);
  out.WriteString("http://a.com/");
  out.WriteString("/x/p.jpg");
  out.WriteInt32(0);
  out.WriteString("end");
  CMarovineDoc doc = NewDoc();
  ASSERT_TRUE(LoadDocument(doc, out.bytes()).ok);
  ASSERT_EQ(doc.download_items.size(), 1u);
  EXPECT_EQ(doc.download_items[0].state, DS_RETRY_WAIT);
}

TEST_F(DocumentFileTest, LongTextsUseTheLongerLengthPrefixes) {
  ArchiveWriter out;
  out.WriteString(std::string(300, 'u'));
  EXPECT_EQ(out.bytes().substr(0, 3), std::string("\xFF\x2C\x01", 3));
  ArchiveWriter longer;
  longer.WriteString(std::string(70000, 'v'));
  EXPECT_EQ(longer.bytes().substr(0, 7), std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7));
  ArchiveReader in(longer.bytes());
  std::string text;
  ASSERT_TRUE(in.ReadString(text));
  EXPECT_EQ(text.size(), 70000u);
}

TEST_F(DocumentFileTest, OlderVersionsTakeTheDefaultsForWhatTheyLack) {
  ArchiveWriter v340;
  v340.WriteString("marovine");
  v340.WriteInt32(340);
  v340.WriteString("http://old.com/");
  v340.WriteInt32(MODE_CRAWL);
  v340.WriteByte(LS_WAITING);
  v340.WriteString("/f/");
  v340.WriteInt32(5);
  v340.WriteInt32(3);  // file count
  v340.WriteInt32(1);  // group
  v340.WriteString("u:p");
  v340.WriteString("/f/履歴.txt");
  v340.WriteString("Old title");
  v340.WriteString("next");
  v340.WriteString("http://old.com/a.jpg");
  v340.WriteString("http://old.com/");
  v340.WriteInt32(KIND_CRAWL);
  v340.WriteByte(DS_WAITING);
  v340.WriteString("http://old.com/");
  v340.WriteString("/f/a.jpg");
  v340.WriteInt32(1);  // re-fetch flag, present from 320 on
  v340.WriteString("end");
  box.WriteFile("marovine.ini", "[Kensaku]\nKensakuLevel=2\nPage=9\n");
  CMarovineDoc doc = NewDoc();
  auto result = LoadDocument(doc, v340.bytes());
  ASSERT_TRUE(result.ok) << result.error;
  ASSERT_EQ(doc.link_items.size(), 1u);
  EXPECT_EQ(doc.link_items[0].title, "Old title");
  EXPECT_EQ(doc.link_items[0].search_level, 2);
  EXPECT_EQ(doc.link_items[0].page_limit, 9);
  EXPECT_EQ(doc.link_items[0].reset_days, 0);
  EXPECT_EQ(doc.download_items.at(0).start_page, 1);
}

TEST_F(DocumentFileTest, UnversionedFilesAndShiftJisTextAreRead) {
  ArchiveWriter old;
  old.WriteString("http://a.com/");
  old.WriteInt32(MODE_CRAWL);
  old.WriteByte(LS_DONE);
  old.WriteString("C:\\\x82\xdc\x82\xeb\\");  // a CP932 folder name
  old.WriteInt32(77);
  old.WriteString("next");
  old.WriteString("http://a.com/x.jpg");
  old.WriteString("");
  old.WriteInt32(KIND_DIRECT);
  old.WriteByte(DS_DONE);
  old.WriteString("");
  old.WriteString("C:\\x.jpg");
  old.WriteString("end");
  CMarovineDoc doc = NewDoc();
  auto result = LoadDocument(doc, old.bytes());
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.version, 0);
  ASSERT_EQ(doc.link_items.size(), 1u);
  EXPECT_EQ(doc.link_items[0].folder, "C:\\まろ\\");
  EXPECT_EQ(doc.link_items[0].random_number, 77);
  EXPECT_EQ(doc.link_items[0].file_count, 0);
  ASSERT_EQ(doc.download_items.size(), 1u);
  EXPECT_EQ(doc.download_items[0].local_path, "C:\\x.jpg");
}

TEST_F(DocumentFileTest, UrlsKeepTheirExactBytesWhileDisplayTextsAreConverted) {
  // A Shift_JIS address is what the server knows the file by; a converted
  // one names another file.
  const std::string sjis_page = "http://a.com/\x83\x65\x83\x58\x83\x67/";
  const std::string sjis_file = sjis_page + "\x89\xe6\x91\x9c.jpg";
  ArchiveWriter out;
  out.WriteString("marovine");
  out.WriteInt32(370);
  out.WriteString(sjis_page);
  out.WriteInt32(MODE_WHOLE_SITE);
  out.WriteByte(LS_SEARCHING);
  out.WriteString("/f/\x83\x65\x83\x58\x83\x67/");
  for (int v : {0, 0, 0}) out.WriteInt32(v);  // random number, file count, group
  out.WriteString("u:\x83\x65");
  out.WriteString("/f/\x97\x9a\x97\xf0.txt");
  out.WriteString("\x83\x65\x83\x58\x83\x67");
  for (int v : {1, 0, 0, 0}) out.WriteInt32(v);
  out.WriteString("next");
  out.WriteString(sjis_file);
  out.WriteString(sjis_page);
  out.WriteInt32(KIND_WHOLE_SITE);
  out.WriteByte(DS_RETRY_WAIT);
  out.WriteString(sjis_page);
  out.WriteString("/f/\x89\xe6\x91\x9c.jpg");
  out.WriteInt32(0);
  out.WriteString("end");

  CMarovineDoc doc = NewDoc();
  ASSERT_TRUE(LoadDocument(doc, out.bytes()).ok);
  ASSERT_EQ(doc.link_items.size(), 1u);
  ASSERT_EQ(doc.download_items.size(), 1u);
  EXPECT_EQ(doc.link_items[0].url, sjis_page);
  EXPECT_EQ(doc.link_items[0].credentials, "u:\x83\x65");
  EXPECT_EQ(doc.link_items[0].title, "テスト");
  EXPECT_EQ(doc.link_items[0].folder, "/f/テスト/");
  EXPECT_EQ(doc.link_items[0].history_path, "/f/履歴.txt");
  EXPECT_EQ(doc.download_items[0].url, sjis_file);
  EXPECT_EQ(doc.download_items[0].referer, sjis_page);
  EXPECT_EQ(doc.download_items[0].site_url, sjis_page);
  EXPECT_EQ(doc.download_items[0].local_path, "/f/画像.jpg");

  // Saved and loaded again, nothing changes any more.
  std::string stored = StoreDocument(doc);
  CMarovineDoc again = NewDoc();
  ASSERT_TRUE(LoadDocument(again, stored).ok);
  EXPECT_EQ(StoreDocument(again), stored);
}

TEST_F(DocumentFileTest, DamagedFilesKeepWhatWasReadAndNeverAllocateTheClaimedLength) {
  CMarovineDoc doc = NewDoc();
  doc.link_items = {SampleLink(), SampleLink()};
  doc.link_items[1].url = "http://b.com/";
  std::string bytes = StoreDocument(doc);
  // Replace the second link's URL length with a 4 GB claim.
  auto at = bytes.find("\x0dhttp://b.com/");
  ASSERT_NE(at, std::string::npos);
  std::string damaged =
      bytes.substr(0, at) + std::string("\xFF\xFF\xFF\xF0\xFF\xFF\xFF", 7) + bytes.substr(at + 1);
  CMarovineDoc target = NewDoc();
  auto result = LoadDocument(target, damaged);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(result.links_read, 1);
  EXPECT_EQ(target.link_items.size(), 1u);

  // Cut anywhere: never a crash, always an error.
  for (std::size_t cut = 0; cut + 1 < bytes.size(); cut += 7) {
    CMarovineDoc partial = NewDoc();
    EXPECT_FALSE(LoadDocument(partial, bytes.substr(0, cut)).ok) << cut;
  }
}

TEST_F(DocumentFileTest, OpeningAddsAfterTheListedItemsAndSavingNeverLosesTheOldFile) {
  CMarovineDoc doc = NewDoc();
  doc.link_items.push_back(SampleLink());
  ASSERT_TRUE(SaveDocumentFile(doc, box.Path("a.mrv")));
  CMarovineDoc other = NewDoc();
  LinkItem mine = SampleLink();
  mine.url = "http://mine.com/";
  other.link_items.push_back(mine);
  ASSERT_TRUE(LoadDocumentFile(other, box.Path("a.mrv")).ok);
  ASSERT_EQ(other.link_items.size(), 2u);
  EXPECT_EQ(other.link_items[0].url, "http://mine.com/");

  // A folder in the way: the save fails and says so.
  EXPECT_TRUE(platform::MakeFolders(box.Path("dir.mrv")));
  EXPECT_FALSE(SaveDocumentFile(doc, box.Path("dir.mrv")));
  EXPECT_FALSE(LoadDocumentFile(other, box.Path("missing.mrv")).ok);
}

TEST_F(DocumentFileTest, SiteHistoryFile) {
  std::string path = box.Path("mirror/site/履歴.txt");
  ASSERT_TRUE(CreateSiteHistoryFile(path, "http://a.com/site/", "site"));
  EXPECT_EQ(platform::ReadWholeFile(path).value_or(""),
            "[Marovine rireki]\nVER=MarovineVer330format\n\n[BaseUrl]\nBaseUrl=http://a.com/site/\n"
            "Midashi=site\n");
  ASSERT_TRUE(CreateSiteHistoryFile(path, "http://other/", "x"));  // an existing file stays
  ASSERT_TRUE(WriteSiteHistoryEntry(path, "http://a.com/site/p.jpg", "", 120));
  ASSERT_TRUE(WriteSiteHistoryEntry(path, "http://a.com/site/q.jpg", "tue, 02 jan 2024", 5));
  EXPECT_EQ(ReadSiteHistoryDate(path, "http://a.com/site/p.jpg"), "None");
  EXPECT_EQ(ReadSiteHistoryDate(path, "http://a.com/site/q.jpg"), "tue, 02 jan 2024");
  EXPECT_EQ(ReadSiteHistoryDate(path, "http://a.com/site/r.jpg"), "");
  auto base = ReadSiteHistoryBase(path);
  ASSERT_TRUE(base);
  EXPECT_EQ(base->base_url, "http://a.com/site/");
  EXPECT_EQ(base->heading, "site");
  box.WriteFile("bad.txt", "[BaseUrl]\nBaseUrl=\n");
  EXPECT_FALSE(ReadSiteHistoryBase(box.Path("bad.txt")));
}

}  // namespace
}  // namespace marovine
