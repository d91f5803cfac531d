#include "marovine/engine/tls_context.h"

#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>

namespace marovine {
namespace {

// Records are read from the socket as many at a time as have arrived, not a
// header and a body each.
constexpr std::size_t kReadAheadBytes = 64 * 1024;

// What the trusted certificates were read from, as it stands now.
struct TrustSource {
  std::string file;
  std::string folder;
  std::int64_t file_mtime_ns = -1;
  std::int64_t file_size = -1;
  std::uint64_t file_inode = 0;
  std::int64_t folder_mtime_ns = -1;
  bool operator==(const TrustSource&) const = default;
};

std::int64_t ModifiedNs(const struct stat& st) {
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

TrustSource CurrentTrustSource() {
  TrustSource source;
  const char* file = std::getenv(X509_get_default_cert_file_env());
  const char* folder = std::getenv(X509_get_default_cert_dir_env());
  source.file = file != nullptr ? file : X509_get_default_cert_file();
  source.folder = folder != nullptr ? folder : X509_get_default_cert_dir();
  struct stat st {};
  if (::stat(source.file.c_str(), &st) == 0) {
    source.file_mtime_ns = ModifiedNs(st);
    source.file_size = st.st_size;
    source.file_inode = st.st_ino;
  }
  // A folder may list several; the first stands for them, as certificates
  // are added to the system's folder.
  std::string first_folder = source.folder.substr(0, source.folder.find(':'));
  if (::stat(first_folder.c_str(), &st) == 0) source.folder_mtime_ns = ModifiedNs(st);
  return source;
}

TlsContextPtr MakeContext() {
  TlsContextPtr context(SSL_CTX_new(TLS_client_method()), TlsContextFree());
  if (!context) return nullptr;
  SSL_CTX_set_min_proto_version(context.get(), TLS1_2_VERSION);
  SSL_CTX_set_default_verify_paths(context.get());
  // Bodies end when the server closes; how long they should be is checked
  // against the head as for plain connections.
  SSL_CTX_set_options(context.get(), SSL_OP_IGNORE_UNEXPECTED_EOF);
  SSL_CTX_set_mode(context.get(), SSL_MODE_ENABLE_PARTIAL_WRITE);
  SSL_CTX_set_read_ahead(context.get(), 1);
  SSL_CTX_set_default_read_buffer_len(context.get(), kReadAheadBytes);
  return context;
}

}  // namespace

void TlsContextFree::operator()(SSL_CTX* context) const { SSL_CTX_free(context); }

TlsContextPtr SharedTlsContext() {
  static std::mutex mutex;
  static TlsContextPtr shared;
  static TrustSource read_from;
  TrustSource now = CurrentTrustSource();
  std::lock_guard lock(mutex);
  if (!shared || !(now == read_from)) {
    shared = MakeContext();
    read_from = now;
  }
  return shared;
}

}  // namespace marovine
