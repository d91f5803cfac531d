// Transfers against a real nginx (and tinyproxy) on loopback.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "marovine/engine/banner_list.h"
#include "marovine/engine/download_log.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/engine/transfer_fixture.h"
#include "tests/support/nginx_server.h"

namespace marovine {
namespace {

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  std::string bytes(size, '\0');
  for (auto& b : bytes) b = static_cast<char>(gen() & 0xFF);
  return bytes;
}

std::string PageText() {
  std::string page = "<html><head><title>ギャラリー</title></head><body>\n";
  for (int i = 0; i < 200; ++i) {
    page += "<a href=\"pic" + std::to_string(i) + ".jpg\"><img src=\"th" + std::to_string(i) +
            ".jpg\"></a>\n";
  }
  return page + "</body></html>\n";
}

class NginxTransferTest : public TransferFixture {
 protected:
  void SetUp() override {
    site_.WriteFile("big.bin", big_);
    site_.WriteFile("index.html", page_);
    site_.WriteFile("small.jpg", std::string(150, 's'));
    site_.WriteFile("private/secret.jpg", "secret picture");
    server_ = std::make_unique<testing::NginxServer>(site_.path());
    ASSERT_TRUE(server_->ok()) << server_->error_log();
  }

  std::string Local(const std::string& name) {
    return platform::ReadWholeFile(box.Path(name)).value_or("<none>");
  }

  testing::Sandbox site_;
  std::unique_ptr<testing::NginxServer> server_;
  const std::string big_ = RandomBytes(300 * 1024 + 17, 1);
  const std::string page_ = PageText();
};

TEST_F(NginxTransferTest, DownloadsAFileWhole) {
  auto slot = MakeSlot(server_->Url("/big.bin"), "out/big.bin");
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE);
  EXPECT_EQ(slot.status_text, "正常に終了しました。");
  EXPECT_EQ(slot.expected_size, static_cast<std::int64_t>(big_.size()));
  EXPECT_EQ(slot.received, static_cast<std::int64_t>(big_.size()));
  EXPECT_EQ(slot.page_flag, 0);
  EXPECT_TRUE(Local("out/big.bin") == big_);
  EXPECT_FALSE(slot.last_modified.empty());
}

TEST_F(NginxTransferTest, ResumesAPartialFileWithARange) {
  box.WriteFile("big.bin", big_.substr(0, 100000));
  auto slot = MakeSlot(server_->Url("/big.bin"), "big.bin");
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
  EXPECT_EQ(slot.full_body, 0);
  EXPECT_TRUE(Local("big.bin") == big_);
}

TEST_F(NginxTransferTest, ACompleteLocalFileIsNotFetchedAgain) {
  std::string path = box.WriteFile("big.bin", big_);
  ::chmod(path.c_str(), 0444);  // any write attempt would fail the transfer
  auto slot = MakeSlot(server_->Url("/big.bin"), "big.bin");
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE);
  EXPECT_EQ(slot.status_text, "終了しています。");
  EXPECT_TRUE(Local("big.bin") == big_);
}

TEST_F(NginxTransferTest, GzipPagesAreStoredDecoded) {
  auto slot = MakeSlot(server_->Url("/index.html"), "index.html");
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
  EXPECT_EQ(slot.page_flag, 1);
  EXPECT_EQ(Local("index.html"), page_);
}

TEST_F(NginxTransferTest, RedirectHandsBackTheNewAddressAndRestartsThere) {
  auto slot = MakeSlot(server_->Url("/redirect-302"), "r.html");
  Run(slot);
  EXPECT_EQ(slot.status, TS_REDIRECTED);
  EXPECT_EQ(slot.status_text, "URLは移動しています。");
  EXPECT_EQ(slot.url, server_->Url("/index.html"));
  Run(slot);  // a restart after a redirect keeps the new address
  EXPECT_EQ(slot.status, TS_DONE);
  EXPECT_EQ(Local("r.html"), page_);
}

TEST_F(NginxTransferTest, OtherAnswersEndAsTheirStatusSays) {
  auto moved = MakeSlot(server_->Url("/moved-301"), "m.html");
  Run(moved);
  EXPECT_EQ(moved.status, TS_REDIRECTED);
  EXPECT_EQ(moved.url, server_->Url("/index.html"));

  auto forbidden = MakeSlot(server_->Url("/forbidden"), "f.jpg");
  Run(forbidden);
  EXPECT_EQ(forbidden.status, TS_INCOMPLETE);  // Mushi404 on: may be retried
  EXPECT_EQ(forbidden.status_text, "Forbiddenを返されました。");

  WorkerSettings strict;
  strict.retry_wait_time = 0;
  strict.mushi_404 = 0;
  SetWorker(strict);
  auto missing = MakeSlot(server_->Url("/missing.jpg"), "missing.jpg");
  Run(missing);
  EXPECT_EQ(missing.status, TS_FAILED);
  EXPECT_FALSE(platform::FileExists(box.Path("missing.jpg")));
}

TEST_F(NginxTransferTest, BasicAuthorization) {
  auto without = MakeSlot(server_->Url("/private/secret.jpg"), "a.jpg");
  Run(without);
  EXPECT_EQ(without.status, TS_FAILED);
  EXPECT_EQ(without.status_text, "http/1.1 401 unauthorized");

  auto with = MakeSlot(server_->Url("/private/secret.jpg"), "b.jpg");
  with.credentials = "user:secret";
  Run(with);
  EXPECT_EQ(with.status, TS_DONE);
  EXPECT_EQ(Local("b.jpg"), "secret picture");
}

