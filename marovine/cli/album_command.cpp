// `marovine-cli album FOLDER` and `marovine-cli album --site URL`: the album
// makers without the GUI's dialogs.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "marovine/album/album_commands.h"
#include "marovine/album/album_settings.h"
#include "marovine/album/site_detail_log.h"
#include "marovine/cli/subcommand.h"
#include "platform/path.h"
#include "platform/profile.h"

namespace {

constexpr const char* kAlbumUsage =
    "album FOLDER | album --site URL [--folder DIR] [--title TEXT] [--random N]";

// Shows "done/count" on a terminal and lets Ctrl+C end the run early with the
// album finished over the pictures done so far.
class TerminalProgress : public marovine::AlbumProgress {
 public:
  void Started(int count) override { count_ = count; }
  void Advanced(int done, int count) override {
    if (::isatty(STDERR_FILENO)) std::fprintf(stderr, "\r%d/%d", done, count);
  }
  void ShowMessage(const std::string& text) override {
    std::fprintf(stderr, "marovine-cli: %s\n", text.c_str());
  }
  void Done() const {
    if (::isatty(STDERR_FILENO) && count_ > 0) std::fputc('\n', stderr);
  }

 private:
  int count_ = 0;
};

TerminalProgress* g_progress = nullptr;

void OnInterrupt(int) {
  if (g_progress != nullptr) g_progress->RequestCancel();
}

int Fail(const std::string& text) {
  std::fprintf(stderr, "marovine-cli album: %s\nusage: marovine-cli [--home DIR] %s\n",
               text.c_str(), kAlbumUsage);
  return 2;
}

int Report(marovine::AlbumRunResult result, const std::string& album_path) {
  switch (result) {
    case marovine::AlbumRunResult::kFinished:
      std::printf("%s\n", album_path.c_str());
      return 0;
    case marovine::AlbumRunResult::kCancelled:
      std::printf("%s\n", album_path.c_str());
      std::fputs("marovine-cli album: cancelled; the album holds the pictures done so far\n",
                 stderr);
      return 130;
    case marovine::AlbumRunResult::kNotStarted:
    case marovine::AlbumRunResult::kNotWritten:
      break;
  }
  std::fprintf(stderr, "marovine-cli album: cannot write the album %s\n", album_path.c_str());
  return 1;
}

int RunAlbumCommand(const std::vector<std::string>& args, const std::string& program_folder) {
  std::string folder, site_url, storage, title;
  bool site = false;
  int random_number = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string* into) {
      if (i + 1 >= args.size()) return false;
      *into = args[++i];
      return true;
    };
    if (arg == "--site") {
      site = true;
      if (!value(&site_url)) return Fail("--site needs a URL");
    } else if (arg == "--folder") {
      if (!value(&storage)) return Fail("--folder needs a folder");
    } else if (arg == "--title") {
      if (!value(&title)) return Fail("--title needs a text");
    } else if (arg == "--random") {
      std::string text;
      if (!value(&text)) return Fail("--random needs a number");
      try {
        random_number = std::stoi(text);
      } catch (const std::exception&) {
        return Fail("--random needs a number, not \"" + text + "\"");
      }
    } else if (!arg.empty() && arg[0] == '-') {
      return Fail("unknown option " + arg);
    } else if (folder.empty()) {
      folder = arg;
    } else {
      return Fail("one folder only");
    }
  }
  if (site == !folder.empty())
    return Fail(site ? "give either a FOLDER or --site URL" : "no folder given");
  if (!site && (!storage.empty() || !title.empty()))
    return Fail("--folder and --title go with --site");

  platform::Profile profile(platform::JoinPath(program_folder, "marovine.ini"));
  marovine::AlbumSettings settings = marovine::LoadAlbumSettings(profile);
  TerminalProgress progress;
  g_progress = &progress;
  std::signal(SIGINT, OnInterrupt);

  if (!site) {
    if (!platform::IsFolder(folder)) return Fail("no such folder: " + folder);
    std::string album_path;
    auto result = marovine::MakeFolderAlbum(folder, settings, progress, &album_path);
    progress.Done();
    return Report(result, album_path);
  }

  std::string log_path =
      marovine::SiteDetailLogPath(platform::JoinPath(program_folder, "Log/"), site_url);
  auto records = marovine::ReadSiteDetailLog(log_path);
  if (!records) {
    std::fprintf(stderr, "marovine-cli album: %s\n(%s)\n", marovine::kSiteLogMissingMessage,
                 log_path.c_str());
    return 1;
  }
  auto finished = marovine::FinishedFilePaths(*records);
  marovine::AlbumSite album_site;
  album_site.url = site_url;
  album_site.title = title;
  album_site.file_count = static_cast<int>(finished.size());
  album_site.random_number = random_number;
  // Without the document at hand, the site's storage folder is where its first
  // finished file was saved, unless given.
  album_site.storage_folder = !storage.empty()    ? storage
                              : !finished.empty() ? platform::FolderOf(finished.front())
                                                  : std::string();
  if (album_site.storage_folder.empty()) {
    return Fail("the log lists no finished file; give the storage folder with --folder");
  }
  auto result = marovine::MakeSelectedSiteAlbums({album_site}, program_folder, settings, progress);
  progress.Done();
  return Report(result, marovine::SiteAlbumPath(settings, album_site));
}

const marovine::cli::SubcommandRegistrar kAlbumRegistrar({"album", kAlbumUsage, RunAlbumCommand});

}  // namespace
