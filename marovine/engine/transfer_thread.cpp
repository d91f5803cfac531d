// The body of one transfer: log check, connect, request, head, body to disk,
// and the checks after the server has closed. Every way out ends with
// worker.Finish(status, text).

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <vector>

#include "marovine/engine/banner_list.h"
#include "marovine/engine/body_decoder.h"
#include "marovine/engine/chunked_body.h"
#include "marovine/engine/connection_pool.h"
#include "marovine/engine/download_log.h"
#include "marovine/engine/head_reader.h"
#include "marovine/engine/http_request.h"
#include "marovine/engine/page_flag.h"
#include "marovine/engine/response_head.h"
#include "marovine/engine/socket_x.h"
#include "marovine/engine/splice_pipe.h"
#include "marovine/engine/transfer_worker.h"
#include "platform/file_exception.h"
#include "platform/path.h"
#include "platform/unique_handle.h"

namespace marovine {
namespace {

namespace text = transfer_text;

// The free host whose pages the HomeStead option cuts short, and the one whose
// files GeocitiesComDl completes.
constexpr std::string_view kFreeHostPathWord = "homestead";
constexpr std::string_view kFreeHostSizeFixDomain = "geocities.com";
constexpr std::int64_t kFreeHostCutBytes = 7000;
constexpr std::int64_t kFreeHostSizeFixGap = 90;
constexpr std::int64_t kBannerCheckAfterBytes = 200;
// A compressed body may inflate this much before it is taken for a bomb.
constexpr std::int64_t kBombMinimumBytes = 64 << 20;
constexpr std::int64_t kBombRatio = 200;

// Bodies are read in large pieces; the free-host cut keeps the small reads it
// was made for, so it still stops right after the read that passes the mark.
constexpr std::size_t kReadBytes = 256 * 1024;
constexpr std::size_t kSmallReadBytes = 2048;
// Over a plain connection the head is read in small pieces, so that most of
// a body is left in the socket for the pipe to move without a copy.
constexpr std::size_t kHeadReadBytes = 4096;

class LocalFile {
 public:
  bool is_open() const { return fd_.valid(); }
  // Opens for writing without truncating; another writer of the same file is
  // refused, and so is a file that appeared when a new one was to be made.
  // Answers the errno of a failure, 0 on success.
  int Open(const std::string& path, bool create_new) {
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (create_new ? O_EXCL : 0);
    fd_.reset(::open(path.c_str(), flags, 0666));
    // The folders are made when the file is, and only then.
    if (!fd_ && errno == ENOENT && platform::MakeFoldersForFile(path)) {
      fd_.reset(::open(path.c_str(), flags, 0666));
    }
    if (!fd_) return errno;
    if (::flock(fd_.get(), LOCK_EX | LOCK_NB) != 0) {
      int error = errno == EWOULDBLOCK ? EBUSY : errno;
      Close();
      return error;
    }
    return 0;
  }
  int Seek(std::int64_t offset) {
    return ::lseek(fd_.get(), static_cast<off_t>(offset), SEEK_SET) < 0 ? errno : 0;
  }
  // Cuts the file to nothing. A file that is empty already is left alone:
  // on ext4, cutting one makes its close write the whole new content out
  // at once, which a large download then waits for.
  int Truncate() {
    struct stat info {};
    if (::fstat(fd_.get(), &info) == 0 && info.st_size == 0) return 0;
    return ::ftruncate(fd_.get(), 0) != 0 ? errno : 0;
  }
  int Write(std::string_view bytes) {
    while (!bytes.empty()) {
      ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
  }
  int fd() const { return fd_.get(); }
  // What was written is already in the file: a close failure adds nothing
  // the checks after the transfer would not see.
  void Close() { fd_.reset(); }

 private:
  platform::UniqueFd fd_;
};

std::string FileErrorText(const char* what, int error_number) {
  return std::string(what) +
         platform::FileExceptionText(platform::FileExceptionCauseFromErrno(error_number));
}

class Transfer {
 public:
  Transfer(const TransferJob& job, TransferWorker& worker) : job_(job), worker_(worker) {}
  void Run();