TEST_F(NginxTransferTest, UnchangedLastModifiedStopsAndKeepsTheFile) {
  auto first = MakeSlot(server_->Url("/small.jpg"), "small.jpg");
  Run(first);
  ASSERT_EQ(first.status, TS_DONE);
  std::string date = first.last_modified;
  ASSERT_FALSE(date.empty());
  EXPECT_TRUE(platform::RemoveFile(box.Path("small.jpg")));
  box.WriteFile("small.jpg", "old");
  auto second = MakeSlot(server_->Url("/small.jpg"), "small.jpg");
  second.last_modified = date;
  Run(second);
  EXPECT_EQ(second.status, TS_NOT_MODIFIED);
  EXPECT_EQ(second.status_text, "更新されていません。中止します。");
  EXPECT_EQ(Local("small.jpg"), "old");
}

TEST_F(NginxTransferTest, SizeLimitsAndBannersDeleteTheFile) {
  auto small = MakeSlot(server_->Url("/small.jpg"), "small.jpg");
  small.minimum_size = 1000;
  Run(small);
  EXPECT_EQ(small.status, TS_SIZE_REJECTED);
  EXPECT_FALSE(platform::FileExists(box.Path("small.jpg")));

  // Pages are never rejected for their size.
  auto page = MakeSlot(server_->Url("/index.html"), "index.html");
  page.maximum_size = 10;
  Run(page);
  EXPECT_EQ(page.status, TS_DONE);

  ASSERT_TRUE(
      AppendBannerEntry(box.Path("banner.dat"), static_cast<std::int64_t>(big_.size()), -1));
  auto banner = MakeSlot(server_->Url("/big.bin"), "big.bin");
  banner.banner_check = 1;
  Run(banner);
  EXPECT_EQ(banner.status, TS_FAILED);
  EXPECT_EQ(banner.status_text, "バナー登録されています。");
  EXPECT_FALSE(platform::FileExists(box.Path("big.bin")));
}

TEST_F(NginxTransferTest, DownloadLogChecks) {
  std::string referer = server_->Url("/index.html");
  std::string url = server_->Url("/small.jpg");

  box.WriteFile("log.dat", url + "\n");
  auto listed = MakeSlot(url, "a.jpg");
  listed.check_log = 1;
  Run(listed);
  EXPECT_EQ(listed.status, TS_IN_LOG);
  EXPECT_EQ(listed.status_text, "ログに存在します。");
  EXPECT_TRUE(platform::RemoveFile(box.Path("log.dat")));

  // Logged with a date: skipped while neither date nor size is checked.
  ASSERT_TRUE(RecordLog2(box.Path("log2.dat"), referer, Log2EntryName(url, referer), "x", 150));
  auto logged = MakeSlot(url, "b.jpg");
  logged.check_log = 1;
  logged.referer = referer;
  Run(logged);
  EXPECT_EQ(logged.status, TS_IN_LOG);
  // With the size checked, the announced size decides before any body is written.
  WorkerSettings by_size;
  by_size.retry_wait_time = 0;
  by_size.check_log_size = 1;
  SetWorker(by_size);
  auto sized = MakeSlot(url, "c.jpg");
  sized.check_log = 1;
  sized.referer = referer;
  Run(sized);
  EXPECT_EQ(sized.status, TS_IN_LOG);
  EXPECT_FALSE(platform::FileExists(box.Path("c.jpg")));
  // Without the log check nothing of this applies.
  auto unchecked = MakeSlot(url, "d.jpg");
  unchecked.referer = referer;
  Run(unchecked);
  EXPECT_EQ(unchecked.status, TS_DONE);
}

TEST_F(NginxTransferTest, TenTransfersAtOnce) {
  std::vector<TransferSlot> slots;
  for (int i = 0; i < kTransferSlotCount; ++i) {
    slots.push_back(MakeSlot(server_->Url(i % 2 ? "/big.bin" : "/index.html"),
                             "multi/" + std::to_string(i), i));
  }
  for (auto& slot : slots) Start(slot);
  ASSERT_TRUE(testing::WaitFor([&] {
    bool all_done = true;
    for (auto& slot : slots) {
      engine.SyncTransferSlot(slot);
      all_done = all_done && slot.status != TS_RUNNING;
    }
    return all_done;
  }));
  for (int i = 0; i < kTransferSlotCount; ++i) {
    EXPECT_EQ(slots[i].status, TS_DONE) << i << slots[i].status_text;
    EXPECT_TRUE(Local("multi/" + std::to_string(i)) == (i % 2 ? big_ : page_)) << i;
    engine.ResetTransferSlot(i, slots[i]);
    EXPECT_EQ(slots[i].status, TS_IDLE);
  }
}

TEST_F(NginxTransferTest, ThroughTinyproxyTheRequestCarriesTheWholeUrl) {
  testing::TinyproxyServer proxy;
  ASSERT_TRUE(proxy.ok());
  auto slot = MakeSlot(server_->Url("/big.bin"), "p.bin");
  slot.proxy = proxy.host();
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
  EXPECT_TRUE(Local("p.bin") == big_);
  EXPECT_NE(proxy.log().find("/big.bin"), std::string::npos) << proxy.log();

  auto dead = MakeSlot(server_->Url("/big.bin"), "q.bin");
  dead.proxy = "127.0.0.1:" + std::to_string(testing::FreeLoopbackPort());
  Run(dead);
  EXPECT_EQ(dead.status, TS_FAILED);
  EXPECT_EQ(dead.status_text, "127.0.0.1に接続できません。");
}

}  // namespace
}  // namespace marovine
