#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "marovine/document/crawl_hooks.h"
#include "marovine/document/crawl_loop.h"
#include "marovine/document/download_row_model.h"
#include "marovine/document/link_row_model.h"
#include "marovine/document/marovine_doc.h"
#include "platform/profile.h"
#include "tests/support/recording_crawl_hooks.h"
#include "tests/support/sandbox.h"
#include "tests/support/scripted_ui_services.h"

namespace marovine {

// The settings every crawl test starts from: no waiting before retries, no
// date folders or number prefixes unless a test asks, lists kept after a
// site so that the tests can look at them, small files allowed down to 1 KB.
inline std::string CrawlTestIni(const std::string& store) {
  return "[DownLoad]\nRetryWaitTime=0\nTimeOut=10\nDouziDL=3\nKakunouFolder=" + store +
         "direct/\n"
         "[MarovineDownLoad]\nKakunou Folder=" +
         store +
         "\nMake Date Name Folder=0\nPut Random Num=0\nGomi Size=1\nMuzyouken=0\n"
         "[MarugotoDownload]\nMarugotoPass=" +
         store +
         "whole/\n"
         "[UrlInsert]\nInsertToLink=html htm\nInsertToDown=jpg zip\n"
         "[Kensaku]\nKensakuLevel=2\n"
         "[Ippan]\nClear_List_After_Finish_Site=0\nNoEndWhenStart=0\n";
}

// Writes "[Section]" / "key=value" lines into the settings file, replacing
// the keys that are there.
inline void WriteIniLines(const std::string& ini_path, const std::string& lines) {
  platform::Profile profile(ini_path);
  std::string section;
  std::size_t from = 0;
  while (from < lines.size()) {
    std::size_t end = lines.find('\n', from);
    if (end == std::string::npos) end = lines.size();
    std::string line = lines.substr(from, end - from);
    from = end + 1;
    if (line.size() > 2 && line.front() == '[') {
      section = line.substr(1, line.size() - 2);
    } else if (auto eq = line.find('='); eq != std::string::npos) {
      EXPECT_TRUE(profile.WriteString(section, line.substr(0, eq), line.substr(eq + 1)));
    }
  }
}

// A document in a sandbox program folder with the headless views, the
// scripted UI and recording hooks, driven with a short tick.
struct CrawlDoc {
  explicit CrawlDoc(const testing::Sandbox& home, const std::string& extra_ini = "",
                    bool write_ini = true) {
    if (write_ini) {
      home.WriteFile("marovine.ini", CrawlTestIni(home.Path("store/")));
      WriteIniLines(home.Path("marovine.ini"), extra_ini);
    }
    doc = std::make_unique<CMarovineDoc>(home.path(), home.Path("store/"));
    doc->AddLinkView(&links);
    doc->SetDownloadView(&downloads);
    doc->SetUiServices(&ui);
    doc->crawl().SetCrawlHooks(&hooks);
    doc->crawl().SetTickPeriod(std::chrono::milliseconds(20));
    doc->clock = [] { return LocalDate{2001, 1, 5}; };
  }

  // Starts the crawl and runs it to its end.
  void Crawl(std::chrono::seconds limit = std::chrono::seconds(60)) {
    doc->crawl().StartCommand();
    ASSERT_TRUE(RunCrawlUntilFinished(*doc, limit)) << "the crawl did not end";
  }

  std::string Comment(int row) const {
    return downloads.rows().at(row).cells[DownloadRowModel::kComment];
  }

  LinkRowModel links;
  DownloadRowModel downloads;
  ScriptedUiServices ui;
  RecordingCrawlHooks hooks;
  std::unique_ptr<CMarovineDoc> doc;
};

// Every regular file below a folder, by its path relative to it.
inline std::set<std::string> FilesBelow(const std::string& folder) {
  std::set<std::string> files;
  std::error_code error;
  if (!std::filesystem::exists(folder, error)) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files.insert(std::filesystem::relative(entry.path(), folder).generic_string());
    }
  }
  return files;
}

inline std::string Jpeg(char fill, std::size_t size = 2048) { return std::string(size, fill); }

}  // namespace marovine
