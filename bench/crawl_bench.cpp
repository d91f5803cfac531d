// Crawls a generated gallery site (50 pages x 40 pictures of 20-200 KB) on a
// loopback nginx with marovine-cli in fast mode (DouziDL 10), against
// `wget2 --max-threads=10` (and over http `wget -r`) on the same site in the
// same run, over http and over https, output on tmpfs, nine paired rounds. Prints files/s (best
// round) and the ratios (of the best rounds, and the median of the rounds' own),
// and checks that each tool fetched the full set. Then the plain 1000 ms tick on one page against
// its ceiling of DouziDL files per second.

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/path.h"
#include "tests/support/child_process.h"
#include "tests/support/nginx_server.h"
#include "tests/support/sandbox.h"
#include "tests/support/test_ca.h"

#ifndef MAROVINE_CLI_PATH
#error "MAROVINE_CLI_PATH must name the marovine-cli program"
#endif

using marovine::testing::ChildProcess;
using marovine::testing::FindProgram;
using marovine::testing::Sandbox;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPages = 50;
constexpr int kPicturesPerPage = 40;

struct Tally {
  int files = 0;
  long long bytes = 0;
};

void CountPictures(const std::string& folder, Tally& tally) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::string path = platform::JoinPath(folder, name);
    if (platform::IsFolder(path)) {
      CountPictures(path, tally);
    } else if (name.size() > 4 && name.ends_with(".jpg")) {
      ++tally.files;
      tally.bytes += platform::FileSizeOf(path).value_or(0);
    }
  }
  ::closedir(dir);
}

Tally MakeSite(const Sandbox& site, const std::string& folder, int pages) {
  Tally made;
  std::string index = "<html><head><title>Gallery</title></head><body>\n";
  unsigned seed = 12345;
  for (int p = 1; p <= pages; ++p) {
    index += "<a href=\"page" + std::to_string(p) + ".html\">page " + std::to_string(p) + "</a>\n";
    std::string page = "<html><head><title>Page " + std::to_string(p) + "</title></head><body>\n";
    for (int i = 1; i <= kPicturesPerPage; ++i) {
      std::string name = "p" + std::to_string(p) + "_" + std::to_string(i) + ".jpg";
      page += "<a href=\"" + name + "\">" + name + "</a>\n";
      seed = seed * 1103515245u + 12345u;
      std::size_t size = 20 * 1024 + (seed >> 8) % (180 * 1024);
      std::string bytes(size, '\0');
      for (std::size_t k = 0; k < size; ++k)
        bytes[k] = static_cast<char>((k * 131 + p * 7 + i) & 0xFF);
      site.WriteFile(folder + "/" + name, bytes);
      ++made.files;
      made.bytes += static_cast<long long>(size);
    }
    site.WriteFile(folder + "/page" + std::to_string(p) + ".html", page + "</body></html>\n");
  }
  site.WriteFile(folder + "/index.html", index + "</body></html>\n");
  return made;
}

double Run(const std::vector<std::string>& argv) {
  auto start = Clock::now();
  ChildProcess child(argv, {}, "/dev/null", "/dev/null");
  int status = child.Wait();
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (status != 0) std::fprintf(stderr, "%s ended with status %d\n", argv[0].c_str(), status);
  return seconds;
}

std::string MarovineHome(const Sandbox& box, const std::string& name, const std::string& out) {
  box.WriteFile(name + "/marovine.ini",
                "[DownLoad]\nDouziDL=10\nTimeOut=30\nRetryWaitTime=0\n"
                "[MarovineDownLoad]\nKakunou Folder=" +
                    out +
                    "\nKakuchoushi=jpg\nMake Date Name Folder=0\nPut Random Num=0\n"
                    "Dont Down Gomi=0\nDont Down File in Log=0\n"
                    "[Kensaku]\nKensakuLevel=2\n"
                    "[Ippan]\nSaveMrvFinish=0\nReadMrvStartUp=0\n"
                    "[Banner]\nDontDownBanner=0\n");
  return box.Path(name);
}

