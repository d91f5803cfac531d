#include "tarq/dislike_recording.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "marovine/engine/banner_list.h"
#include "platform/unique_handle.h"

namespace marovine::tarq {
namespace {

// The signature byte lies in the first block, which the original read whole
// into a zero-filled buffer; reading the same block keeps short files at 0.
constexpr std::size_t kHeadSize = 1024;
constexpr std::size_t kSignatureOffset = 199;

}  // namespace

std::optional<DislikedFileSignature> ReadDislikedFileSignature(const std::string& path) {
  platform::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return std::nullopt;
  struct stat st {};
  // A folder opens fine here but is no file to remember.
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::array<unsigned char, kHeadSize> head{};
  std::size_t filled = 0;
  while (filled < head.size()) {
    ssize_t n = ::read(fd.get(), head.data() + filled, head.size() - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  DislikedFileSignature signature;
  signature.size = static_cast<std::int64_t>(st.st_size);
  signature.value = static_cast<signed char>(head[kSignatureOffset]);
  return signature;
}

RecordOutcome RecordDislikedFile(const std::string& banner_path, const std::string& path) {
  auto signature = ReadDislikedFileSignature(path);
  if (!signature) return RecordOutcome::kUnreadable;
  if (!AppendBannerEntry(banner_path, signature->size, signature->value)) {
    return RecordOutcome::kListUnwritable;
  }
  return RecordOutcome::kRecorded;
}

}  // namespace marovine::tarq
