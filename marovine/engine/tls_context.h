#pragma once

#include <memory>

typedef struct ssl_ctx_st SSL_CTX;

namespace marovine {

struct TlsContextFree {
  void operator()(SSL_CTX* context) const;
};
using TlsContextPtr = std::shared_ptr<SSL_CTX>;

// The client context every TLS connection is made from. Reading the
// system's trusted certificates takes tens of milliseconds, far more than a
// resumed handshake, so one context is shared by all connections and made
// anew only when the certificate file or folder it was read from (as
// SSL_CERT_FILE and SSL_CERT_DIR name them, or the system's) has changed.
// Null when no context can be made. Thread-safe.
TlsContextPtr SharedTlsContext();

}  // namespace marovine
