#pragma once

#include <cstdint>

namespace marovine {

// How a transfer ended (or that it runs); the scheduler acts on these codes.
enum TransferStatus : std::uint8_t {
  TS_IDLE = 0,           // slot free
  TS_RUNNING = 1,        // thread started, transfer under way
  TS_FAILED = 2,         // failed; not retried
  TS_CONNECT_RETRY = 4,  // connecting failed and RetrySError is on
  TS_TIMEOUT = 5,        // a send or receive timed out
  TS_BAD_RESPONSE = 6,   // 302 without location, a head that never ends, or no local file
  TS_INCOMPLETE = 7,     // broken off, short, resume refused, or 404/403 with Mushi404 on
  TS_REDIRECTED = 8,     // 301/302/303/307/308 with location; the slot's URL holds the new address
  TS_SIZE_REJECTED = 9,  // expected or received size outside minimum/maximum
  TS_IN_LOG = 10,        // found in the download log
  TS_DONE = 20,          // complete, or the local file was already complete
  TS_NOT_MODIFIED = 21,  // Last-Modified unchanged
  TS_STOPPED = 22,       // stopped by the user
};

// The status texts a transfer shows while it runs and when it ends.
namespace transfer_text {
inline constexpr const char* kNotHttp = "HTTPサーバーではありません。";
inline constexpr const char* kCannotStartThread = "スレッドを起動できません。";
inline constexpr const char* kInLog = "ログに存在します。";
inline constexpr const char* kInLogDeleted = "ログに存在します。削除しました。";
inline constexpr const char* kCannotCreateSocket = "ソケットを作成できません";
inline constexpr const char* kConnecting = "サーバーに接続しています。";
inline constexpr const char* kCannotConnectSuffix = "に接続できません。";
inline constexpr const char* kSendingRequest = "サーバーにリクエストを送信しています。";
inline constexpr const char* kTimedOut = "タイムアウトしました。";
inline constexpr const char* kSendFailed = "リクエスト送信時にエラーが発生しました。";
inline constexpr const char* kDownloading = "ダウンロード中";
inline constexpr const char* kStoppedByUser = "ユーザーによって切断されました。";
inline constexpr const char* kDownloadFailed = "ダウンロードが失敗しました。";
inline constexpr const char* kBanner = "バナー登録されています。";
inline constexpr const char* kAlreadyComplete = "終了しています。";
inline constexpr const char* kCannotResume = "レジュームできません。";
inline constexpr const char* kCannotOpenFile = "ファイルが開けません。";
inline constexpr const char* kServerClosed = "サーバーに切断されました。";
inline constexpr const char* kSizeRejected = "ファイルサイズにより中止";
inline constexpr const char* kCompleted = "正常に終了しました。";
inline constexpr const char* kNotModified = "更新されていません。中止します。";
inline constexpr const char* kRedirected = "URLは移動しています。";
inline constexpr const char* kHttpViolation = "予期しないエラーです。HTTP違反。";
inline constexpr const char* kForbidden = "Forbiddenを返されました。";
// Writing failed after the file was opened (a full disk, say).
inline constexpr const char* kCannotWriteFile = "ファイルに書き込めません。";
// A head that never reaches its end is cut off instead of growing without bound.
inline constexpr const char* kHeadTooLong = "応答ヘッダーが長すぎます。HTTP違反。";
// An encoded body that cannot be decoded (or resumed) is not stored.
inline constexpr const char* kBadEncoding = "圧縮されたデータを展開できません。";
// A body in a coding we cannot undo is refused rather than stored coded.
inline constexpr const char* kUnknownContentCoding = "対応していない圧縮形式です。";
inline constexpr const char* kUnknownTransferCoding = "対応していない転送形式です。HTTP違反。";
// Chunk sizes or chunk ends that do not follow the chunked format.
inline constexpr const char* kBadChunks = "チャンク形式が正しくありません。HTTP違反。";
// A port that is not a number from 1 to 65535, in the URL or the proxy entry.
inline constexpr const char* kBadPort = "ポート番号が正しくありません。";
// Secure connections: why one could not be made, and the mark of one whose
// certificate was accepted without being verified.
inline constexpr const char* kCertificateUntrusted = "サーバー証明書の発行者を信頼できません。";
inline constexpr const char* kCertificateExpired = "サーバー証明書の有効期限が切れています。";
inline constexpr const char* kCertificateNotYetValid = "サーバー証明書はまだ有効ではありません。";
inline constexpr const char* kCertificateNameMismatch =
    "サーバー証明書の名前が接続先と一致しません。";
inline constexpr const char* kCertificateInvalid = "サーバー証明書を検証できません。";
inline constexpr const char* kTlsHandshakeFailed = "SSL/TLSの接続を確立できません。";
inline constexpr const char* kCertificateNotVerified = "（証明書を検証していません）";
// The proxy refused or broke the tunnel to an https:// server.
// 429 or 503 with Retry-After: "...N秒後に再試行します。"
inline constexpr const char* kServerBusyPrefix = "サーバーが混雑しています。";
inline constexpr const char* kServerBusySuffix = "秒後に再試行します。";
inline constexpr const char* kProxyTunnelFailed = "プロキシ経由で接続できません。";
}  // namespace transfer_text

}  // namespace marovine
