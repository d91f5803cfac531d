// The progress display's text: units people read, lines that fit the
// terminal whatever the server named its files, and a live block that is
// redrawn where it stands.

#include "marovine/cli/progress_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "marovine/cli/run_summary.h"
#include "marovine/document/download_list_view.h"

namespace marovine::cli {
namespace {

TEST(ProgressTextTest, SizesRatesAndTimesReadAsPeopleWriteThem) {
  const std::pair<std::int64_t, const char*> sizes[] = {
      {0, "0 B"},          {1023, "1023 B"},     {1024, "1.0 KB"},
      {1536, "1.5 KB"},    {102348, "99.9 KB"},  {102400, "100 KB"},
      {3801088, "3.6 MB"}, {1048575, "1024 KB"}, {5LL << 30, "5.0 GB"},
      {-5, "0 B"},
  };
  for (const auto& [bytes, text] : sizes) EXPECT_EQ(HumanBytes(bytes), text) << bytes;
  EXPECT_EQ(HumanRate(475136.0), "464 KB/s");
  EXPECT_EQ(HumanRate(0), "0 B/s");
  EXPECT_EQ(ClockText(5), "0:05");
  EXPECT_EQ(ClockText(754), "12:34");
  EXPECT_EQ(ClockText(3723), "1:02:03");
}

TEST(ProgressTextTest, LinesFitTheWidthInColumnsWithWideCharactersAndNoControls) {
  EXPECT_EQ(DisplayWidth("abc"), 3);
  EXPECT_EQ(DisplayWidth("正常に終了"), 10);
  EXPECT_EQ(FitColumns("正常に終了", 5), "正常");  // a wide character is never cut in half
  EXPECT_EQ(FitColumns("ab", 4, true), "ab  ");

  TransferLine line;
  line.name = "picture\x1b]0;owned\x07-with-a-very-long-name-indeed.jpg";
  line.received = 3801088;
  line.total = 7602176;
  line.rate = 1.5 * 1024 * 1024;
  line.elapsed = 65;
  line.retries = 2;
  line.comment = "ダウンロード中\x1b[2J";
  for (int width : {40, 60, 80, 132}) {
    std::string text = FormatTransferLine(line, width);
    EXPECT_LE(DisplayWidth(text), width - 1) << text;
    EXPECT_EQ(text.find_first_of("\x1b\x07"), std::string::npos) << text;
  }
  std::string wide = FormatTransferLine(line, 132);
  EXPECT_NE(wide.find("3.6 MB/7.2 MB"), std::string::npos) << wide;
  EXPECT_NE(wide.find(" 50% "), std::string::npos) << wide;
  EXPECT_NE(wide.find("1.5 MB/s"), std::string::npos) << wide;
  EXPECT_NE(wide.find("1:05 r2  ダウンロード中?[2J"), std::string::npos) << wide;

  // Without a length from the server: what came, and no percentage.
  line.total = 0;
  EXPECT_EQ(FormatTransferLine(line, 132).find('%'), std::string::npos);

  OverallLine overall{3, 40, 10 * 1024 * 1024, 10, "処理中"};
  EXPECT_EQ(FormatOverallLine(overall, 80), "[3/40 files] 10.0 MB  1.0 MB/s  0:10  処理中");
}

TEST(ProgressTextTest, TheLiveBlockIsRedrawnInPlaceWithScrollingLinesAboveIt) {
  LiveBlock block(20);
  // First frame: nothing to move over yet.
  EXPECT_EQ(block.Render({}, {"a.jpg 1 KB", "[0/2 files]"}),
            "\r\x1b[2Ka.jpg 1 KB\n\x1b[2K[0/2 files]\n");
  // A finished item scrolls in above; the block is redrawn below it.
  EXPECT_EQ(block.Render({"done a.jpg"}, {"[1/2 files]"}),
            "\x1b[2A\r\x1b[2Kdone a.jpg\x1b[K\n\x1b[2K[1/2 files]\n");
  // A block that shrinks erases what is left of the old one; a long line is
  // cut so it never wraps and the block keeps its height.
  block.Render({}, {"x", "y", "z"});
  EXPECT_EQ(block.Render({}, {std::string(30, 'w')}),
            "\x1b[3A\r\x1b[2K" + std::string(19, 'w') + "\n\x1b[J");
  EXPECT_EQ(block.Clear(), "\x1b[1A\r\x1b[J");
  EXPECT_EQ(block.Clear(), "");
}

TEST(ProgressTextTest, TheRateFollowsTheLastSecondsNotTheWholeTransfer) {
  RateMeter meter;
  const auto t0 = RateMeter::Clock::time_point{};
  EXPECT_EQ(meter.BytesPerSecond(), 0);
  for (int s = 0; s <= 10; ++s) meter.Add(s * 100000, t0 + std::chrono::seconds(s));
  EXPECT_NEAR(meter.BytesPerSecond(), 100000, 1);
  // It stalls: within a few seconds the rate says so.
  for (int s = 11; s <= 20; ++s) meter.Add(1000000, t0 + std::chrono::seconds(s));
  EXPECT_EQ(meter.BytesPerSecond(), 0);
  // A restart from nothing is a new transfer, not a negative rate.
  meter.Add(0, t0 + std::chrono::seconds(21));
  meter.Add(5000, t0 + std::chrono::seconds(22));
  EXPECT_NEAR(meter.BytesPerSecond(), 5000, 1);
}

TEST(RunSummaryTest, AnEndIsToldByTheStatusItsTransferEndedWith) {
  TransferSlot slot;
  auto outcome = [&](int image, TransferStatus status) {
    slot.status = status;
    return OutcomeOf(image, &slot);
  };
  EXPECT_EQ(outcome(IMAGE_DONE, TS_DONE), ItemOutcome::kFetched);
  EXPECT_EQ(outcome(IMAGE_DONE, TS_NOT_MODIFIED), ItemOutcome::kUnchanged);
  // Shown as done, but never fetched.
  EXPECT_EQ(outcome(IMAGE_DONE, TS_STOPPED), ItemOutcome::kStopped);
  EXPECT_EQ(outcome(IMAGE_ERROR, TS_IN_LOG), ItemOutcome::kInLog);
  EXPECT_EQ(outcome(IMAGE_ERROR, TS_TIMEOUT), ItemOutcome::kFailed);
  EXPECT_EQ(OutcomeOf(IMAGE_ERROR, nullptr), ItemOutcome::kFailed);
  EXPECT_EQ(outcome(IMAGE_SIZE_REMOVED, TS_SIZE_REJECTED), ItemOutcome::kSize);
  EXPECT_FALSE(outcome(IMAGE_RETRY_WAIT, TS_INCOMPLETE));
  EXPECT_FALSE(outcome(IMAGE_RUNNING, TS_RUNNING));

  RunCounts counts;
  counts.sites = 1;
  counts.Add(ItemOutcome::kFetched);
  counts.Add(ItemOutcome::kPage);
  counts.Add(ItemOutcome::kInLog);
  counts.ignored = 2;
  counts.Add(ItemOutcome::kFailed);
  counts.bytes = 1536;
  EXPECT_EQ(FormatSummary(counts, 3),
            "summary: 1 site searched, 1 file fetched (+1 page), 3 skipped (log 1, ignore words "
            "2, size 0), 1 failed, 1.5 KB in 3 s");
}

}  // namespace
}  // namespace marovine::cli