 private:
  bool CheckDownloadLog();
  // Derives the target and builds the request; false when the transfer has ended.
  bool PrepareRequest();
  // Sends the request on a kept connection to the server when there is one,
  // else on a new one; false when the transfer has ended.
  bool ConnectAndSend(bool fresh = false);
  bool Connect(CSocketX& socket);
  // Asks the proxy for a tunnel to the https:// server.
  bool OpenTunnel(CSocketX& socket, const std::string& tunnel);
  bool StartTls(CSocketX& socket, const ConnectionTarget& target);
  // Sends all of the bytes; false when the transfer has ended.
  bool SendAll(CSocketX& socket, std::string_view bytes);
  CSocketX::Result SendQuietly(CSocketX& socket, std::string_view bytes);
  void FinishSendFailure(CSocketX::Result result);
  // Answers false when the transfer has ended.
  bool HandleHead(std::string_view head, std::string_view first_body_bytes);
  bool WriteBody(std::string_view wire_bytes);
  // The body moves from the socket through the pipe into the file when
  // nothing has to look at its bytes on the way: no TLS, no chunks, no
  // decoding, no cut after a few bytes.
  bool CanMoveBodyDirectly(bool small_reads) const;
  // How much the next move may take: never past the body's end, so that a
  // kept connection keeps the next answer.
  std::size_t DirectMoveLimit() const;
  // Writes the `count` body bytes waiting in the pipe; false when the
  // transfer has ended.
  bool WriteBodyFromPipe(std::size_t count, char* buffer);
  // The body has ended by its own framing, before the server closed.
  bool BodyEnded() const {
    return (chunks_ && chunks_->Finished()) || (body_left_ && *body_left_ == 0);
  }
  // Of the bytes received, those that belong to the body; anything after its
  // end is not ours to read, and the connection is not kept.
  std::string_view WithinBody(std::string_view bytes);
  // Learns from the head whether the connection may be kept and where the
  // body ends.
  void NoteConnectionReuse(std::string_view head);
  // Keeps the connection for the next transfer to the same server.
  void KeepConnection();
  void AfterServerClosed();

  // Ends after a retry wait, as a stop when one was requested meanwhile.
  void FinishAfterWait(TransferStatus status, std::string status_text);
  // True when the retry wait is the scheduler's, which then holds the item
  // that long and gives the slot other work.
  bool WaitOffSlot() {
    if (!settings_.retry_wait_off_slot || settings_.retry_wait_time <= 0) return false;
    worker_.Update([&](TransferProgress& p) { p.retry_wait_seconds = settings_.retry_wait_time; });
    return true;
  }
  void SetReceived(std::int64_t received) {
    received_ = received;
    worker_.Update([&](TransferProgress& p) { p.received = received; });
  }
  // Only a file this transfer made or resumes is its to delete: one that
  // appeared under its name meanwhile is someone else's.
  void DeleteLocalFile() {
    // The item is reported failed either way; a file that stays can be resumed.
    if (existed_before_ || created_file_) (void)platform::RemoveFile(job_.local_path);
  }

  const TransferJob& job_;
  TransferWorker& worker_;
  const WorkerSettings& settings_ = job_.settings;

  std::optional<ConnectionTarget> target_;
  std::string request_;
  std::unique_ptr<CSocketX> socket_;
  std::string server_;                     // the pool's name for the server; empty: nothing is kept
  bool reused_ = false;                    // the connection served an earlier request
  bool unverified_ = false;                // its certificate was accepted without verifying
  bool keep_open_ = false;                 // the server keeps the connection after this answer
  bool conditional_ = false;               // the request carries If-Modified-Since
  std::optional<std::int64_t> body_left_;  // wire bytes of the body still to come, when known

