// The longest tick: the crawl runs in this process as the window runs it,
// with the headless views, and each CrawlTick (the work a timer event does on
// the UI thread) is timed. Two sites on a loopback nginx: a gallery of 20
// pages x 40 pictures, and one page of 20 MiB of links to 100 pictures, that
// page crawled and then mirrored whole (its 300,000 links rewritten for
// offline browsing). The figure that matters is the longest tick: while it
// runs the window is frozen.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "marovine/document/download_row_model.h"
#include "marovine/document/link_row_model.h"
#include "marovine/document/marovine_doc.h"
#include "platform/path.h"
#include "tests/support/nginx_server.h"
#include "tests/support/sandbox.h"
#include "tests/support/scripted_ui_services.h"

using marovine::testing::Sandbox;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kGalleryPages = 20;
constexpr int kPicturesPerPage = 40;
constexpr std::size_t kLargePageBytes = 20 * 1024 * 1024;
constexpr int kLargePagePictures = 100;

std::string Picture(int n) { return std::string(4096 + n % 512, static_cast<char>('a' + n % 26)); }

void MakeGallery(const Sandbox& site) {
  std::string index = "<html><head><title>Gallery</title></head><body>\n";
  for (int p = 1; p <= kGalleryPages; ++p) {
    index += "<a href=\"page" + std::to_string(p) + ".html\">page " + std::to_string(p) + "</a>\n";
    std::string page = "<html><head><title>Page " + std::to_string(p) + "</title></head><body>\n";
    for (int i = 1; i <= kPicturesPerPage; ++i) {
      std::string name = "p" + std::to_string(p) + "_" + std::to_string(i) + ".jpg";
      page += "<a href=\"" + name + "\"><img src=\"" + name + "\"></a>\n";
      site.WriteFile("gallery/" + name, Picture(p * 100 + i));
    }
    site.WriteFile("gallery/page" + std::to_string(p) + ".html", page + "</body></html>\n");
  }
  site.WriteFile("gallery/index.html", index + "</body></html>\n");
}

// One page as a forum's endless thread makes it: the same hundred pictures
// linked again and again between runs of text.
void MakeLargePage(const Sandbox& site) {
  std::string page = "<html><head><title>Large</title></head><body>\n";
  page.reserve(kLargePageBytes + 4096);
  for (int n = 0; page.size() < kLargePageBytes; ++n) {
    int picture = n % kLargePagePictures;
    std::string name = "big" + std::to_string(picture) + ".jpg";
    page += "<p class=\"post\">post " + std::to_string(n) + ": <a href=\"" + name +
            "\"><img src=\"thumbs/t" + std::to_string(picture) +
            ".gif\" alt=\"a picture\"></a> some words of the thread around it</p>\n";
  }
  page += "</body></html>\n";
  site.WriteFile("large/index.html", page);
  for (int i = 0; i < kLargePagePictures; ++i) {
    site.WriteFile("large/big" + std::to_string(i) + ".jpg", Picture(i));
  }
}

struct TickFigures {
  int ticks = 0;
  double longest_ms = 0;
  double second_ms = 0;  // the longest but one: a mirror's end rewrites every page once more
  double total_ms = 0;
  double seconds = 0;
  int files = 0;
};

TickFigures CrawlTimed(const Sandbox& work, const std::string& name, const std::string& url,
                       bool whole_site) {
  const std::string home = work.Path(name + "/");
  const std::string store = home + "store/";
  work.WriteFile(name + "/marovine.ini",
                 "[DownLoad]\nDouziDL=10\nTimeOut=30\nRetryWaitTime=0\n" +
                     std::string(whole_site ? "DownLoad Way-Marovine=0\n" : "") +
                     "[MarovineDownLoad]\nKakunou Folder=" + store +
                     "\nKakuchoushi=jpg\nMake Date Name Folder=0\nPut Random Num=0\n"
                     "Dont Down Gomi=0\nDont Down File in Log=0\nGomi Size=1\n"
                     "[Kensaku]\nKensakuLevel=2\n"
                     "[Ippan]\nSaveMrvFinish=0\nReadMrvStartUp=0\nNoEndWhenStart=0\n"
                     "Clear_List_After_Finish_Site=0\n"
                     "[Banner]\nDontDownBanner=0\n" +
                     (whole_site ? "[MarugotoDownload]\nMarugotoPass=" + store +
                                       "whole/\nMarugotoKakuchoushi=jpg\nMidashiHtml=0\n"
                                 : std::string()));
  marovine::LinkRowModel links;
  marovine::DownloadRowModel downloads;
  marovine::ScriptedUiServices ui;
  marovine::CMarovineDoc doc(home, store);
  doc.AddLinkView(&links);
  doc.SetDownloadView(&downloads);
  doc.SetUiServices(&ui);
  const auto period = std::chrono::milliseconds(20);
  doc.crawl().SetTickPeriod(period);
  doc.RegisterUrl(url);
  doc.crawl().StartCommand();

  TickFigures figures;
  const auto start = Clock::now();
  auto next_tick = start;
  while (!doc.crawl().CrawlFinished() && Clock::now() - start < std::chrono::minutes(5)) {
    std::this_thread::sleep_until(next_tick);
    const auto begin = Clock::now();
    doc.crawl().CrawlTick();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
    if (ms > figures.longest_ms) {
      figures.second_ms = figures.longest_ms;
      figures.longest_ms = ms;
    } else {
      figures.second_ms = std::max(figures.second_ms, ms);
    }
    figures.total_ms += ms;
    ++figures.ticks;
    next_tick = std::max(next_tick + period, Clock::now());
  }
  figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  for (const auto& item : doc.download_items) {
    figures.files += item.state == marovine::DS_DONE && item.url.ends_with(".jpg") ? 1 : 0;
  }
  return figures;
}

}  // namespace

int main() {
  setenv("MAROVINE_TEST_TMP", platform::IsFolder("/dev/shm") ? "/dev/shm" : "/tmp", 0);
  Sandbox site;
  MakeGallery(site);
  MakeLargePage(site);
  marovine::testing::NginxServer server(site.path());
  if (!server.ok()) {
    std::fprintf(stderr, "nginx did not start\n");
    return 1;
  }
  Sandbox work;
  struct Run {
    const char* name;
    std::string url;
    int expected_files;
    bool whole_site;
  };
  const Run runs[] = {
      {"gallery", server.Url("/gallery/"), kGalleryPages * kPicturesPerPage, false},
      {"large", server.Url("/large/"), kLargePagePictures, false},
      {"mirror", server.Url("/large/"), kLargePagePictures, true},
  };
  double longest = 0;
  for (const Run& run : runs) {
    TickFigures f = CrawlTimed(work, run.name, run.url, run.whole_site);
    longest = std::max(longest, f.longest_ms);
    std::printf(
        "%-8s %4d of %4d files in %6.2f s, %5d ticks, mean tick %7.3f ms, longest tick %8.2f ms "
        "(next %7.2f ms)\n",
        run.name, f.files, run.expected_files, f.seconds, f.ticks,
        f.ticks > 0 ? f.total_ms / f.ticks : 0.0, f.longest_ms, f.second_ms);
    if (f.files != run.expected_files)
      std::fprintf(stderr, "%s: not every file arrived\n", run.name);
  }
  std::printf("longest tick: %.2f ms\n", longest);
  return 0;
}
