#include "tests/support/nginx_server.h"

#include <unistd.h>

#include "platform/file_io.h"

namespace marovine::testing {

NginxServer::NginxServer(const std::string& root, const std::string& extra_server_config,
                         const CertificateFiles& tls)
    : tls_(!tls.certificate.empty()) {
  std::string nginx = FindProgram("nginx");
  if (nginx.empty()) return;
  port_ = FreeLoopbackPort();
  const std::string& dir = state_.path();
  state_.WriteFile("htpasswd", "user:{PLAIN}secret\n");
  std::string conf;
  conf += "daemon off;\nmaster_process off;\nworker_processes 1;\n";
  conf += "error_log " + dir + "error.log warn;\n";
  conf += "pid " + dir + "nginx.pid;\n";
  conf += "events { worker_connections 512; }\n";
  conf += "http {\n";
  conf += "  access_log " + dir + "access.log;\n";
  for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"}) {
    conf += std::string("  ") + kind + "_temp_path " + dir + kind + ";\n";
  }
  conf +=
      "  types { text/html html htm; image/jpeg jpg jpeg; image/gif gif; image/png png;\n"
      "          image/bmp bmp; application/zip zip; text/plain txt; }\n"
      "  default_type application/octet-stream;\n"
      "  sendfile on;\n"
      "  server {\n"
      "    listen 127.0.0.1:" +
      std::to_string(port_) + (tls_ ? " ssl" : "") + ";\n" +
      (tls_ ? "    ssl_certificate " + tls.certificate + ";\n    ssl_certificate_key " + tls.key +
                  ";\n    ssl_protocols TLSv1.2 TLSv1.3;\n"
            : std::string()) +
      "    root " + root +
      ";\n"
      "    gzip on; gzip_types text/html; gzip_min_length 1; gzip_http_version 1.0;\n"
      "    location = /redirect-302 { return 302 /index.html; }\n"
      "    location = /moved-301 { return 301 /index.html; }\n"
      "    location = /forbidden { return 403; }\n"
      "    location /private/ { auth_basic \"marovine\"; auth_basic_user_file " +
      dir + "htpasswd; }\n" + extra_server_config +
      "\n"
      "  }\n"
      "}\n";
  std::string conf_path = state_.WriteFile("nginx.conf", conf);
  process_ = ChildProcess({nginx, "-p", dir, "-e", dir + "error.log", "-c", conf_path}, {},
                          dir + "stdout.log", dir + "stderr.log");
  ok_ = process_.started() && WaitForPort(port_);
}

NginxServer::~NginxServer() { process_.Terminate(); }

std::string NginxServer::host() const { return "127.0.0.1:" + std::to_string(port_); }

std::string NginxServer::Url(const std::string& path) const {
  return (tls_ ? "https://" : "http://") + host() + path;
}

std::string NginxServer::error_log() const { return state_.ReadFile("error.log"); }

TinyproxyServer::TinyproxyServer() {
  std::string tinyproxy = FindProgram("tinyproxy");
  if (tinyproxy.empty()) return;
  port_ = FreeLoopbackPort();
  const std::string& dir = state_.path();
  std::string conf = "Port " + std::to_string(port_) +
                     "\n"
                     "Listen 127.0.0.1\n"
                     "Timeout 60\n"
                     "MaxClients 64\n"
                     "Allow 127.0.0.1\n"
                     "LogLevel Info\n"
                     "LogFile \"" +
                     dir + "tinyproxy.log\"\n";
  if (::geteuid() == 0) conf += "User root\nGroup root\n";
  std::string conf_path = state_.WriteFile("tinyproxy.conf", conf);
  process_ =
      ChildProcess({tinyproxy, "-d", "-c", conf_path}, {}, dir + "stdout.log", dir + "stderr.log");
  ok_ = process_.started() && WaitForPort(port_);
}

TinyproxyServer::~TinyproxyServer() { process_.Terminate(); }

std::string TinyproxyServer::host() const { return "127.0.0.1:" + std::to_string(port_); }

std::string TinyproxyServer::log() const { return state_.ReadFile("tinyproxy.log"); }

}  // namespace marovine::testing
