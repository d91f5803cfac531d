// What a whole-site crawl costs the disk beyond the files it fetches: the
// site history and the detail log grow with every file, and writing them
// must cost bytes in proportion to the files, not to their square.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "marovine/engine/site_log_paths.h"
#include "platform/path.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/nginx_server.h"

namespace marovine {
namespace {

// Bytes this process has handed to write() so far.
std::uint64_t BytesWrittenByThisProcess() {
  std::ifstream io("/proc/self/io");
  std::string name;
  std::uint64_t value = 0;
  while (io >> name >> value) {
    if (name == "wchar:") return value;
  }
  return 0;
}

std::uint64_t BytesBelow(const std::string& folder) {
  std::uint64_t total = 0;
  for (const std::string& file : FilesBelow(folder)) {
    total += std::filesystem::file_size(platform::JoinPath(folder, file));
  }
  return total;
}

TEST(LogWriteCostTest, HistoryAndDetailLogCostBytesLinearInTheFilesSaved) {
  constexpr int kFiles = 5000;
  testing::Sandbox site;
  std::string index = "<html><body>\n";
  for (int n = 0; n < kFiles; ++n) {
    std::string name = "f/" + std::to_string(n) + ".jpg";
    site.WriteFile("s/" + name, std::string(64, static_cast<char>('a' + n % 26)));
    index += "<img src='" + name + "'>\n";
  }
  site.WriteFile("s/index.html", index + "</body></html>");
  testing::NginxServer server(site.path());
  ASSERT_TRUE(server.ok());

  testing::Sandbox home;
  CrawlDoc c(home,
             "[DownLoad]\nDownLoad Way-Marovine=0\nDouziDL=10\nFastMode=1\n"
             "[Ippan]\nSyousaiLog=1\n");
  const std::string start = server.Url("/s/index.html");
  ASSERT_EQ(c.doc->RegisterUrl(start), 1);
  const std::string root = c.doc->link_items[0].folder;
  const std::string history = c.doc->link_items[0].history_path;
  const std::string detail_log = SiteDetailLogPath(c.doc->paths.log_folder, start);

  std::uint64_t before = BytesWrittenByThisProcess();
  c.Crawl(std::chrono::seconds(600));
  std::uint64_t written = BytesWrittenByThisProcess() - before;

  auto logs = *platform::FileSizeOf(history) + *platform::FileSizeOf(detail_log);
  ASSERT_GT(logs, kFiles * 60);  // every file has its entries
  EXPECT_EQ(c.doc->download_items.size(), kFiles + 1u);
  // The mirror itself is written once; the logs may cost a few rewrites of
  // their final size, never one per file.
  std::uint64_t mirror = BytesBelow(root) - *platform::FileSizeOf(history);
  EXPECT_LT(written, mirror + 20 * static_cast<std::uint64_t>(logs))
      << "mirror " << mirror << ", logs " << logs;
}

}  // namespace
}  // namespace marovine
