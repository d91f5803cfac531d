// A fetched page is read on the transfer's own thread, before its end is
// reported, and what was read comes back to the slot with the end.

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "marovine/engine/page_reading.h"
#include "tests/engine/transfer_fixture.h"
#include "tests/support/loopback_server.h"

namespace marovine {
namespace {

using testing::LoopbackConnection;
using testing::LoopbackServer;

class PageReadingTest : public TransferFixture {
 protected:
  void Record(const std::string& event) {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
  }
  std::vector<std::string> Events() {
    std::lock_guard lock(mutex_);
    return events_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> events_;
};

TEST_F(PageReadingTest, APageIsReadOnItsTransfersThreadBeforeTheEndIsReported) {
  const std::string body = "<html><a href=\"a.jpg\">a</a></html>";
  LoopbackServer server([&](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send("HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=Shift_JIS\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body);
    c.FinishSending();
  });
  engine.SetTransferEndCallback([this] { Record("end"); });
  TransferSlot slot = MakeSlot(server.Url("/list.html"), "list.html");
  std::thread::id reader_thread;
  FetchedFile seen;
  const std::string path = slot.local_path;
  slot.page_reader = [&](const FetchedFile& file) {
    Record("read");
    reader_thread = std::this_thread::get_id();
    seen = file;
    CPageParser parser;
    parser.local_file = path;
    parser.base_url = file.url;
    parser.download_extensions = "jpg";
    parser.ParsePage();
    auto reading = std::make_shared<PageReading>();
    reading->page = LinkExtraction{{}, parser};
    return reading;
  };
  Run(slot);

  EXPECT_EQ(slot.status, TS_DONE);
  EXPECT_EQ(Events(), (std::vector<std::string>{"read", "end"}));
  EXPECT_NE(reader_thread, std::this_thread::get_id());
  EXPECT_EQ(seen.status, TS_DONE);
  EXPECT_EQ(seen.url, server.Url("/list.html"));
  EXPECT_EQ(seen.charset, "shift_jis");
  EXPECT_TRUE(seen.page);
  // The whole body was on disk when it was read.
  ASSERT_NE(slot.page_reading, nullptr);
  ASSERT_TRUE(slot.page_reading->page.has_value());
  EXPECT_EQ(slot.page_reading->page->result.NextLink(), server.Url("/a.jpg"));

  EXPECT_FALSE(slot.status_text.empty());
  engine.ResetTransferSlot(slot.slot_number, slot);
  EXPECT_EQ(slot.page_reading, nullptr);
  EXPECT_FALSE(slot.page_reader);
  // The next item of this slot never shows this one's end text or time.
  EXPECT_EQ(slot.status_text, "");
  EXPECT_EQ(slot.elapsed, 0);
}

TEST_F(PageReadingTest, NothingIsReadWhenTheTransferFails) {
  int calls = 0;
  TransferSlot slot = MakeSlot("ftp://nowhere.example/list.html", "list.html");
  slot.page_reader = [&](const FetchedFile&) {
    ++calls;
    return std::make_shared<PageReading>();
  };
  Run(slot);
  EXPECT_EQ(slot.status, TS_FAILED);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(slot.page_reading, nullptr);
}

}  // namespace
}  // namespace marovine
