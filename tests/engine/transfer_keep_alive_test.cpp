// Fast mode keeps connections: a server that answers HTTP/1.1 with a body
// whose end it tells serves the next request of any slot, and every way a
// server may end or refuse that still gives each item its whole file.

#include <gtest/gtest.h>

#include "marovine/engine/response_head.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/engine/transfer_fixture.h"
#include "tests/support/loopback_server.h"
#include "tests/support/nginx_server.h"
#include "tests/support/test_ca.h"

namespace marovine {
namespace {

using testing::LoopbackConnection;
using testing::LoopbackServer;

std::string Chunked(const std::string& data, std::size_t chunk) {
  std::string out;
  for (std::size_t at = 0; at < data.size(); at += chunk) {
    std::string piece = data.substr(at, chunk);
    char size[32];
    std::snprintf(size, sizeof size, "%zx;n=1", piece.size());
    out += std::string(size) + "\r\n" + piece + "\r\n";
  }
  return out + "0\r\nX-Trailer: 1\r\n\r\n";
}

// The body the loopback server gives each path: its own name, repeated.
std::string BodyOf(const std::string& target) {
  std::string body;
  for (int i = 0; i < 300; ++i) body += target;
  return body;
}

class KeepAliveTest : public TransferFixture {
 protected:
  KeepAliveTest() {
    WorkerSettings settings;
    settings.retry_wait_time = 0;
    settings.reuse_connections = 1;
    SetWorker(settings);
  }

