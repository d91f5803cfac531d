#include "marovine/cli/crawl_command.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <set>

#include "marovine/cli/cli_ui.h"
#include "marovine/document/crawl_loop.h"
#include "marovine/document/document_file.h"
#include "marovine/document/link_row_model.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/settings_keys.h"
#include "marovine/document/settings_loader.h"
#include "marovine/unattended/headless_unattended.h"
#include "platform/path.h"
#include "platform/program_folder.h"

namespace marovine::cli {
namespace {

std::atomic<int> interrupts{0};

extern "C" void OnInterrupt(int) { interrupts.fetch_add(1); }

void CatchInterrupts() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

bool ProgramFolderUsable(const std::string& folder, std::string& error) {
  if (!platform::MakeFolders(folder) || ::access(folder.c_str(), W_OK) != 0) {
    error = "cannot write to the program folder " + folder;
    return false;
  }
  return true;
}

// The flags' values stand in for the settings file's for this run: every
// reader of the document's profile sees them, from the loader to the link
// extraction's extension groups. With --save-settings they are written too,
// in one atomic rewrite.
bool ApplySettingFlags(const CrawlOptions& options, CMarovineDoc& doc) {
  if (options.settings.empty()) return true;
  std::vector<SettingOverride> overrides;
  for (const GivenSettingFlag& given : options.settings) {
    auto keys = OverridesOf(*given.flag, given.value, doc.profile);
    overrides.insert(overrides.end(), keys.begin(), keys.end());
  }
  if (options.save_settings) {
    std::vector<platform::Profile::SectionValues> writes;
    writes.reserve(overrides.size());
    for (const SettingOverride& o : overrides) writes.push_back({o.section, {{o.key, o.value}}});
    if (!doc.profile.WriteSections(writes)) {
      std::fprintf(stderr, "marovine-cli: cannot write the settings to %s\n",
                   doc.profile.path().c_str());
      return false;
    }
  }
  for (const SettingOverride& o : overrides) doc.profile.SetRunValue(o.section, o.key, o.value);
  // As at the start: both modes' folders and extensions, then what the
  // transfers and the proxy choice take from the settings.
  doc.settings = LoadInitialSettings(doc.profile, doc.storage_folder, doc.worker_settings);
  doc.LoadSettings();
  return true;
}

// The sites this run searched: each seen searching, or done now and not
// before the run.
class SitesSearched {
 public:
  explicit SitesSearched(const CMarovineDoc& doc) {
    for (const LinkItem& link : doc.link_items) {
      if (link.state == LS_DONE) done_before_.insert(link.url);
    }
  }
  void Look(const CMarovineDoc& doc) {
    for (const LinkItem& link : doc.link_items) {
      if (link.state == LS_SEARCHING ||
          (link.state == LS_DONE && done_before_.count(link.url) == 0)) {
        searched_.insert(link.url);
      }
    }
  }
  int count() const { return static_cast<int>(searched_.size()); }

