// One large file as a user fetches it: the whole marovine-cli process in fast
// mode against the whole curl process, both fetching 1 GiB from a loopback
// nginx (file on tmpfs) to a folder on disk. A run of each to warm up, then
// five paired runs, the order alternating; prints each pair, the median ratio of wall times (curl's
// over ours: at least 1.0 is the goal) and the CPU time each process used.

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/support/child_process.h"
#include "tests/support/nginx_server.h"
#include "tests/support/sandbox.h"

#ifndef MAROVINE_CLI_PATH
#error "MAROVINE_CLI_PATH must name the marovine-cli program"
#endif

using marovine::testing::ChildProcess;
using marovine::testing::FindProgram;
using marovine::testing::Sandbox;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::int64_t kFileBytes = std::int64_t{1} << 30;
constexpr int kPairs = 5;

struct Measured {
  double wall = 0;
  double cpu = 0;
  bool whole = false;
};

double ChildrenCpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

Measured Run(const std::vector<std::string>& argv, const std::string& result) {
  ::sync();  // the last run's writes go to disk before this one is timed
  Measured m;
  double cpu_before = ChildrenCpuSeconds();
  auto start = Clock::now();
  ChildProcess child(argv, {}, "/dev/null", "/dev/null");
  int status = child.Wait();
  m.wall = std::chrono::duration<double>(Clock::now() - start).count();
  m.cpu = ChildrenCpuSeconds() - cpu_before;
  m.whole = status == 0 && platform::FileSizeOf(result).value_or(0) == kFileBytes;
  if (!m.whole) std::fprintf(stderr, "%s: status %d, file incomplete\n", argv[0].c_str(), status);
  (void)platform::RemoveFile(result);
  return m;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  const std::string curl = FindProgram("curl");
  if (curl.empty()) {
    std::fprintf(stderr, "curl is needed: run scripts/setup.sh\n");
    return 1;
  }
  // The served file lives in memory; the results go to the disk /tmp is on.
  setenv("MAROVINE_TEST_TMP", "/dev/shm", 1);
  Sandbox site;
  {
    std::string block(1 << 20, '\0');
    for (std::size_t k = 0; k < block.size(); ++k) block[k] = static_cast<char>(k * 131 % 251);
    for (std::int64_t written = 0; written < kFileBytes; written += std::ssize(block)) {
      if (!platform::AppendToFile(site.Path("big.zip"), block)) {
        std::fprintf(stderr, "cannot write the served file\n");
        return 1;
      }
    }
  }
  marovine::testing::NginxServer server(site.path());
  if (!server.ok()) {
    std::fprintf(stderr, "nginx did not start\n");
    return 1;
  }
  setenv("MAROVINE_TEST_TMP", "/tmp", 1);
  Sandbox work;
  const std::string url = server.Url("/big.zip");
  const std::string out = work.Path("out/");
  (void)platform::MakeFolders(out);
  work.WriteFile("home/marovine.ini",
                 "[DownLoad]\nDouziDL=1\nTimeOut=30\nRetryWaitTime=0\nKakunouFolder=" + out +
                     "\n[UrlInsert]\nInsertToDown=zip\n"
                     "[Ippan]\nSaveMrvFinish=0\nReadMrvStartUp=0\n");
  const std::vector<std::string> ours = {MAROVINE_CLI_PATH, "--home", work.Path("home"), "--fast",
                                         url};
  const std::vector<std::string> theirs = {curl, "-s", "-o", out + "big.zip", url};

  // One run of each first, not counted: the first runs after the served
  // file was made pay for the memory it took.
  if (!Run(ours, out + "big.zip").whole || !Run(theirs, out + "big.zip").whole) return 1;
  std::vector<double> ratios;
  double our_cpu = 0;
  double their_cpu = 0;
  std::printf("1 GiB from nginx to disk, whole processes, %d paired runs:\n", kPairs);
  for (int pair = 0; pair < kPairs; ++pair) {
    Measured a;
    Measured b;
    if (pair % 2 == 0) {
      a = Run(ours, out + "big.zip");
      b = Run(theirs, out + "big.zip");
    } else {
      b = Run(theirs, out + "big.zip");
      a = Run(ours, out + "big.zip");
    }
    if (!a.whole || !b.whole) return 1;
    ratios.push_back(b.wall / a.wall);
    our_cpu += a.cpu;
    their_cpu += b.cpu;
    std::printf("  pair %d: marovine-cli %.3f s (cpu %.3f s), curl %.3f s (cpu %.3f s): %.2f\n",
                pair + 1, a.wall, a.cpu, b.wall, b.cpu, b.wall / a.wall);
  }
  std::printf("  median ratio curl/marovine: %.2f (goal >= 1.0); cpu per run %.3f s vs %.3f s\n",
              Median(ratios), our_cpu / kPairs, their_cpu / kPairs);
  return 0;
}