  std::string last_modified_ = job_.last_modified;
  std::int64_t logged_size_ = 0;
  bool page_ = false;
  std::int64_t existing_size_ = 0;  // local file size before this transfer (0 = none)
  bool existed_before_ = false;
  bool created_file_ = false;  // this transfer made the local file
  std::int64_t received_ = 0;
  std::int64_t expected_ = 0;
  bool body_started_ = false;
  bool cut_on_purpose_ = false;  // the free-host cut ended the body early
  LocalFile file_;
  SplicePipe* pipe_ = nullptr;  // the thread's, while the body moves directly
  std::optional<ChunkedBody> chunks_;
  std::optional<BodyDecoder> decoder_;
  std::int64_t decoded_total_ = 0;  // bytes written to the file by this transfer
};

void Transfer::FinishAfterWait(TransferStatus status, std::string status_text) {
  worker_.SetText(std::move(status_text));
  if (WaitOffSlot()) {
    worker_.Finish(worker_.stop_requested() ? TS_STOPPED : status);
  } else if (worker_.WaitBeforeRetry(settings_.retry_wait_time)) {
    worker_.Finish(TS_STOPPED);
  } else {
    worker_.Finish(status);
  }
}

bool Transfer::CheckDownloadLog() {
  if (!job_.check_log) return true;
  if (IsInLogDat(job_.log_folder, job_.url)) {
    worker_.Finish(TS_IN_LOG, text::kInLog);
    return false;
  }
  Log2Entry entry = LookUpLog2(platform::JoinPath(job_.log_folder, "log2.dat"),
                               Log2Key(job_.referer), Log2EntryName(job_.url, job_.referer));
  if (!entry.found) return true;
  bool date_decides = !entry.date.empty() && settings_.check_m_date;
  bool size_decides = settings_.check_log_size && entry.size != 0;
  if (!date_decides && !size_decides) {
    worker_.Finish(TS_IN_LOG, text::kInLog);
    return false;
  }
  // The server's answer decides: the same date ends as not modified, the same
  // size as already logged.
  last_modified_ = entry.date;
  logged_size_ = entry.size;
  return true;
}

bool Transfer::PrepareRequest() {
  TargetProblem problem = TargetProblem::kNone;
  target_ = DeriveConnectionTarget(job_.url, job_.proxy, &problem);
  if (problem == TargetProblem::kBadProxyPort) {
    // A proxy that cannot be reached, like one that does not answer: the
    // scheduler may try the item through the next one.
    FinishAfterWait(settings_.retry_s_error ? TS_CONNECT_RETRY : TS_FAILED, text::kBadPort);
    return false;
  }
  if (!target_) {
    worker_.Finish(TS_FAILED, problem == TargetProblem::kBadPort ? text::kBadPort : text::kNotHttp);
    return false;
  }
  RequestInputs request;
  request.url = job_.url;
  request.proxy = job_.proxy;
  request.referer = job_.referer;
  request.send_referer = job_.send_referer;
  request.no_cache = job_.no_cache;
  request.user_agent = job_.user_agent;
  request.credentials = job_.credentials;
  if (settings_.conditional_requests && !job_.last_modified.empty()) {
    if (auto date = HttpDateOf(job_.last_modified)) {
      request.if_modified_since = std::move(*date);
      conditional_ = true;
    }
  }
  // Connections to a proxy are not kept: only a server's own.
  if (job_.pool && job_.proxy.empty()) {
    request.keep_alive = true;
    server_ = std::string(target_->tls ? "https://" : "http://") + target_->connect_host + ":" +
              std::to_string(target_->connect_port);
    if (target_->tls && settings_.accept_unverified_certificate) server_ += " unverified";
  }
  // A file the scheduler has just seen missing costs no second look.
  if (auto size = job_.target_absent ? std::nullopt : platform::FileSizeOf(job_.local_path)) {
    existed_before_ = true;
    existing_size_ = *size;
    request.existing_size = *size;
    SetReceived(*size);
  }
  request_ = BuildHttpRequest(request, *target_);
  return true;
}

bool Transfer::ConnectAndSend(bool fresh) {
  if (!server_.empty() && !fresh) {
    ConnectionPool::Idle idle = job_.pool->Take(server_);
    if (idle.socket) {
      socket_ = std::move(idle.socket);
      socket_->WatchStopRequest(worker_.stop_flag());
      reused_ = true;
      unverified_ = idle.unverified;
      if (unverified_) worker_.SetTextNote(text::kCertificateNotVerified);
      worker_.SetText(text::kSendingRequest);
      // A kept connection the server has closed meanwhile often takes the
      // send anyway; then it shows when the answer does not come.
      auto result = SendQuietly(*socket_, request_);
      if (result == CSocketX::Result::kOk) return true;
      if (result != CSocketX::Result::kError) {
        FinishSendFailure(result);
        return false;
      }
    }
  }
  reused_ = false;
  socket_ = std::make_unique<CSocketX>(worker_.stop_flag());
  if (!Connect(*socket_)) return false;
  worker_.SetText(text::kSendingRequest);
  return SendAll(*socket_, request_);
}

bool Transfer::Connect(CSocketX& socket) {
  const ConnectionTarget& target = *target_;
  if (job_.proxy.empty()) worker_.SetText(text::kConnecting);
  auto connected = socket.Connect(target.connect_host, target.connect_port, job_.timeout_ms);
  if (connected != CSocketX::Result::kOk) {
    if (connected == CSocketX::Result::kStopped) {
      worker_.Finish(TS_STOPPED, text::kStoppedByUser);
      return false;
    }
    FinishAfterWait(settings_.retry_s_error ? TS_CONNECT_RETRY : TS_FAILED,
                    target.connect_host + text::kCannotConnectSuffix);
    return false;
  }
  if (!target.tunnel.empty() && !OpenTunnel(socket, target.tunnel)) return false;
  if (target.tls && !StartTls(socket, target)) return false;
  return true;
}

CSocketX::Result Transfer::SendQuietly(CSocketX& socket, std::string_view rest) {
  while (!rest.empty()) {
    std::size_t sent = 0;
    auto result = socket.SendWithTimeout(rest, job_.timeout_ms, sent);
    if (result != CSocketX::Result::kOk) return result;
    rest.remove_prefix(sent);
  }
  return CSocketX::Result::kOk;
}

bool Transfer::SendAll(CSocketX& socket, std::string_view bytes) {
  auto result = SendQuietly(socket, bytes);
  if (result == CSocketX::Result::kOk) return true;
  FinishSendFailure(result);
  return false;
}

void Transfer::FinishSendFailure(CSocketX::Result result) {
  if (result == CSocketX::Result::kStopped) {
    worker_.Finish(TS_STOPPED, text::kStoppedByUser);
  } else if (result == CSocketX::Result::kTimeout) {
    FinishAfterWait(TS_TIMEOUT, text::kTimedOut);
  } else {
    FinishAfterWait(TS_INCOMPLETE, text::kSendFailed);
  }
}

bool Transfer::OpenTunnel(CSocketX& socket, const std::string& tunnel) {
  if (!SendAll(socket, BuildConnectRequest(tunnel, job_.user_agent))) return false;
  HeadReader reader;
  char buffer[4096];
  while (reader.state() == HeadReader::State::kNeedMore) {
    std::size_t got = 0;
    auto result = socket.ReceiveWithTimeout(buffer, sizeof buffer, job_.timeout_ms, got);
    if (result == CSocketX::Result::kStopped) {
      worker_.Finish(TS_STOPPED, text::kStoppedByUser);
      return false;
    }
    if (result == CSocketX::Result::kTimeout) {
      FinishAfterWait(TS_TIMEOUT, text::kTimedOut);
      return false;
    }
    if (result != CSocketX::Result::kOk) break;
    reader.Feed(std::string_view(buffer, got));
  }
  // "HTTP/1.x 200 ..." opens the tunnel; anything else is the proxy failing,
  // which the rotation treats like a proxy that does not answer.
  std::string_view head = reader.state() == HeadReader::State::kComplete ? reader.head() : "";
  auto space = head.find(' ');
  bool open = head.starts_with("HTTP/") && space != std::string_view::npos &&
              head.substr(space + 1, 3) == "200" && reader.body().empty();
  if (!open) {
    FinishAfterWait(settings_.retry_s_error ? TS_CONNECT_RETRY : TS_FAILED,
                    text::kProxyTunnelFailed);
  }
  return open;
}

bool Transfer::StartTls(CSocketX& socket, const ConnectionTarget& target) {
  const bool accept_any = settings_.accept_unverified_certificate != 0;
  TlsFailure failure = TlsFailure::kNone;
  bool unverified = false;
  // Only the kept-connection mode remembers sessions; the other asks for a
  // full handshake every time, as it always has.
  ConnectionPool::Session session = server_.empty() ? nullptr : job_.pool->SessionOf(server_);
  auto result = socket.StartTls(target.tls_host, !accept_any, job_.timeout_ms, failure, unverified,
                                session.get());
  if (result == CSocketX::Result::kOk) {
    unverified_ = unverified;
    if (unverified) worker_.SetTextNote(text::kCertificateNotVerified);
    return true;
  }
  if (result == CSocketX::Result::kStopped) {
    worker_.Finish(TS_STOPPED, text::kStoppedByUser);
    return false;
  }
  if (result == CSocketX::Result::kTimeout) {
    FinishAfterWait(TS_TIMEOUT, text::kTimedOut);
    return false;
  }
  // A certificate does not mend itself: only a broken handshake is worth
  // another try.
  const char* why = text::kTlsHandshakeFailed;
  switch (failure) {
    case TlsFailure::kUntrustedIssuer:
      why = text::kCertificateUntrusted;
      break;
    case TlsFailure::kExpired:
      why = text::kCertificateExpired;
      break;
    case TlsFailure::kNotYetValid:
      why = text::kCertificateNotYetValid;
      break;
    case TlsFailure::kNameMismatch:
      why = text::kCertificateNameMismatch;
      break;
    case TlsFailure::kBadCertificate:
      why = text::kCertificateInvalid;
      break;
    case TlsFailure::kNone:
    case TlsFailure::kHandshake:
      FinishAfterWait(settings_.retry_s_error ? TS_CONNECT_RETRY : TS_FAILED, why);
      return false;
  }
  worker_.Finish(TS_FAILED, why);
  return false;
}

bool Transfer::HandleHead(std::string_view head, std::string_view first_body_bytes) {
  const bool resume_attempt = existing_size_ > 0;

  // A file that is already whole: servers answer a range past its end with
  // 416 and the full size, which means there is nothing left to fetch.
  if (resume_attempt) {
    if (auto total = UnsatisfiableRangeTotal(head); total && *total == existing_size_) {
      worker_.Finish(TS_DONE, text::kAlreadyComplete);
      return false;
    }
  }

  HeadContext context;
  context.page_by_extension = page_;
  context.minimum_size = job_.minimum_size;
  context.maximum_size = job_.maximum_size;
  context.stored_last_modified = last_modified_;
  context.conditional_request = conditional_;
  HeadVerdict verdict = ParseResponseHead(head, context);

  page_ = page_ || verdict.page;
  expected_ = verdict.expected_size;
  worker_.Update([&](TransferProgress& p) {
    p.page = page_;
    p.full_body = verdict.full_body;
    p.expected_size = expected_;
    if (verdict.last_modified_sent) p.last_modified = verdict.last_modified;
    p.charset = CharsetOf(head);
    if (verdict.status == TS_REDIRECTED) p.url = verdict.new_url;
    p.retry_after_seconds = verdict.retry_after_seconds;
  });

  if (!verdict.proceed) {
    TransferStatus status = verdict.status;
    if (verdict.forbidden) {
      worker_.SetText(verdict.text);
      bool stopped = !WaitOffSlot() && worker_.WaitBeforeRetry(settings_.retry_wait_time);
      status = stopped ? TS_STOPPED : (settings_.mushi_404 ? TS_INCOMPLETE : TS_FAILED);
    }
    // A file that was there before this transfer is the user's (a partial
    // download or an earlier copy): an unhelpful answer does not take it away.
    // Only a size rejection discards it.
    if (status == TS_SIZE_REJECTED || existing_size_ == 0) DeleteLocalFile();
    // An answer that has arrived whole (a 304, a redirect) leaves the
    // connection to the next item of the server.
    KeepConnection();
    worker_.Finish(status, verdict.text);
    return false;
  }

  if (existed_before_ && expected_ != 0 && expected_ == existing_size_) {
    worker_.Finish(TS_DONE, text::kAlreadyComplete);
    return false;
  }

  decoder_.emplace(verdict.encoding);
  if (verdict.framing == BodyFraming::kChunked) chunks_.emplace();
  std::int64_t start_at = verdict.partial ? verdict.resume_offset : 0;
  if (verdict.full_body && resume_attempt) {
    // The whole body, encoded or not, means starting over, which the user may
    // have ruled out for files that cannot be resumed.
    if (job_.resume_policy) {
      worker_.Finish(worker_.stop_requested() ? TS_STOPPED : TS_INCOMPLETE, text::kCannotResume);
      return false;
    }
    DeleteLocalFile();
  } else if (decoder_->decoding() && resume_attempt) {
    // An encoded part cannot continue a file stored decoded: give up, the
    // next try starts afresh.
    DeleteLocalFile();
    worker_.Finish(TS_INCOMPLETE, text::kBadEncoding);
    return false;
  } else if (verdict.partial && ((start_at != existing_size_ && start_at != 0) ||
                                 (resume_attempt && !verdict.content_range_sent))) {
    // A part that does not continue the file, or does not say where it
    // starts, would corrupt it.
    worker_.Finish(TS_BAD_RESPONSE, text::kHttpViolation);
    return false;
  }
  SetReceived(start_at);

  if (settings_.check_log_size && expected_ != 0 && expected_ == logged_size_) {
    worker_.Finish(TS_IN_LOG, text::kInLog);
    return false;
  }

  // Without a file of its own to resume, the transfer makes a new one and
  // never takes over a file that has appeared under its name since.
  if (int error = file_.Open(job_.local_path, !existed_before_); error != 0) {
    // Cleared before the result is reported: the scheduler may act on it at once.
    if (existing_size_ == 0) DeleteLocalFile();
    FinishAfterWait(TS_BAD_RESPONSE, FileErrorText(text::kCannotOpenFile, error));
    return false;
  }
  created_file_ = !existed_before_;
  // A file just made is empty and written from its start.
  int error = 0;
  if (!created_file_) {
    error = file_.Seek(received_);
    if (error == 0 && received_ == 0) error = file_.Truncate();
  }
  if (error != 0) {
    file_.Close();
    FinishAfterWait(TS_BAD_RESPONSE, FileErrorText(text::kCannotOpenFile, error));
    return false;
  }
  body_started_ = true;
  return WriteBody(first_body_bytes);
}

bool Transfer::WriteBody(std::string_view wire_bytes) {
  if (wire_bytes.empty()) return true;
  int write_error = 0;
  bool too_large = false;
  bool bomb = false;
  // Received counts the body as the server coded it, without chunk framing:
  // for an unencoded body, the bytes of the file.
  std::int64_t coded = 0;
  auto write = [&](std::string_view piece) {
    decoded_total_ += static_cast<std::int64_t>(piece.size());
    // What lands on disk is what the size limit is about, and a small body
    // that inflates without measure is refused before it fills the disk.
    if (!page_ && job_.maximum_size != 0 && decoded_total_ > job_.maximum_size) {
      too_large = true;
      return false;
    }
    if (decoded_total_ > kBombMinimumBytes && decoded_total_ / kBombRatio > received_ + coded) {
      bomb = true;
      return false;
    }
    write_error = file_.Write(piece);
    return write_error == 0;
  };
  auto decode = [&](std::string_view piece) {
    coded += static_cast<std::int64_t>(piece.size());
    return decoder_->Decode(piece, write);
  };
  if (!(chunks_ ? chunks_->Decode(wire_bytes, decode) : decode(wire_bytes))) {
    file_.Close();
    if (write_error != 0) {
      // A full disk or a failing device: the part written so far stays for a resume.
      worker_.Finish(TS_BAD_RESPONSE, FileErrorText(text::kCannotWriteFile, write_error));
    } else if (chunks_ && chunks_->malformed()) {
      // What was written is the body's data up to the fault: a file this
      // transfer resumed keeps it for the next try.
      SetReceived(received_ + coded);
      if (existing_size_ == 0) DeleteLocalFile();
      worker_.Finish(TS_BAD_RESPONSE, text::kBadChunks);
    } else {
      DeleteLocalFile();
      if (too_large) {
        worker_.Finish(TS_SIZE_REJECTED, text::kSizeRejected);
      } else {
        worker_.Finish(bomb ? TS_FAILED : TS_INCOMPLETE, text::kBadEncoding);
      }
    }
    return false;
  }
  SetReceived(received_ + coded);
  return true;
}

bool Transfer::CanMoveBodyDirectly(bool small_reads) const {
  return body_started_ && !small_reads && !socket_->is_tls() && !chunks_ &&
         !(decoder_ && decoder_->decoding()) && !(body_left_ && *body_left_ == 0);
}

std::size_t Transfer::DirectMoveLimit() const {
  std::size_t limit = std::min(pipe_->capacity(), kReadBytes);
  if (body_left_) limit = static_cast<std::size_t>(std::min<std::int64_t>(*body_left_, limit));
  return limit;
}

bool Transfer::WriteBodyFromPipe(std::size_t count, char* buffer) {
  const auto size = static_cast<std::int64_t>(count);
  if (body_left_) *body_left_ -= size;
  decoded_total_ += size;
  if (!page_ && job_.maximum_size != 0 && decoded_total_ > job_.maximum_size) {
    pipe_->Discard();
    file_.Close();
    DeleteLocalFile();
    worker_.Finish(TS_SIZE_REJECTED, text::kSizeRejected);
    return false;
  }
  if (int error = pipe_->DrainTo(file_.fd(), count, buffer, kReadBytes); error != 0) {
    file_.Close();
    // A full disk or a failing device: the part written so far stays for a resume.
    worker_.Finish(TS_BAD_RESPONSE, FileErrorText(text::kCannotWriteFile, error));
    return false;
  }
  SetReceived(received_ + size);
  return true;
}

std::string_view Transfer::WithinBody(std::string_view bytes) {
  if (!body_left_) return bytes;
  if (static_cast<std::int64_t>(bytes.size()) > *body_left_) {
    keep_open_ = false;
    bytes = bytes.substr(0, static_cast<std::size_t>(*body_left_));
  }
  *body_left_ -= static_cast<std::int64_t>(bytes.size());
  return bytes;
}

void Transfer::NoteConnectionReuse(std::string_view head) {
  if (server_.empty()) return;
  ConnectionReuse reuse = ConnectionReuseOf(head);
  keep_open_ = reuse.keep_open;
  body_left_ = reuse.body_length;
  // Without a length or chunks the body runs until the server closes.
  if (!body_left_ && BodyFramingOf(head) != BodyFraming::kChunked) keep_open_ = false;
}

void Transfer::KeepConnection() {
  if (server_.empty() || !socket_) return;
  // A TLS 1.3 server sends its tickets after the handshake; by the end of an
  // answer they have arrived.
  if (!reused_ && target_->tls) job_.pool->KeepSession(server_, socket_->TakeSession());
  if (!keep_open_ || !BodyEnded()) return;
  job_.pool->Give(server_, {std::move(socket_), unverified_});
}

void Transfer::AfterServerClosed() {
  if (!body_started_) {
    FinishAfterWait(settings_.retry_s_error ? TS_INCOMPLETE : TS_FAILED, text::kServerClosed);
    return;
  }
  file_.Close();
  if (settings_.geocities_com_dl && job_.url.find(kFreeHostSizeFixDomain) != std::string::npos &&
      expected_ - received_ == kFreeHostSizeFixGap) {
    SetReceived(expected_);
  }
  // A compressed or chunked body that ends before its stream does is cut
  // short too, unless we cut it ourselves.
  const bool cut_stream = !cut_on_purpose_ && ((decoder_ && !decoder_->Finished()) ||
                                               (chunks_ && !chunks_->Finished()));
  if ((expected_ != 0 && received_ < expected_) || cut_stream) {
    if (existing_size_ == 0) DeleteLocalFile();
    FinishAfterWait(TS_INCOMPLETE, text::kDownloadFailed);
    return;
  }
  bool too_small = job_.minimum_size != 0 && received_ < job_.minimum_size;
  bool too_large = job_.maximum_size != 0 && received_ > job_.maximum_size;
  if ((too_small || too_large) && !page_) {
    DeleteLocalFile();
    worker_.Finish(TS_SIZE_REJECTED, text::kSizeRejected);
    return;
  }
  if (settings_.check_log_size && expected_ != 0 && expected_ == logged_size_) {
    DeleteLocalFile();
    worker_.Finish(TS_IN_LOG, text::kInLogDeleted);
    return;
  }
  worker_.Finish(TS_DONE, text::kCompleted);
}

void Transfer::Run() {
  if (!CheckDownloadLog()) return;
  page_ = IsPageByUrl(job_.url, job_.page_extensions);
  worker_.Update([&](TransferProgress& p) { p.page = page_; });

  if (!PrepareRequest() || !ConnectAndSend()) return;

  worker_.StampStart();
  worker_.SetText(text::kDownloading);

  const bool free_host_page =
      job_.free_host_cut && job_.url.find(kFreeHostPathWord) != std::string::npos;
  // One buffer per transfer thread, made at its first transfer and never
  // cleared: each read fills what it reports.
  thread_local const std::unique_ptr<char[]> buffer =
      std::make_unique_for_overwrite<char[]>(kReadBytes);
  thread_local SplicePipe pipe;
  const std::size_t buffer_size = free_host_page ? kSmallReadBytes : kReadBytes;
  HeadReader head_reader;
  bool answer_started = false;
  bool banner_checked = false;
  for (;;) {
    if (free_host_page && page_ && body_started_ && received_ > kFreeHostCutBytes) {
      cut_on_purpose_ = true;
      keep_open_ = false;
      break;
    }
    if (worker_.stop_requested()) {
      file_.Close();
      worker_.Finish(TS_STOPPED, text::kStoppedByUser);
      return;
    }
    std::size_t got = 0;
    CSocketX::Result result;
    const bool direct = CanMoveBodyDirectly(free_host_page) && pipe.Ready();
    if (direct) {
      pipe_ = &pipe;
      result = socket_->ReceiveIntoPipe(pipe.write_end(), DirectMoveLimit(), job_.timeout_ms, got);
    } else {
      const bool head_only = !body_started_ && !socket_->is_tls() && !free_host_page;
      result = socket_->ReceiveWithTimeout(buffer.get(), head_only ? kHeadReadBytes : buffer_size,
                                           job_.timeout_ms, got);
    }
    if (result == CSocketX::Result::kStopped) continue;  // reported at the top of the loop
    if (reused_ && !answer_started &&
        (result == CSocketX::Result::kClosed || result == CSocketX::Result::kError)) {
      // The server closed the kept connection before this request reached
      // it: the request goes again on a new one, once, and nothing failed.
      if (!ConnectAndSend(true)) return;
      continue;
    }
    if (result == CSocketX::Result::kClosed) break;
    if (result != CSocketX::Result::kOk) {
      file_.Close();
      if (result == CSocketX::Result::kTimeout) {
        FinishAfterWait(TS_TIMEOUT, text::kTimedOut);
      } else {
        FinishAfterWait(TS_INCOMPLETE, text::kDownloadFailed);
      }
      return;
    }
    answer_started = true;
    std::string_view bytes(buffer.get(), got);
    if (direct) {
      if (!WriteBodyFromPipe(got, buffer.get())) return;
    } else if (body_started_) {
      if (!WriteBody(WithinBody(bytes))) return;
    } else {
      auto state = head_reader.Feed(bytes);
      if (state == HeadReader::State::kTooLong) {
        worker_.Finish(TS_BAD_RESPONSE, text::kHeadTooLong);
        return;
      }
      if (state == HeadReader::State::kComplete) {
        NoteConnectionReuse(head_reader.head());
        if (!HandleHead(head_reader.head(), WithinBody(head_reader.body()))) return;
      }
    }
    if (!banner_checked && job_.banner_check && body_started_ &&
        received_ > kBannerCheckAfterBytes && !page_) {
      banner_checked = true;
      // Without an announced size there is nothing to compare: an empty file
      // in the banner list must not throw away every such download.
      if (expected_ != 0 && IsBannerSize(job_.banner_list_path, expected_)) {
        file_.Close();
        DeleteLocalFile();
        worker_.Finish(TS_FAILED, text::kBanner);
        return;
      }
    }
    // A server that keeps the connection open after the body's end is not
    // waited for.
    if (BodyEnded()) break;
  }
  // Kept before the result is reported, so that the next item of the server
  // can have it.
  KeepConnection();
  AfterServerClosed();
}

}  // namespace

void RunTransfer(const TransferJob& job, TransferWorker& worker) { Transfer(job, worker).Run(); }

}  // namespace marovine
