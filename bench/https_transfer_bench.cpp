// One 256 MiB transfer over https:// from nginx on loopback through our
// worker, against curl fetching the same file over https:// in the same run.
// Both trust the same test CA. Prints MB/s of both and the ratio (ours / curl).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "marovine/engine/http_request.h"
#include "marovine/engine/transfer_engine.h"
#include "platform/path.h"
#include "tests/support/child_process.h"
#include "tests/support/nginx_server.h"
#include "tests/support/sandbox.h"
#include "tests/support/test_ca.h"

using namespace marovine;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double OursSeconds(TransferEngine& engine, const std::string& url, const std::string& out) {
  (void)platform::RemoveFile(out);  // a file left from the last round is overwritten anyway
  TransferSlot slot;
  slot.url = url;
  slot.local_path = out;
  slot.user_agent = kUserAgentBrowser;
  slot.timeout_ms = 30000;
  auto start = Clock::now();
  engine.StartTransferThread(slot);
  do {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    engine.SyncTransferSlot(slot);
  } while (slot.status == TS_RUNNING);
  double elapsed = Seconds(start);
  if (slot.status != TS_DONE) {
    std::fprintf(stderr, "transfer failed: %s\n", slot.status_text.c_str());
  }
  engine.ResetTransferSlot(slot.slot_number, slot);
  return elapsed;
}

double CurlSeconds(const std::string& curl, const std::string& ca, const std::string& url,
                   const std::string& out) {
  auto start = Clock::now();
  marovine::testing::ChildProcess child({curl, "-s", "--cacert", ca, "-o", out, url});
  if (child.Wait() != 0) std::fprintf(stderr, "curl failed\n");
  return Seconds(start);
}

}  // namespace

int main() {
  std::string curl = marovine::testing::FindProgram("curl");
  if (curl.empty()) {
    std::fprintf(stderr, "curl is missing: run scripts/setup.sh\n");
    return 1;
  }
  // Output on tmpfs where there is one, so the disk does not decide the race.
  setenv("MAROVINE_TEST_TMP", platform::IsFolder("/dev/shm") ? "/dev/shm" : "/tmp", 0);
  auto& ca = marovine::testing::SharedTestCa();
  if (!ca.ok() || marovine::testing::LoopbackCertificate().certificate.empty()) {
    std::fprintf(stderr, "the test CA could not be made (openssl missing?)\n");
    return 1;
  }
  setenv("SSL_CERT_FILE", ca.ca_file().c_str(), 1);
  marovine::testing::Sandbox site;
  marovine::testing::Sandbox out;
  constexpr std::size_t kBig = 256u << 20;
  {
    std::FILE* f = std::fopen(site.Path("big.bin").c_str(), "wb");
    std::vector<char> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 31 + 7);
    for (std::size_t i = 0; i < kBig / block.size(); ++i) {
      std::fwrite(block.data(), 1, block.size(), f);
    }
    std::fclose(f);
  }
  marovine::testing::NginxServer server(site.path(), "", marovine::testing::LoopbackCertificate());
  if (!server.ok()) {
    std::fprintf(stderr, "nginx did not start\n");
    return 1;
  }
  TransferEngine engine;
  const std::string url = server.Url("/big.bin");
  double ours_best = 1e9, curl_best = 1e9;
  for (int round = 0; round < 3; ++round) {  // paired, alternating runs; best of each
    curl_best = std::min(curl_best, CurlSeconds(curl, ca.ca_file(), url, out.Path("curl")));
    ours_best = std::min(ours_best, OursSeconds(engine, url, out.Path("ours")));
  }
  double mb = kBig / 1e6;
  std::printf(
      "one 256 MiB transfer over https: marovine %.0f MB/s, curl %.0f MB/s, ratio %.2f "
      "(goal >= 0.8)\n",
      mb / ours_best, mb / curl_best, curl_best / ours_best);
  return 0;
}