  TransferSlot Fetch(const std::string& url, const std::string& name, int slot_number = 0) {
    auto slot = MakeSlot(url, name, slot_number);
    Run(slot);
    return slot;
  }
  std::string Local(const std::string& name) {
    return platform::ReadWholeFile(box.Path(name)).value_or("<none>");
  }
};

// Answers every request on the connection until the client closes it, with
// `head_extra` in each head; chunked or with a length.
LoopbackServer::Script Serving(bool chunked, std::string head_extra = "") {
  return [chunked, head_extra](LoopbackConnection& c) {
    for (;;) {
      std::string head = c.ReadRequestHead();
      if (head.find("\r\n\r\n") == std::string::npos) return;
      std::string body = BodyOf(testing::RequestTarget(head));
      std::string answer = "HTTP/1.1 200 OK\r\n" + head_extra;
      if (chunked) {
        answer += "Transfer-Encoding: chunked\r\n\r\n" + Chunked(body, 333);
      } else {
        answer += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
      }
      if (!c.Send(answer)) return;
    }
  };
}

TEST_F(KeepAliveTest, OneConnectionServesEveryItemOfTheServerWhicheverSlotStartsIt) {
  for (bool chunked : {false, true}) {
    LoopbackServer server(Serving(chunked));
    for (int i = 0; i < 4; ++i) {
      std::string name = "f" + std::to_string(i) + (chunked ? ".c" : ".l");
      auto slot = Fetch(server.Url("/" + name), name, /*slot_number=*/i % 3);
      EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
      EXPECT_EQ(Local(name), BodyOf("/" + name));
    }
    EXPECT_EQ(server.connections(), 1) << "chunked " << chunked;
    for (const std::string& request : server.requests()) {
      EXPECT_NE(request.find(" HTTP/1.1\r\n"), std::string::npos) << request;
      EXPECT_EQ(request.find("Connection: close"), std::string::npos) << request;
    }
  }
}

TEST_F(KeepAliveTest, AServerThatWillCloseOrSpeaksHttp10GetsANewConnectionEachTime) {
  struct Case {
    const char* name;
    std::string status_line;
    std::string head_extra;
  };
  for (const Case& each :
       {Case{"close", "HTTP/1.1 200 OK", "Connection: close\r\n"},
        Case{"1.0", "HTTP/1.0 200 OK", ""}, Case{"no length", "HTTP/1.1 200 OK", ""}}) {
    const bool length = each.name != std::string("no length");
    LoopbackServer server([&](LoopbackConnection& c) {
      std::string body = BodyOf(testing::RequestTarget(c.ReadRequestHead()));
      std::string answer = each.status_line + "\r\n" + each.head_extra;
      if (length) answer += "Content-Length: " + std::to_string(body.size()) + "\r\n";
      c.Send(answer + "\r\n" + body);
      // Closing is what ends a body without a length.
    });
    for (int i = 0; i < 3; ++i) {
      std::string name = "g" + std::to_string(server.port()) + "-" + std::to_string(i);
      auto slot = Fetch(server.Url("/" + name), name);
      EXPECT_EQ(slot.status, TS_DONE) << each.name << ": " << slot.status_text;
      EXPECT_EQ(Local(name), BodyOf("/" + name)) << each.name;
    }
    EXPECT_EQ(server.connections(), 3) << each.name;
  }
}

TEST_F(KeepAliveTest, AKeptConnectionTheServerClosedIsReplacedWithoutAFailure) {
  // The server answers one request per connection, then closes it although
  // it said it would keep it.
  LoopbackServer server([](LoopbackConnection& c) {
    std::string body = BodyOf(testing::RequestTarget(c.ReadRequestHead()));
    c.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
    c.Close();
  });
  for (int i = 0; i < 3; ++i) {
    std::string name = "h" + std::to_string(i);
    auto slot = Fetch(server.Url("/" + name), name);
    EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
    EXPECT_EQ(Local(name), BodyOf("/" + name));
  }
  // Each later item tried the kept connection, found it closed, and made one.
  EXPECT_EQ(server.connections(), 3);
}

TEST_F(KeepAliveTest, BytesAfterTheBodyNeverReachTheFileNorTheNextItem) {
  LoopbackServer server([](LoopbackConnection& c) {
    for (;;) {
      std::string head = c.ReadRequestHead();
      if (head.find("\r\n\r\n") == std::string::npos) return;
      // An answer nobody asked for follows the real one.
      if (!c.Send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nbodyHTTP/1.1 200 OK\r\n"
                  "Content-Length: 5\r\n\r\nwrong")) {
        return;
      }
    }
  });
  for (const char* name : {"i0", "i1"}) {
    auto slot = Fetch(server.Url(std::string("/") + name), name);
    EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
    EXPECT_EQ(Local(name), "body");
  }
  EXPECT_EQ(server.connections(), 2);
}

TEST_F(KeepAliveTest, WithoutFastModeTheRequestAsksTheServerToClose) {
  WorkerSettings settings;
  settings.retry_wait_time = 0;
  SetWorker(settings);
  LoopbackServer server([](LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nbody");
  });
  auto slot = Fetch(server.Url("/j"), "j");
  EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_NE(server.requests()[0].find(" HTTP/1.0\r\n"), std::string::npos);
  EXPECT_NE(server.requests()[0].find("Connection: close\r\n"), std::string::npos);
}

// nginx numbers its connections; a location that answers the number shows
// which connection served each request.
constexpr const char* kConnectionSerial =
    "location = /serial { default_type text/plain; return 200 \"$connection\"; }";

TEST_F(KeepAliveTest, NginxServesEveryRequestOnOneConnectionOverHttpAndHttps) {
  ASSERT_TRUE(testing::SharedTestCa().ok());
  ::setenv("SSL_CERT_FILE", testing::SharedTestCa().ca_file().c_str(), 1);
  testing::Sandbox site;
  ::setenv("SSL_CERT_DIR", site.Path("no-certificates").c_str(), 1);
  site.WriteFile("big.bin", std::string(300 * 1024, 'b'));
  for (bool tls : {false, true}) {
    testing::NginxServer server(site.path(), kConnectionSerial,
                                tls ? testing::LoopbackCertificate() : testing::CertificateFiles{});
    ASSERT_TRUE(server.ok()) << server.error_log();
    auto first = Fetch(server.Url("/serial"), "serial1");
    auto big = Fetch(server.Url("/big.bin"), "big.bin", 1);
    auto second = Fetch(server.Url("/serial"), "serial2", 2);
    EXPECT_EQ(first.status, TS_DONE) << first.status_text;
    EXPECT_EQ(big.status, TS_DONE) << big.status_text;
    EXPECT_EQ(second.status, TS_DONE) << second.status_text;
    EXPECT_EQ(Local("big.bin"), std::string(300 * 1024, 'b'));
    EXPECT_FALSE(Local("serial1").empty());
    EXPECT_EQ(Local("serial1"), Local("serial2")) << "tls " << tls;
    EXPECT_TRUE(platform::RemoveFile(box.Path("big.bin")));
  }
}

TEST_F(KeepAliveTest, ANewTlsConnectionResumesTheServersLastSession) {
  ASSERT_TRUE(testing::SharedTestCa().ok());
  ::setenv("SSL_CERT_FILE", testing::SharedTestCa().ca_file().c_str(), 1);
  testing::Sandbox site;
  ::setenv("SSL_CERT_DIR", site.Path("no-certificates").c_str(), 1);
  // One request per connection, so that each item needs a handshake.
  testing::NginxServer server(site.path(),
                              "keepalive_requests 1;\n"
                              "location = /reused { default_type text/plain; "
                              "return 200 \"$ssl_session_reused\"; }",
                              testing::LoopbackCertificate());
  ASSERT_TRUE(server.ok()) << server.error_log();
  for (const char* name : {"r1", "r2", "r3"}) {
    auto slot = Fetch(server.Url("/reused"), name);
    EXPECT_EQ(slot.status, TS_DONE) << slot.status_text;
  }
  EXPECT_EQ(Local("r1"), ".");
  EXPECT_EQ(Local("r2"), "r");
  EXPECT_EQ(Local("r3"), "r");
}

TEST(ConnectionReuseTest, TheHeadTellsWhetherTheConnectionStaysAndWhereTheBodyEnds) {
  auto reuse = ConnectionReuseOf("HTTP/1.1 200 OK\r\nContent-Length: 12\r\n");
  EXPECT_TRUE(reuse.keep_open);
  EXPECT_EQ(reuse.body_length, 12);

  EXPECT_FALSE(ConnectionReuseOf("HTTP/1.1 200 OK\r\nconnection: Keep-Alive, Close\r\n").keep_open);
  EXPECT_FALSE(ConnectionReuseOf("HTTP/1.0 200 OK\r\nContent-Length: 1\r\n").keep_open);
  EXPECT_TRUE(ConnectionReuseOf("HTTP/1.0 200 OK\r\nConnection: keep-alive\r\n").keep_open);
  EXPECT_FALSE(ConnectionReuseOf("HTTP/2 200\r\n").keep_open);

  // A chunked body ends itself; a length beside it is not the body's.
  EXPECT_FALSE(ConnectionReuseOf("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n"
                                 "Content-Length: 3\r\n")
                   .body_length);
  // A length that is no plain number, or two that differ, leaves the end unknown.
  for (const char* bad :
       {"Content-Length: 12x\r\n", "Content-Length: -1\r\n",
        "Content-Length: 1\r\nContent-Length: 2\r\n", "Content-Length: 99999999999999999999\r\n"}) {
    EXPECT_FALSE(ConnectionReuseOf(std::string("HTTP/1.1 200 OK\r\n") + bad).body_length) << bad;
  }
  EXPECT_EQ(ConnectionReuseOf("HTTP/1.1 200 OK\r\nContent-Length: 7\r\nContent-Length: 7\r\n")
                .body_length,
            7);
  EXPECT_EQ(ConnectionReuseOf("HTTP/1.1 304 Not Modified\r\nContent-Length: 7\r\n").body_length, 0);
}

}  // namespace
}  // namespace marovine
