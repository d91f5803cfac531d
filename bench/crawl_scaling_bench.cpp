// How the crawl's cost grows with the site: marovine-cli in fast mode
// (DouziDL 10) crawls generated sites of 50, 500 and 5,000 pages on a
// loopback nginx, output on tmpfs. The start page links every other page and
// each of those one small picture, so the largest site fills the download
// list to its limit. Prints files/s per size (best of three) and each rate
// against the smallest site's: a cost that grows faster than the work shows
// as a falling rate.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/path.h"
#include "tests/support/child_process.h"
#include "tests/support/nginx_server.h"
#include "tests/support/sandbox.h"

#ifndef MAROVINE_CLI_PATH
#error "MAROVINE_CLI_PATH must name the marovine-cli program"
#endif

using marovine::testing::ChildProcess;
using marovine::testing::Sandbox;
using Clock = std::chrono::steady_clock;

namespace {

// Pages counting the start page: the items are the pages and one picture on
// each page but the first, 9,999 for the largest site.
constexpr int kSizes[] = {50, 500, 5000};

int MakeSite(const Sandbox& site, const std::string& folder, int pages) {
  std::string index = "<html><head><title>Site</title></head><body>\n";
  for (int p = 1; p < pages; ++p) {
    const std::string n = std::to_string(p);
    index += "<a href=\"page" + n + ".html\">page " + n + "</a>\n";
    site.WriteFile(folder + "/page" + n + ".html", "<html><head><title>Page " + n +
                                                       "</title></head><body><a href=\"pic" + n +
                                                       ".jpg\">picture</a></body></html>\n");
    site.WriteFile(folder + "/pic" + n + ".jpg",
                   std::string(4096 + p % 4096, static_cast<char>(p)));
  }
  site.WriteFile(folder + "/index.html", index + "</body></html>\n");
  return pages - 1;
}

int CountPictures(const std::string& folder) {
  int count = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
    if (entry.is_regular_file() && entry.path().extension() == ".jpg") ++count;
  }
  return count;
}

}  // namespace

int main() {
  setenv("MAROVINE_TEST_TMP", platform::IsFolder("/dev/shm") ? "/dev/shm" : "/tmp", 0);
  Sandbox site;
  for (int pages : kSizes) MakeSite(site, "site" + std::to_string(pages), pages);
  marovine::testing::NginxServer server(site.path());
  if (!server.ok()) {
    std::fprintf(stderr, "nginx did not start\n");
    return 1;
  }
  Sandbox work;
  std::printf("crawl cost by site size (marovine-cli --fast, DouziDL 10, best of 3):\n");
  std::printf("  %6s %7s %9s %9s %9s\n", "pages", "items", "seconds", "files/s", "vs 50");
  double first_rate = 0;
  for (int pages : kSizes) {
    const int pictures = pages - 1;
    const int items = pages + pictures;
    double best = 1e9;
    bool complete = true;
    for (int round = 0; round < 3; ++round) {
      const std::string out = work.Path("out/");
      const std::string home = work.Path("home/");
      work.WriteFile("home/marovine.ini",
                     "[DownLoad]\nDouziDL=10\nTimeOut=30\nRetryWaitTime=0\n"
                     "[MarovineDownLoad]\nKakunou Folder=" +
                         out +
                         "\nKakuchoushi=jpg\nMake Date Name Folder=0\nPut Random Num=0\n"
                         "Dont Down Gomi=0\nDont Down File in Log=0\nMake Address Folder=0\n"
                         "[Kensaku]\nKensakuLevel=2\n"
                         "[Ippan]\nSaveMrvFinish=0\nReadMrvStartUp=0\n"
                         "[Banner]\nDontDownBanner=0\n");
      (void)platform::MakeFolders(out);
      const std::string url = server.Url("/site" + std::to_string(pages) + "/");
      auto start = Clock::now();
      ChildProcess cli({MAROVINE_CLI_PATH, "--home", home, "--fast", url}, {}, "/dev/null",
                       "/dev/null");
      int status = cli.Wait();
      double seconds = std::chrono::duration<double>(Clock::now() - start).count();
      const int fetched = CountPictures(out);
      if (status != 0 || fetched != pictures) {
        std::fprintf(stderr, "%d pages: status %d, %d of %d pictures\n", pages, status, fetched,
                     pictures);
        complete = false;
      }
      best = std::min(best, seconds);
      marovine::testing::RemoveTree(out);
      marovine::testing::RemoveTree(home);
    }
    double rate = items / best;
    if (first_rate == 0) first_rate = rate;
    std::printf("  %6d %7d %9.3f %9.0f %9.2f%s\n", pages, items, best, rate, rate / first_rate,
                complete ? "" : "  (incomplete)");
  }
  return 0;
}
