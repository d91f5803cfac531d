// Transfers over https:// against nginx with certificates of the tests' own
// CA, and the faults a secure connection adds.

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/file_io.h"
#include "tests/engine/transfer_fixture.h"
#include "tests/support/loopback_server.h"
#include "tests/support/nginx_server.h"

namespace marovine {
namespace {

using testing::LoopbackConnection;
using testing::LoopbackServer;

class TlsTransferTest : public TransferFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::SharedTestCa().ok());
    // The client's trusted store: the test CA only.
    ::setenv("SSL_CERT_FILE", testing::SharedTestCa().ca_file().c_str(), 1);
    ::setenv("SSL_CERT_DIR", site_.Path("no-certificates").c_str(), 1);
    site_.WriteFile("big.bin", big_);
    site_.WriteFile("index.html", "<html><body><a href=\"a.jpg\">a</a></body></html>\n");
  }

  std::unique_ptr<testing::NginxServer> Serve(const testing::CertificateFiles& certificate) {
    auto server = std::make_unique<testing::NginxServer>(site_.path(), "", certificate);
    EXPECT_TRUE(server->ok()) << server->error_log();
    return server;
  }

  std::string Local(const std::string& name) {
    return platform::ReadWholeFile(box.Path(name)).value_or("<none>");
  }

  testing::Sandbox site_;
  const std::string big_ = std::string(200 * 1024, 'x') + "end";
};

TEST_F(TlsTransferTest, DownloadsWholeAndResumesWithARange) {
  auto server = Serve(testing::LoopbackCertificate());
  auto slot = MakeSlot(server->Url("/big.bin"), "big.bin");
  ASSERT_TRUE(slot.url.starts_with("https://"));
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE);
  EXPECT_EQ(slot.status_text, "正常に終了しました。");
  EXPECT_EQ(Local("big.bin"), big_);

  box.WriteFile("part.bin", big_.substr(0, 1000));
  auto resume = MakeSlot(server->Url("/big.bin"), "part.bin");
  Run(resume);
  EXPECT_EQ(resume.status, TS_DONE);
  EXPECT_EQ(resume.full_body, 0);  // a 206 continued the file
  EXPECT_EQ(Local("part.bin"), big_);
}

TEST_F(TlsTransferTest, ACertificateThatCannotBeTrustedEndsTheItemSayingWhy) {
  auto& ca = testing::SharedTestCa();
  struct Case {
    const char* what;
    testing::CertificateFiles certificate;
    const char* text;
  };
  const Case cases[] = {
      {"expired", ca.Issue("IP:127.0.0.1", "20200101000000Z", "20200201000000Z"),
       "サーバー証明書の有効期限が切れています。"},
      {"another name", ca.Issue("DNS:other.example"),
       "サーバー証明書の名前が接続先と一致しません。"},
      {"self-signed", ca.SelfSigned("IP:127.0.0.1"), "サーバー証明書の発行者を信頼できません。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_FALSE(c.certificate.certificate.empty());
    auto server = Serve(c.certificate);
    auto slot = MakeSlot(server->Url("/big.bin"), "big.bin");
    Run(slot);
    EXPECT_EQ(slot.status, TS_FAILED);
    EXPECT_EQ(slot.status_text, c.text);
    EXPECT_EQ(Local("big.bin"), "<none>");
  }
}

// Connections share what was read of the trusted certificates; a change to
// the file they came from reaches the next connection.
TEST_F(TlsTransferTest, ACertificateTrustedMeanwhileIsTrustedByTheNextConnection) {
  auto server = Serve(testing::LoopbackCertificate());
  const std::string store = site_.WriteFile("store.pem", "");
  ::setenv("SSL_CERT_FILE", store.c_str(), 1);
  auto refused = MakeSlot(server->Url("/big.bin"), "refused.bin");
  Run(refused);
  EXPECT_EQ(refused.status, TS_FAILED);
  EXPECT_EQ(refused.status_text, "サーバー証明書の発行者を信頼できません。");

  site_.WriteFile("store.pem",
                  platform::ReadWholeFile(testing::SharedTestCa().ca_file()).value_or(""));
  auto trusted = MakeSlot(server->Url("/big.bin"), "trusted.bin");
  Run(trusted);
  EXPECT_EQ(trusted.status, TS_DONE) << trusted.status_text;
  EXPECT_EQ(Local("trusted.bin"), big_);
}

TEST_F(TlsTransferTest, TheUnverifiedSettingAcceptsAnyCertificateAndSaysSo) {
  WorkerSettings settings;
  settings.retry_wait_time = 0;
  settings.accept_unverified_certificate = 1;
  SetWorker(settings);

  auto self_signed = Serve(testing::SharedTestCa().SelfSigned("IP:127.0.0.1"));
  auto slot = MakeSlot(self_signed->Url("/big.bin"), "big.bin");
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE);
  EXPECT_EQ(slot.status_text, "正常に終了しました。（証明書を検証していません）");
  EXPECT_EQ(Local("big.bin"), big_);

  // A certificate that verifies carries no remark.
  auto trusted = Serve(testing::LoopbackCertificate());
  auto good = MakeSlot(trusted->Url("/big.bin"), "good.bin");
  Run(good);
  EXPECT_EQ(good.status, TS_DONE);
  EXPECT_EQ(good.status_text, "正常に終了しました。");
}

