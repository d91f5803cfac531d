#pragma once

namespace marovine {

// The settings the transfer worker reads while it runs. The settings loader
// fills them at every load; each transfer takes its own copy when it starts,
// so a settings change reaches the transfers that start afterwards.
struct WorkerSettings {
  int check_m_date = 0;      // CheckMDate: a logged date lets the server's Last-Modified decide
  int retry_wait_time = 10;  // RetryWaitTime: seconds waited before a retryable result
  int geocities_com_dl = 0;  // GeocitiesComDl: the free-hosting size fix
  int mushi_404 = 1;         // Mushi404: 404/403 may be retried
  int check_log_size = 0;    // CheckLogSize: compare sizes with the download log
  int retry_s_error = 0;     // RetrySError: connection errors may be retried
  // AcceptUnverifiedCertificate: https:// servers whose certificate cannot be
  // verified (self-signed, expired, another name) are used anyway.
  int accept_unverified_certificate = 0;
  // FastMode: requests are HTTP/1.1 and a connection whose answer ended by its
  // own framing serves the next request to the same server.
  int reuse_connections = 0;
  // FastMode too: a result that is retried after RetryWaitTime ends the
  // transfer at once, and the scheduler keeps the item waiting in the list
  // while the slot takes other work.
  int retry_wait_off_slot = 0;
  // FastMode too: a file whose date was recorded is asked for with
  // If-Modified-Since, so that an unchanged one costs a 304 and no body.
  int conditional_requests = 0;
};

}  // namespace marovine
