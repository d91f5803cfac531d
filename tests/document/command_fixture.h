#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "marovine/document/download_row_model.h"
#include "marovine/document/link_row_model.h"
#include "marovine/document/marovine_doc.h"
#include "tests/support/recording_crawl_hooks.h"
#include "tests/support/sandbox.h"
#include "tests/support/scripted_ui_services.h"

namespace marovine::testing {

// Links are pages (html), downloads pictures and archives; the folders lie in
// the sandbox.
inline std::string CommandTestIni(const Sandbox& box, const std::string& extra = "") {
  return "[UrlInsert]\nInsertToLink=html htm\nInsertToDown=jpg zip\n"
         "[MarovineDownLoad]\nKakunou Folder=" +
         box.Path("crawl/") +
         "\nMake Date Name Folder=0\n[DownLoad]\nKakunouFolder=" + box.Path("direct/") +
         "\n[MarugotoDownload]\nMarugotoPass=" + box.Path("whole/") + "\n" + extra;
}

// A document in a sandbox program folder with both headless views, scripted
// answers and recorded crawl hooks.
struct CommandFixture {
  explicit CommandFixture(const std::string& extra_ini = "") {
    box.WriteFile("marovine.ini", CommandTestIni(box, extra_ini));
    doc = std::make_unique<CMarovineDoc>(box.path(), box.Path("store/"));
    doc->AddLinkView(&links);
    doc->SetDownloadView(&downloads);
    doc->SetUiServices(&ui);
    doc->crawl().SetCrawlHooks(&hooks);
    doc->clock = [] { return LocalDate{2001, 1, 5}; };
  }
  ~CommandFixture() { doc->crawl().SetCrawlHooks(nullptr); }
  CommandFixture(const CommandFixture&) = delete;
  CommandFixture& operator=(const CommandFixture&) = delete;

  // Registers http://h/<name> and fails the test when it is refused.
  void Add(const std::string& name) {
    if (doc->RegisterUrl("http://h/" + name) != 1) ADD_FAILURE() << "not registered: " << name;
  }

  Sandbox box;
  LinkRowModel links;
  DownloadRowModel downloads;
  ScriptedUiServices ui;
  RecordingCrawlHooks hooks;
  std::unique_ptr<CMarovineDoc> doc;
};

}  // namespace marovine::testing