TEST_F(TlsTransferTest, AServerThatClosesOrSpeaksPlainHttpFailsTheHandshake) {
  LoopbackServer closing([](LoopbackConnection& c) { c.Close(); });
  LoopbackServer plain([](LoopbackConnection& c) {
    c.Send("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nhi");
    c.Close();
  });
  for (auto* server : {&closing, &plain}) {
    auto slot = MakeSlot("https://127.0.0.1:" + std::to_string(server->port()) + "/x.jpg", "x.jpg");
    Run(slot);
    EXPECT_EQ(slot.status, TS_FAILED);
    EXPECT_EQ(slot.status_text, "SSL/TLSの接続を確立できません。");
    EXPECT_EQ(Local("x.jpg"), "<none>");
  }
}

TEST_F(TlsTransferTest, AStopEndsASilentHandshake) {
  LoopbackServer silent([](LoopbackConnection& c) { c.WaitForClientClose(); });
  auto slot = MakeSlot("https://127.0.0.1:" + std::to_string(silent.port()) + "/x.jpg", "x.jpg");
  slot.timeout_ms = 0;  // wait forever
  Start(slot);
  ASSERT_TRUE(testing::WaitFor([&] { return silent.connections() == 1; }));
  slot.stop_request = 1;
  ASSERT_TRUE(testing::WaitFor([&] {
    engine.SyncTransferSlot(slot);
    return slot.status != TS_RUNNING;
  }));
  EXPECT_EQ(slot.status, TS_STOPPED);
  EXPECT_EQ(slot.status_text, "ユーザーによって切断されました。");
}

TEST_F(TlsTransferTest, ThroughAProxyTheRequestGoesThroughATunnel) {
  auto server = Serve(testing::LoopbackCertificate());
  testing::TinyproxyServer proxy;
  ASSERT_TRUE(proxy.ok());
  auto slot = MakeSlot(server->Url("/big.bin"), "big.bin");
  slot.proxy = proxy.host();
  Run(slot);
  EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
  EXPECT_EQ(Local("big.bin"), big_);
  EXPECT_NE(proxy.log().find("CONNECT"), std::string::npos) << proxy.log();

  // A proxy that refuses the tunnel fails like one that does not answer.
  LoopbackServer refusing([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send("HTTP/1.0 403 Forbidden\r\n\r\n");
    c.Close();
  });
  auto refused = MakeSlot(server->Url("/big.bin"), "refused.bin");
  refused.proxy = "127.0.0.1:" + std::to_string(refusing.port());
  Run(refused);
  EXPECT_EQ(refused.status, TS_FAILED);
  EXPECT_EQ(refused.status_text, "プロキシ経由で接続できません。");
  ASSERT_EQ(refusing.requests().size(), 1u);
  EXPECT_TRUE(refusing.requests()[0].starts_with("CONNECT " + server->host() + " HTTP/1.0\r\n"))
      << refusing.requests()[0];
}

}  // namespace
}  // namespace marovine
