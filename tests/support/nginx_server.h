#pragma once

#include <memory>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"
#include "tests/support/test_ca.h"

namespace marovine::testing {

// A real nginx on 127.0.0.1 and a free port, serving `root` with a generated
// configuration: static files with ranges and Last-Modified, gzip for HTML
// (also to HTTP/1.0 clients), /redirect-302 (to /index.html), /moved-301,
// /forbidden (403), /private/ behind Basic authorization ("user:secret"), and
// whatever `extra_server_config` adds inside the server block. Given a
// certificate it speaks TLS (1.2 and 1.3) and its URLs are https://.
class NginxServer {
 public:
  explicit NginxServer(const std::string& root, const std::string& extra_server_config = "",
                       const CertificateFiles& tls = {});
  ~NginxServer();

  // True when nginx runs and accepts connections.
  bool ok() const { return ok_; }
  int port() const { return port_; }
  std::string host() const;                        // "127.0.0.1:port"
  std::string Url(const std::string& path) const;  // path starts with "/"
  std::string error_log() const;

 private:
  Sandbox state_;
  int port_ = 0;
  bool tls_ = false;
  bool ok_ = false;
  ChildProcess process_;
};

// A real tinyproxy on 127.0.0.1 and a free port that lets loopback clients
// through; its log records every request.
class TinyproxyServer {
 public:
  TinyproxyServer();
  ~TinyproxyServer();

  bool ok() const { return ok_; }
  int port() const { return port_; }
  std::string host() const;  // "127.0.0.1:port", the form of a proxy-list entry
  std::string log() const;

 private:
  Sandbox state_;
  int port_ = 0;
  bool ok_ = false;
  ChildProcess process_;
};

}  // namespace marovine::testing
