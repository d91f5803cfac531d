// Two items of one crawl that want one local name: whatever order their
// answers come in, neither transfer resumes onto, truncates or deletes the
// other's file, and only what arrived is logged.

#include <gtest/gtest.h>

#include <atomic>
#include <map>

#include "marovine/engine/download_log.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/loopback_server.h"

namespace marovine {
namespace {

using testing::LoopbackConnection;
using testing::LoopbackServer;
using testing::RequestTarget;
using testing::Sandbox;

constexpr std::size_t kBodySize = 4096;
constexpr std::size_t kHalf = kBodySize / 2;

std::string Answer(const std::string& type, const std::string& body) {
  return "HTTP/1.0 200 OK\r\nContent-Type: " + type +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// Sends the answer and waits until the transfer has ended (it closes its
// socket only then).
void AnswerAndWaitForEnd(LoopbackConnection& c, const std::string& answer) {
  c.Send(answer);
  c.FinishSending();
  c.WaitForClientClose();
}

// Sends the answer up to `half` bytes of its body, waits for `go`, sends the
// rest, and waits until the transfer has ended.
void AnswerInTwoHalves(LoopbackConnection& c, const std::string& answer, std::size_t body_size,
                       const std::function<bool()>& go) {
  std::size_t split = answer.size() - body_size + kHalf;
  c.Send(answer.substr(0, split));
  c.WaitUntil(go);
  AnswerAndWaitForEnd(c, answer.substr(split));
}

// True once some file below the folder holds at least `size` bytes: a
// transfer is writing there.
bool SomeFileHolds(const std::string& folder, std::size_t size) {
  for (const auto& name : FilesBelow(folder)) {
    if (platform::FileSizeOf(platform::JoinPath(folder, name)).value_or(0) >=
        static_cast<std::int64_t>(size)) {
      return true;
    }
  }
  return false;
}

std::map<std::string, std::string> ContentsBelow(const std::string& folder) {
  std::map<std::string, std::string> contents;
  for (const auto& name : FilesBelow(folder)) {
    contents[name] = platform::ReadWholeFile(platform::JoinPath(folder, name)).value_or("");
  }
  return contents;
}

const DownloadItem* ItemOf(const CMarovineDoc& doc, const std::string& url) {
  for (const auto& item : doc.download_items) {
    if (item.url == url) return &item;
  }
  return nullptr;
}

// What becomes of the first of two same-named files, /a/photo.jpg, while the
// second, /b/photo.jpg, arrives in two halves.
enum class Fate {
  kLate,            // answered whole after the other has ended
  kNotFound,        // 404 while the other writes
  kTooSmall,        // too small to keep, while the other writes
  kWholeMeanwhile,  // answered whole while the other writes
};

class OneFileNameTest : public ::testing::TestWithParam<Fate> {};

TEST_P(OneFileNameTest, NeitherTransferTouchesTheOthersFile) {
  const Fate fate = GetParam();
  Sandbox home;
  const std::string store = home.Path("store/");
  const std::string a_body = Jpeg('a', kBodySize);
  const std::string b_body = Jpeg('b', kBodySize);
  std::atomic<bool> a_asked{false};
  std::atomic<bool> a_done{false};
  std::atomic<bool> b_done{false};
  LoopbackServer server([&](LoopbackConnection& c) {
    std::string target = RequestTarget(c.ReadRequestHead());
    if (target == "/index.html") {
      AnswerAndWaitForEnd(
          c, Answer("text/html", "<a href='a/photo.jpg'>a</a><a href='b/photo.jpg'>b</a>"));
    } else if (target == "/a/photo.jpg") {
      // It asked before the other's file existed.
      a_asked = true;
      if (fate == Fate::kLate) {
        c.WaitUntil([&] { return b_done.load(); });
      } else {
        c.WaitUntil([&] { return SomeFileHolds(store, kHalf); });
      }
      if (fate == Fate::kNotFound) {
        AnswerAndWaitForEnd(c, "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n");
      } else if (fate == Fate::kTooSmall) {
        AnswerAndWaitForEnd(c, Answer("image/jpeg", Jpeg('a', 100)));
      } else {
        AnswerAndWaitForEnd(c, Answer("image/jpeg", a_body));
      }
      a_done = true;
    } else if (target == "/b/photo.jpg") {
      c.WaitUntil([&] { return a_asked.load(); });
      AnswerInTwoHalves(c, Answer("image/jpeg", b_body), kBodySize,
                        [&] { return fate == Fate::kLate || a_done.load(); });
      b_done = true;
    }
  });
  const std::string page = server.Url("/index.html");
  const std::string a_url = server.Url("/a/photo.jpg");
  const std::string b_url = server.Url("/b/photo.jpg");

  CrawlDoc c(home);
  ASSERT_EQ(c.doc->RegisterUrl(page), 1);
  c.Crawl();

  const bool a_arrives = fate == Fate::kLate || fate == Fate::kWholeMeanwhile;
  std::map<std::string, std::string> expected{{"photo(1).jpg", b_body}};
  if (a_arrives) expected["photo.jpg"] = a_body;
  EXPECT_EQ(ContentsBelow(store), expected);

  const DownloadItem* a = ItemOf(*c.doc, a_url);
  const DownloadItem* b = ItemOf(*c.doc, b_url);
  ASSERT_TRUE(a != nullptr && b != nullptr);
  EXPECT_EQ(b->state, DS_DONE);
  EXPECT_EQ(a->state, a_arrives ? DS_DONE : fate == Fate::kNotFound ? DS_ERROR : DS_SIZE_REMOVED);
  EXPECT_EQ(a->local_path, store + "photo.jpg");
  EXPECT_EQ(b->local_path, store + "photo(1).jpg");

  // Only what arrived is in the log, so a later run fetches the rest.
  const std::string log = home.Path("log2.dat");
  EXPECT_TRUE(LookUpLog2(log, Log2Key(page), Log2EntryName(b_url, page)).found);
  EXPECT_EQ(LookUpLog2(log, Log2Key(page), Log2EntryName(a_url, page)).found, a_arrives);
}

INSTANTIATE_TEST_SUITE_P(Orderings, OneFileNameTest,
                         ::testing::Values(Fate::kLate, Fate::kNotFound, Fate::kTooSmall,
                                           Fate::kWholeMeanwhile));

// Two folders' pages, both "index.html", fetched at once: each is read under
// its own URL and its files are fetched.
TEST(OnePageNameTest, TwoFoldersPagesFetchedAtOnceAreEachReadWhole) {
  Sandbox home;
  const std::string store = home.Path("store/");
  // The first page is long enough to be caught half written.
  const std::string x_page = "<a href='one.jpg'>1</a><!--" + std::string(kBodySize, 'p') + "-->";
  std::atomic<bool> y_asked{false};
  std::atomic<bool> y_done{false};
  LoopbackServer server([&](LoopbackConnection& c) {
    std::string target = RequestTarget(c.ReadRequestHead());
    if (target == "/top.html") {
      AnswerAndWaitForEnd(
          c, Answer("text/html", "<a href='x/index.html'>x</a><a href='y/index.html'>y</a>"));
    } else if (target == "/x/index.html") {
      c.WaitUntil([&] { return y_asked.load(); });
      AnswerInTwoHalves(c, Answer("text/html", x_page), x_page.size(),
                        [&] { return y_done.load(); });
    } else if (target == "/y/index.html") {
      y_asked = true;
      c.WaitUntil([&] { return SomeFileHolds(store, kHalf); });
      AnswerAndWaitForEnd(c, Answer("text/html", "<a href='two.jpg'>2</a>"));
      y_done = true;
    } else if (target == "/x/one.jpg" || target == "/y/two.jpg") {
      AnswerAndWaitForEnd(c, Answer("image/jpeg", Jpeg(target[1])));
    }
  });

  CrawlDoc c(home);
  ASSERT_EQ(c.doc->RegisterUrl(server.Url("/top.html")), 1);
  c.Crawl();

  EXPECT_EQ(ContentsBelow(store),
            (std::map<std::string, std::string>{{"one.jpg", Jpeg('x')}, {"two.jpg", Jpeg('y')}}));
  for (std::size_t i = 0; i < c.doc->download_items.size(); ++i) {
    EXPECT_NE(c.doc->download_items[i].state, DS_ERROR)
        << c.doc->download_items[i].url << " " << c.Comment(static_cast<int>(i));
    EXPECT_EQ(c.Comment(static_cast<int>(i)).find("ファイルが開けません"), std::string::npos);
  }
  // No page asked for a part of another page's file.
  for (const auto& request : server.requests()) {
    auto range = request.find("Range: bytes=");
    ASSERT_NE(range, std::string::npos) << request;
    EXPECT_EQ(request.substr(range, 16), "Range: bytes=0-\r") << request;
  }
}

}  // namespace
}  // namespace marovine
