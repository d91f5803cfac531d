#pragma once

#include <string>
#include <vector>

#include "tests/support/sandbox.h"

namespace marovine::testing {

// A certificate and its key, as files.
struct CertificateFiles {
  std::string certificate;
  std::string key;
};

// A certificate authority of the tests' own, made with the openssl program,
// and the server certificates it issues. Clients trust it through
// SSL_CERT_FILE=ca_file(); nothing of the system's store is touched.
class TestCa {
 public:
  TestCa();

  bool ok() const { return ok_; }
  const std::string& ca_file() const { return ca_file_; }

  // A certificate for the subject alternative names ("IP:127.0.0.1,DNS:x"),
  // valid from `not_before` to `not_after` ("YYYYMMDDHHMMSSZ"; empty: from
  // yesterday for ten years). Empty paths when openssl failed.
  CertificateFiles Issue(const std::string& alt_names, const std::string& not_before = "",
                         const std::string& not_after = "");
  // A certificate that signs itself, for the same names.
  CertificateFiles SelfSigned(const std::string& alt_names);

 private:
  bool Openssl(const std::vector<std::string>& args);

  Sandbox dir_;
  std::string config_;
  std::string ca_file_;
  std::string ca_key_;
  int issued_ = 0;
  bool ok_ = false;
};

// One CA for the whole test program: making keys costs time.
TestCa& SharedTestCa();

// The server certificate most tests use: from the shared CA, for 127.0.0.1
// and localhost.
const CertificateFiles& LoopbackCertificate();

}  // namespace marovine::testing