struct Contender {
  const char* name;
  std::function<std::vector<std::string>(const std::string& out, int round)> command;
  double best = 1e9;
  std::vector<double> seconds;  // per round; 0 for a run that missed files
  Tally fetched;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main() {
  setenv("MAROVINE_TEST_TMP", platform::IsFolder("/dev/shm") ? "/dev/shm" : "/tmp", 0);
  std::string wget = FindProgram("wget"), wget2 = FindProgram("wget2");
  if (wget.empty() || wget2.empty()) {
    std::fprintf(stderr, "wget and wget2 are needed: run scripts/setup.sh\n");
    return 1;
  }
  Sandbox site;
  Tally made = MakeSite(site, "gallery", kPages);
  MakeSite(site, "small", 1);
  marovine::testing::NginxServer server(site.path());
  if (!server.ok()) {
    std::fprintf(stderr, "nginx did not start\n");
    return 1;
  }
  Sandbox work;
  // The same gallery over https://, from a second nginx with the test CA's
  // certificate; both programs trust that CA alone.
  if (!marovine::testing::SharedTestCa().ok()) {
    std::fprintf(stderr, "the test CA could not be made\n");
    return 1;
  }
  const std::string ca_file = marovine::testing::SharedTestCa().ca_file();
  setenv("SSL_CERT_FILE", ca_file.c_str(), 1);
  marovine::testing::NginxServer secure(site.path(), "", marovine::testing::LoopbackCertificate());
  if (!secure.ok()) {
    std::fprintf(stderr, "nginx did not start with TLS\n");
    return 1;
  }
  for (const auto* host : {&server, &secure}) {
    const std::string url = host->Url("/gallery/");
    const bool tls = host == &secure;
    std::vector<Contender> contenders = {
        {"marovine-cli --fast",
         [&](const std::string& out, int round) {
           std::string home = MarovineHome(work, "home" + std::to_string(round), out);
           return std::vector<std::string>{MAROVINE_CLI_PATH, "--home", home, "--fast", url};
         }},
        {"wget2 --max-threads=10",
         [&](const std::string& out, int) {
           return std::vector<std::string>{wget2,
                                           "-q",
                                           "-r",
                                           "-np",
                                           "-nH",
                                           "--max-threads=10",
                                           "--no-robots",
                                           "--ca-certificate=" + ca_file,
                                           "-P",
                                           out,
                                           url};
         }},
    };
    if (!tls) {
      contenders.push_back({"wget -r", [&](const std::string& out, int) {
                              return std::vector<std::string>{wget,  "-q", "-r", "-np",
                                                              "-nH", "-P", out,  url};
                            }});
    }
    const int kRounds = 9;
    for (int round = 0; round < kRounds; ++round) {
      // The order alternates, so that neither side always runs on what the
      // other has just left behind (freed pages, a warm server).
      for (std::size_t k = 0; k < contenders.size(); ++k) {
        auto& c = contenders[round % 2 == 0 ? k : contenders.size() - 1 - k];
        std::string out = work.Path("out-" + std::to_string(round) + "-" +
                                    std::to_string(&c - contenders.data()) + "/");
        (void)platform::MakeFolders(out);  // a missing folder shows as failed writes in the run
        double seconds = Run(c.command(out, round));
        Tally fetched;
        CountPictures(out, fetched);
        c.fetched = fetched;
        const bool whole = fetched.files == made.files && fetched.bytes == made.bytes;
        c.seconds.push_back(whole ? seconds : 0);
        if (whole) {
          c.best = std::min(c.best, seconds);
        } else {
          std::fprintf(stderr, "%s fetched %d of %d pictures (%lld of %lld bytes)\n", c.name,
                       fetched.files, made.files, fetched.bytes, made.bytes);
        }
        marovine::testing::RemoveTree(out);
        marovine::testing::RemoveTree(work.Path("home" + std::to_string(round)));
      }
    }
    std::printf("gallery crawl over %s, %d pictures, %.0f MB:\n", tls ? "https" : "http",
                made.files, made.bytes / 1e6);
    for (const auto& c : contenders) {
      std::printf("  %-24s %7.3f s  %7.0f files/s  full set: %s\n", c.name, c.best,
                  made.files / c.best, c.fetched.files == made.files ? "yes" : "NO");
    }
    // Each round runs both one after the other: its ratio sees the same
    // machine load on both sides.
    std::vector<double> paired;
    for (int round = 0; round < kRounds; ++round) {
      if (contenders[0].seconds[round] > 0 && contenders[1].seconds[round] > 0) {
        paired.push_back(contenders[1].seconds[round] / contenders[0].seconds[round]);
      }
    }
    std::printf("  paired rounds:");
    for (double ratio : paired) std::printf(" %.2f", ratio);
    std::printf("\n");
    std::printf(
        "  ratio marovine/wget2: best %.2f, median of %zu paired rounds %.2f (goal >= %.1f)\n",
        contenders[1].best / contenders[0].best, paired.size(), Median(paired), tls ? 1.0 : 1.2);
  }

  // The specified tick: one second between a slot's end and its next start.
  std::string out = work.Path("tick-out/");
  (void)platform::MakeFolders(out);  // a missing folder shows as failed writes in the run
  std::string home = MarovineHome(work, "home-tick", out);
  double seconds = Run({MAROVINE_CLI_PATH, "--home", home, server.Url("/small/")});
  Tally fetched;
  CountPictures(out, fetched);
  double rate = fetched.files / seconds;
  std::printf(
      "1000 ms tick without fast mode: %d pictures in %.2f s = %.1f files/s, "
      "ceiling 10 files/s (DouziDL 10): %.2f of it\n",
      fetched.files, seconds, rate, rate / 10.0);
  return 0;
}
