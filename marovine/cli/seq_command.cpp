// `marovine-cli seq BASE FIRST LAST`: the sequential-number URL generator
// without its dialog.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "marovine/album/sequential_urls.h"
#include "marovine/cli/subcommand.h"
#include "marovine/document/document_file.h"
#include "marovine/document/download_row_model.h"
#include "marovine/document/marovine_doc.h"
#include "platform/path.h"
#include "platform/program_folder.h"

namespace {

constexpr const char* kSeqUsage =
    "seq BASE FIRST LAST [--ext EXT] [--digits N] [--register | --out FILE]";

int Fail(const std::string& text) {
  std::fprintf(stderr, "marovine-cli seq: %s\nusage: marovine-cli [--home DIR] %s\n", text.c_str(),
               kSeqUsage);
  return 2;
}

std::optional<long long> ParseNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0') return std::nullopt;
  return value;
}

// Registers the URLs in the program folder's document ("default.mrv"), as the
// generator's dialog does in the running program, and saves it.
int RegisterInDocument(const std::vector<std::string>& list, const std::string& program_folder) {
  marovine::CMarovineDoc doc(program_folder, platform::DefaultStorageFolder());
  marovine::DownloadRowModel downloads;
  doc.SetDownloadView(&downloads);
  if (platform::FileExists(doc.document_path)) {
    auto loaded = marovine::LoadDocumentFile(doc, doc.document_path);
    if (!loaded.ok) {
      std::fprintf(stderr, "marovine-cli seq: cannot read the document %s: %s\n",
                   doc.document_path.c_str(), loaded.error.c_str());
      return 1;
    }
  }
  std::size_t registered = 0;
  marovine::ForEachResultUrl(marovine::SequentialUrlResult(list), [&](const std::string& url) {
    registered += static_cast<std::size_t>(doc.RegisterUrl(url));
  });
  if (!marovine::SaveDocumentFile(doc, doc.document_path)) {
    std::fprintf(stderr, "marovine-cli seq: cannot save the document %s\n",
                 doc.document_path.c_str());
    return 1;
  }
  std::printf("registered %zu of %zu URLs in %s\n", registered, list.size(),
              doc.document_path.c_str());
  return 0;
}

int RunSeqCommand(const std::vector<std::string>& args, const std::string& program_folder) {
  std::vector<std::string> positional;
  marovine::SequentialUrlRequest request;
  std::string out_path;
  bool register_urls = false;
  bool have_ext = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--ext" || arg == "--digits" || arg == "--out") {
      if (i + 1 >= args.size()) return Fail(arg + " needs a value");
      const std::string& value = args[++i];
      if (arg == "--ext") {
        request.extension = value;
        have_ext = true;
      } else if (arg == "--out") {
        out_path = value;
      } else {
        auto digits = ParseNumber(value);
        if (!digits || *digits < 0 || *digits > marovine::kMaxSequentialDigits) {
          return Fail("--digits needs a number from 0 to " +
                      std::to_string(marovine::kMaxSequentialDigits));
        }
        request.digits = static_cast<int>(*digits);
      }
    } else if (arg == "--register") {
      register_urls = true;
    } else if (arg.size() > 1 && arg[0] == '-' && !ParseNumber(arg)) {
      return Fail("unknown option " + arg);
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 3) return Fail("needs BASE, FIRST and LAST");
  if (register_urls && !out_path.empty()) return Fail("--register and --out exclude each other");
  request.base = positional[0];
  auto first = ParseNumber(positional[1]);
  auto last = ParseNumber(positional[2]);
  if (!first || !last) return Fail("FIRST and LAST must be whole numbers");
  request.first = *first;
  request.last = *last;
  if (request.base.find('*') == std::string::npos && !have_ext) {
    return Fail("--ext is needed unless BASE holds a \"*\"");
  }

  std::vector<std::string> list;
  if (!marovine::AppendSequentialUrls(request, &list)) {
    return Fail("the range holds more than " + std::to_string(marovine::kMaxSequentialUrls) +
                " numbers");
  }
  if (register_urls) return RegisterInDocument(list, program_folder);
  if (!out_path.empty()) {
    if (!marovine::WriteSequentialUrlList(out_path, list)) {
      std::fprintf(stderr, "marovine-cli seq: %s (%s)\n", marovine::kCannotOpenListMessage,
                   out_path.c_str());
      return 1;
    }
    return 0;
  }
  for (const auto& line : list) std::printf("%s\n", line.c_str());
  return 0;
}

const marovine::cli::SubcommandRegistrar kSeqRegistrar({"seq", kSeqUsage, RunSeqCommand});

}  // namespace
