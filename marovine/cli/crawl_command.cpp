#include "marovine/cli/crawl_command.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "marovine/cli/cli_ui.h"
#include "marovine/document/document_file.h"
#include "marovine/document/link_row_model.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/settings_keys.h"
#include "platform/path.h"
#include "platform/program_folder.h"

namespace marovine::cli {
namespace {

using Clock = std::chrono::steady_clock;

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

  int registration_mode = doc.settings.registration_mode;
  if (options.whole_site) doc.settings.registration_mode = kRegisterWholeSite;
  for (const std::string& url : options.urls) {
    if (doc.RegisterUrl(url) == 0) {
      std::fprintf(stderr,
                   "marovine-cli: %s was not registered (an ignore word, a duplicate, or an "
                   "extension the settings do not list under [UrlInsert])\n",
                   Printable(url).c_str());
    }
  }
  doc.settings.registration_mode = registration_mode;
  if (options.update) {
    // Every site is searched again; a mirror asks for each file only when it
    // changed since the date its history file keeps.
    doc.SearchAgainCommand();
    doc.settings.fetch_updated_only = 1;
  }

  const auto period = std::chrono::milliseconds(options.tick_ms);
  doc.SetTickPeriod(period);
  if (options.fast) {
    doc.settings.fast_mode = 1;
    doc.worker_settings.reuse_connections = 1;
  }
  if (options.insecure) doc.worker_settings.accept_unverified_certificate = 1;
  ProgressPrinter printer(stdout, ::isatty(STDOUT_FILENO) != 0);
  CatchInterrupts();

  // The list on disk follows the crawl, so a killed run resumes every part.
  doc.SetSaveEachTick(SaveDocumentAtFinish(doc.profile));
  doc.StartCommand();
  bool stopping = false;
  auto next_tick = Clock::now();
  for (;;) {
    if (interrupts.load() > 0 && !stopping) {
      stopping = true;
      doc.StopAllCommand();
      printer.Finish("stopping: the running transfers keep their partial files");
    }
    auto now = Clock::now();
    if (now >= next_tick) {
      doc.CrawlTick();
      next_tick += period;
      if (next_tick < now) next_tick = now + period;
      printer.Refresh(doc, downloads, ui);
      if (doc.CrawlFinished()) break;
      continue;
    }
    auto wait = std::min<Clock::duration>(next_tick - now, std::chrono::milliseconds(100));
    if (doc.settings.fast_mode != 0) {
      if (doc.WaitForTransferEnd(std::chrono::duration_cast<std::chrono::milliseconds>(wait))) {
        doc.CollectAndStart();
        printer.Refresh(doc, downloads, ui);
        if (doc.CrawlFinished()) break;
      }
    } else {
      std::this_thread::sleep_for(wait);
    }
  }

  printer.Finish(stopping ? "stopped" : ui.status(1));
  if (stopping || SaveDocumentAtFinish(doc.profile)) {
    if (!SaveDocumentFile(doc, doc.document_path)) {
      std::fprintf(stderr, "marovine-cli: cannot save the document to %s\n",
                   doc.document_path.c_str());
      return 1;
    }
  }
  if (stopping) return 130;
  if (downloads.failed_count() > 0) {
    std::fprintf(stderr,
                 "marovine-cli: %d item(s) failed; they stay in the document for "
                 "--retry-failed\n",
                 downloads.failed_count());
    return 1;
  }
  return 0;
}

}  // namespace marovine::cli
