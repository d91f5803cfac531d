#include "marovine/engine/prepared_rewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <tuple>

#include "platform/unique_handle.h"

namespace marovine {

namespace {

// The file waiting beside `path`. Its name is fixed, so that one left by a
// run that was killed is replaced the next time the page is fetched rather
// than left to pile up. It is created anew with the usual permissions of a
// new file (the umask applies): mkstemp's 0600, or asking for the umask,
// which changes it for every thread, would not do.
platform::UniqueFile CreateTempBeside(const std::string& path, std::string& temp) {
  temp = path + ".marovine-rewrite";
  (void)::unlink(temp.c_str());  // a leftover, or nothing
  platform::UniqueFd fd(
      ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
  if (fd) {
    platform::UniqueFile file(::fdopen(fd.get(), "wb"));
    if (file) {
      (void)fd.release();  // the stream owns the descriptor now
      return file;
    }
    fd.reset();
    (void)::unlink(temp.c_str());
  }
  temp.clear();
  return platform::UniqueFile();
}

// Gives the temporary file the permissions of `model` when there is one;
// without them it keeps those of a new file, which is only less courteous.
void TakeModeOf(const std::string& model, std::FILE* file) {
  struct stat st {};
  if (::stat(model.c_str(), &st) == 0) (void)::fchmod(::fileno(file), st.st_mode & 07777);
}

bool CloseWritten(platform::UniqueFile& file) {
  bool ok = std::fflush(file.get()) == 0 && ::fsync(::fileno(file.get())) == 0;
  return file.Close() && ok;
}

// Writes a temporary file beside `path`; its name, or empty on failure.
template <typename Write>
std::string WriteTemp(const std::string& path, const std::string& mode_model, Write write) {
  std::string temp;
  platform::UniqueFile file = CreateTempBeside(path, temp);
  if (!file) return {};
  TakeModeOf(mode_model, file.get());
  if (write(file.get()) && CloseWritten(file)) return temp;
  file.reset();
  (void)::unlink(temp.c_str());
  return {};
}

bool PlaceTemp(std::string& temp, const std::string& path) {
  if (temp.empty() || std::rename(temp.c_str(), path.c_str()) != 0) return false;
  temp.clear();
  return true;
}

}  // namespace

std::unique_ptr<PreparedRewrite> PreparedRewrite::Prepare(RewriteRequest request,
                                                          const std::string& source,
                                                          const std::string& local_file) {
  if (request.arrived) return nullptr;
  auto original = ReadSavedPage(source);
  if (!original) return nullptr;
  std::unique_ptr<PreparedRewrite> prepared(new PreparedRewrite(std::move(request), local_file));
  const std::string kept = local_file + "buf";
  // The kept original has the permissions the one it replaces had; the page
  // those of the page it is made from.
  prepared->original_temp_ = WriteTemp(kept, kept, [&](std::FILE* file) {
    return std::fwrite(original->data(), 1, original->size(), file) == original->size();
  });
  if (prepared->original_temp_.empty()) return nullptr;
  prepared->page_temp_ = WriteTemp(local_file, source, [&](std::FILE* file) {
    return WriteRewrittenPage(prepared->request_, *original, file);
  });
  if (prepared->page_temp_.empty()) return nullptr;
  return prepared;
}

PreparedRewrite::~PreparedRewrite() {
  // Ours alone; one that cannot be removed is only clutter beside the page.
  if (!original_temp_.empty()) (void)::unlink(original_temp_.c_str());
  if (!page_temp_.empty()) (void)::unlink(page_temp_.c_str());
}

bool PreparedRewrite::PlaceOriginal() { return PlaceTemp(original_temp_, local_file_ + "buf"); }

bool PreparedRewrite::PlacePage() { return PlaceTemp(page_temp_, local_file_); }

bool SameRewriteRequest(const RewriteRequest& a, const RewriteRequest& b) {
  if (a.arrived || b.arrived) return false;
  auto fields = [](const RewriteRequest& r) {
    return std::tie(r.page_url, r.site_url, r.page_extensions, r.download_extensions, r.drop_other,
                    r.another_server);
  };
  return fields(a) == fields(b);
}

}  // namespace marovine
