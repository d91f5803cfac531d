// Save and load of a 10,000-item document file: milliseconds of each, against
// a plain copy of the same bytes through the file system as the reference.

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "marovine/document/document_file.h"
#include "marovine/document/marovine_doc.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/support/sandbox.h"

using namespace marovine;
using Clock = std::chrono::steady_clock;

namespace {
double Ms(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}
}  // namespace

int main() {
  setenv("MAROVINE_TEST_TMP", platform::IsFolder("/dev/shm") ? "/dev/shm" : "/tmp", 0);
  testing::Sandbox box;
  CMarovineDoc doc(box.path(), box.Path("store/"));
  for (int i = 0; i < 100; ++i) {
    LinkItem link;
    link.url = "http://gallery.example/site" + std::to_string(i) + "/";
    link.folder = box.Path("store/site" + std::to_string(i) + "/");
    link.title = "ギャラリー " + std::to_string(i);
    doc.link_items.push_back(link);
  }
  for (int i = 0; i < 9900; ++i) {
    DownloadItem item;
    item.url = "http://gallery.example/site" + std::to_string(i % 100) + "/pictures/photo" +
               std::to_string(i) + ".jpg";
    item.referer = "http://gallery.example/site" + std::to_string(i % 100) + "/index.html";
    item.site_url = "http://gallery.example/site" + std::to_string(i % 100) + "/";
    item.local_path = box.Path("store/site" + std::to_string(i % 100) + "/1234photo" +
                               std::to_string(i) + ".jpg");
    item.kind = KIND_CRAWL;
    item.state = static_cast<std::uint8_t>(i % 3 == 0 ? DS_DONE : DS_WAITING);
    doc.download_items.push_back(item);
  }
  const int kRounds = 5;
  double save_best = 1e9, load_best = 1e9, copy_best = 1e9;
  std::size_t bytes = 0;
  for (int round = 0; round < kRounds; ++round) {
    auto start = Clock::now();
    if (!SaveDocumentFile(doc, box.Path("big.mrv"))) return 1;
    save_best = std::min(save_best, Ms(start));

    start = Clock::now();
    CMarovineDoc loaded(box.path(), box.Path("store/"));
    auto result = LoadDocumentFile(loaded, box.Path("big.mrv"));
    load_best = std::min(load_best, Ms(start));
    if (!result.ok || loaded.download_items.size() != doc.download_items.size()) return 1;

    start = Clock::now();
    auto content = platform::ReadWholeFile(box.Path("big.mrv"));
    if (!content || !platform::WriteFileAtomically(box.Path("copy.mrv"), *content)) return 1;
    copy_best = std::min(copy_best, Ms(start));
    bytes = content->size();
  }
  std::printf(
      "document of 10,000 items (%zu bytes): save %.1f ms, load %.1f ms; "
      "plain read+write of the same bytes %.1f ms\n",
      bytes, save_best, load_best, copy_best);
  return 0;
}
