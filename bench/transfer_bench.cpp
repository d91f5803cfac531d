// One 256 MiB transfer from nginx on loopback through our worker, against curl
// fetching the same file in the same run; then ten at once against ten curls.
// Prints MB/s of both and the ratio (ours / curl).

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "marovine/engine/http_request.h"
#include "marovine/engine/transfer_engine.h"
#include "platform/path.h"
#include "tests/support/child_process.h"
#include "tests/support/nginx_server.h"
#include "tests/support/sandbox.h"

using namespace marovine;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double OursSeconds(TransferEngine& engine, const std::vector<std::string>& urls,
                   const std::string& out_folder) {
  std::vector<TransferSlot> slots(urls.size());
  for (std::size_t i = 0; i < urls.size(); ++i) {
    (void)platform::RemoveFile(
        out_folder + std::to_string(i));  // a file left from the last round is overwritten anyway
    TransferSlot& s = slots[i];
    s.slot_number = static_cast<int>(i);
    s.url = urls[i];
    s.local_path = out_folder + std::to_string(i);
    s.user_agent = kUserAgentBrowser;
    s.timeout_ms = 30000;
  }
  auto start = Clock::now();
  for (auto& s : slots) engine.StartTransferThread(s);
  for (;;) {
    bool running = false;
    for (auto& s : slots) {
      engine.SyncTransferSlot(s);
      running = running || s.status == TS_RUNNING;
    }
    if (!running) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  double elapsed = Seconds(start);
  for (auto& s : slots) {
    if (s.status != TS_DONE) std::fprintf(stderr, "transfer failed: %s\n", s.status_text.c_str());
    engine.ResetTransferSlot(s.slot_number, s);
  }
  return elapsed;
}

double CurlSeconds(const std::string& curl, const std::vector<std::string>& urls,
                   const std::string& out_folder) {
  auto start = Clock::now();
  std::vector<marovine::testing::ChildProcess> children;
  for (std::size_t i = 0; i < urls.size(); ++i) {
    children.emplace_back(std::vector<std::string>{
        curl, "-s", "-o", out_folder + "curl" + std::to_string(i), urls[i]});
  }
  for (auto& c : children) c.Wait();
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
  marovine::testing::Sandbox site;
  marovine::testing::Sandbox out;
  constexpr std::size_t kBig = 256u << 20;
  {
    std::FILE* f = std::fopen(site.Path("big.bin").c_str(), "wb");
    std::vector<char> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 31 + 7);
    for (std::size_t i = 0; i < kBig / block.size(); ++i)
      std::fwrite(block.data(), 1, block.size(), f);
    std::fclose(f);
    std::FILE* g = std::fopen(site.Path("mid.bin").c_str(), "wb");
    for (std::size_t i = 0; i < 32; ++i) std::fwrite(block.data(), 1, block.size(), g);
    std::fclose(g);
  }
  marovine::testing::NginxServer server(site.path());
  if (!server.ok()) {
    std::fprintf(stderr, "nginx did not start\n");
    return 1;
  }
  TransferEngine engine;

  const int kRounds = 3;
  double ours_best = 1e9, curl_best = 1e9;
  std::vector<std::string> one{server.Url("/big.bin")};
  for (int round = 0; round < kRounds; ++round) {  // paired, alternating runs; best of each
    curl_best = std::min(curl_best, CurlSeconds(curl, one, out.path()));
    ours_best = std::min(ours_best, OursSeconds(engine, one, out.path()));
  }
  double mb = kBig / 1e6;
  std::printf(
      "one 256 MiB transfer: marovine %.0f MB/s, curl %.0f MB/s, ratio %.2f (goal >= 0.8)\n",
      mb / ours_best, mb / curl_best, curl_best / ours_best);

  std::vector<std::string> ten(kTransferSlotCount, server.Url("/mid.bin"));
  double ours_ten = 1e9, curl_ten = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    curl_ten = std::min(curl_ten, CurlSeconds(curl, ten, out.path()));
    ours_ten = std::min(ours_ten, OursSeconds(engine, ten, out.path()));
  }
  double mb_ten = 10 * 32 * 1048576 / 1e6;
  std::printf("ten 32 MiB transfers at once: marovine %.0f MB/s, ten curls %.0f MB/s, ratio %.2f\n",
              mb_ten / ours_ten, mb_ten / curl_ten, curl_ten / ours_ten);
  return 0;
}