 private:
  std::set<std::string> done_before_;
  std::set<std::string> searched_;
};

}  // namespace

int RunCrawl(const CrawlOptions& options, const std::string& program_folder) {
  std::string error;
  if (!ProgramFolderUsable(program_folder, error)) {
    std::fprintf(stderr, "marovine-cli: %s\n", error.c_str());
    return 2;
  }
  CMarovineDoc doc(program_folder, platform::DefaultStorageFolder());
  CliUiServices ui;
  CliDownloadView downloads;
  LinkRowModel links;
  doc.SetUiServices(&ui);
  doc.SetDownloadView(&downloads);
  doc.AddLinkView(&links);
  downloads.SetSlotOfRow([&doc](int row) -> const TransferSlot* {
    for (const TransferSlot& slot : doc.crawl().slots()) {
      if (slot.item_index == row && slot.status != TS_IDLE) return &slot;
    }
    return nullptr;
  });
  if (!ApplySettingFlags(options, doc)) return 2;
  HeadlessUnattended unattended(doc, &ui);  // sounds, schedule, finish actions, dial-up

  // The document: the one named, else the program folder's default.mrv when
  // the settings say to open it at start-up.
  std::string document = options.document.value_or(doc.paths.default_document_path);
  bool open_it = options.document
                     ? platform::FileExists(document)
                     : ReadDocumentAtStartUp(doc.profile) && platform::FileExists(document);
  doc.document_path = document;
  if (open_it) {
    DocumentLoadResult loaded = LoadDocumentFile(doc, document);
    if (!loaded.ok) {
      std::fprintf(stderr, "marovine-cli: cannot read the document %s: %s\n", document.c_str(),
                   loaded.error.c_str());
      return 2;
    }
  }

  if (options.retry_failed) {
    std::vector<int> failed;
    for (std::size_t i = 0; i < doc.download_items.size(); ++i) {
      if (doc.download_items[i].state == DS_ERROR) failed.push_back(static_cast<int>(i));
    }
    doc.MarkDownloadsUnfinished(failed);
  }

  const int registration_mode =
      options.whole_site ? kRegisterWholeSite : doc.settings.registration_mode;
  for (const std::string& url : options.urls) {
    if (doc.RegisterUrlAs(url, registration_mode) == 0) {
      std::fprintf(stderr,
                   "marovine-cli: %s was not registered (an ignore word, a duplicate, or an "
                   "extension the settings do not list under [UrlInsert])\n",
                   Printable(url).c_str());
    }
  }
  if (options.update) doc.crawl().UpdateCommand();

  const auto period = std::chrono::milliseconds(options.tick_ms);
  doc.crawl().SetTickPeriod(period);
  if (options.fast) doc.UseFastModeForThisRun();
  if (options.insecure) doc.AcceptUnverifiedCertificatesForThisRun();
  ProgressPrinter printer(stdout, ::isatty(STDOUT_FILENO) != 0, TerminalWidth(STDOUT_FILENO),
                          options.verbosity);
  SitesSearched sites(doc);
  const auto started = std::chrono::steady_clock::now();
  auto seconds = [&] {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() -
                                                            started)
        .count();
  };
  CatchInterrupts();

  // The list on disk follows the crawl, so a killed run resumes every part.
  doc.crawl().SetSaveEachTick(SaveDocumentAtFinish(doc.profile));
  doc.crawl().StartCommand();
  bool stopping = false;
  CrawlLoopOptions loop;
  // No window reads the document: a transfer's thread may take its turn.
  loop.collect_on_ending_thread = true;
  loop.after_step = [&] {
    sites.Look(doc);
    printer.Refresh(doc, downloads, ui, seconds());
  };
  loop.stop_requested = [] { return interrupts.load() > 0; };
  loop.on_stop = [&] {
    stopping = true;
    printer.Finish("stopping: the running transfers keep their partial files");
  };
  RunCrawlLoop(doc, loop);

  sites.Look(doc);
  printer.Refresh(doc, downloads, ui, seconds());
  printer.Finish(stopping ? "stopped" : ui.status(1));
  RunCounts counts = downloads.counts();
  counts.sites = sites.count();
  counts.ignored = ui.ignored_count();
  if (options.verbosity != Verbosity::kQuiet) {
    std::printf("%s\n", FormatSummary(counts, seconds()).c_str());
  }
  if (stopping || SaveDocumentAtFinish(doc.profile)) {
    if (!SaveDocumentFile(doc, doc.document_path)) {
      std::fprintf(stderr, "marovine-cli: cannot save the document to %s\n",
                   doc.document_path.c_str());
      return 1;
    }
  }
  if (stopping) return 130;
  if (counts.failed > 0) {
    std::fprintf(stderr,
                 "marovine-cli: %d item(s) failed; they stay in the document for "
                 "--retry-failed\n",
                 counts.failed);
    return 1;
  }
  if (ui.failure_count() > 0) return 1;  // each was printed when it happened
  return 0;
}

}  // namespace marovine::cli
