#include "tests/support/test_ca.h"

#include <ctime>
#include <vector>

#include "tests/support/child_process.h"

namespace marovine::testing {
namespace {

std::string OpensslDate(std::time_t when) {
  char text[32];
  std::tm parts{};
  ::gmtime_r(&when, &parts);
  std::strftime(text, sizeof text, "%Y%m%d%H%M%SZ", &parts);
  return text;
}

constexpr std::time_t kDay = 24 * 60 * 60;

}  // namespace

TestCa::TestCa() {
  const std::string& dir = dir_.path();
  dir_.WriteFile("index.txt", "");
  dir_.WriteFile("serial", "1000\n");
  dir_.WriteFile("newcerts/.keep", "");
  config_ = dir_.WriteFile("ca.cnf",
                           "[ req ]\n"
                           "distinguished_name = dn\n"
                           "x509_extensions = ca_ext\n"
                           "prompt = no\n"
                           "[ dn ]\n"
                           "CN = marovine test CA\n"
                           "[ ca_ext ]\n"
                           "basicConstraints = critical, CA:TRUE\n"
                           "keyUsage = critical, keyCertSign, cRLSign\n"
                           "subjectKeyIdentifier = hash\n"
                           "[ ca ]\n"
                           "default_ca = test_ca\n"
                           "[ test_ca ]\n"
                           "database = " +
                               dir +
                               "index.txt\n"
                               "new_certs_dir = " +
                               dir +
                               "newcerts\n"
                               "serial = " +
                               dir +
                               "serial\n"
                               "default_md = sha256\n"
                               "policy = any_name\n"
                               "unique_subject = no\n"
                               "[ any_name ]\n"
                               "commonName = supplied\n");
  ca_file_ = dir + "ca.pem";
  ca_key_ = dir + "ca.key";
  ok_ = Openssl({"req", "-x509", "-config", config_, "-newkey", "ec", "-pkeyopt",
                 "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", ca_key_, "-out", ca_file_,
                 "-days", "3650"});
}

bool TestCa::Openssl(const std::vector<std::string>& args) {
  std::string openssl = FindProgram("openssl");
  if (openssl.empty()) return false;
  std::vector<std::string> argv{openssl};
  argv.insert(argv.end(), args.begin(), args.end());
  ChildProcess process(argv, {}, dir_.Path("openssl.out"), dir_.Path("openssl.err"));
  return process.started() && process.Wait() == 0;
}

CertificateFiles TestCa::Issue(const std::string& alt_names, const std::string& not_before,
                               const std::string& not_after) {
  std::string base = dir_.path() + "server" + std::to_string(++issued_);
  std::string extensions = dir_.WriteFile("server" + std::to_string(issued_) + ".ext",
                                          "[ server ]\n"
                                          "basicConstraints = CA:FALSE\n"
                                          "extendedKeyUsage = serverAuth\n"
                                          "subjectAltName = " +
                                              alt_names + "\n");
  std::time_t now = std::time(nullptr);
  CertificateFiles files{base + ".pem", base + ".key"};
  bool made = Openssl({"req", "-new", "-config", config_, "-newkey", "ec", "-pkeyopt",
                       "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", files.key, "-out",
                       base + ".csr", "-subj", "/CN=marovine test server"}) &&
              Openssl({"ca",
                       "-batch",
                       "-notext",
                       "-config",
                       config_,
                       "-cert",
                       ca_file_,
                       "-keyfile",
                       ca_key_,
                       "-in",
                       base + ".csr",
                       "-out",
                       files.certificate,
                       "-startdate",
                       not_before.empty() ? OpensslDate(now - kDay) : not_before,
                       "-enddate",
                       not_after.empty() ? OpensslDate(now + 3650 * kDay) : not_after,
                       "-extfile",
                       extensions,
                       "-extensions",
                       "server"});
  return made ? files : CertificateFiles{};
}

CertificateFiles TestCa::SelfSigned(const std::string& alt_names) {
  std::string base = dir_.path() + "self" + std::to_string(++issued_);
  CertificateFiles files{base + ".pem", base + ".key"};
  bool made = Openssl({"req", "-x509", "-config", config_, "-newkey", "ec", "-pkeyopt",
                       "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", files.key, "-out",
                       files.certificate, "-days", "30", "-subj", "/CN=marovine self-signed",
                       "-addext", "subjectAltName = " + alt_names});
  return made ? files : CertificateFiles{};
}

TestCa& SharedTestCa() {
  static TestCa ca;
  return ca;
}

const CertificateFiles& LoopbackCertificate() {
  static const CertificateFiles files = SharedTestCa().Issue("IP:127.0.0.1,DNS:localhost");
  return files;
}

}  // namespace marovine::testing
