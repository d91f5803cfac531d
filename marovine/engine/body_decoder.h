#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "marovine/engine/response_head.h"

namespace marovine {

// Undoes a gzip or deflate Content-Encoding while the body streams to disk, so
// pages and files are stored as the server's files are, not compressed. The
// identity encoding passes bytes through.
class BodyDecoder {
 public:
  explicit BodyDecoder(BodyEncoding encoding);
  ~BodyDecoder();
  BodyDecoder(const BodyDecoder&) = delete;
  BodyDecoder& operator=(const BodyDecoder&) = delete;

  bool decoding() const {
    return encoding_ == BodyEncoding::kGzip || encoding_ == BodyEncoding::kDeflate;
  }

  // Hands the decoded form of the next body bytes to `sink` piece by piece
  // (at most 64 KiB each), so a small input that inflates hugely never sits in
  // memory whole. The sink answers false to stop. False when the data is not
  // valid for its encoding or the sink stopped.
  using Sink = std::function<bool(std::string_view)>;
  bool Decode(std::string_view in, const Sink& sink);
  // Convenience for callers that want all of it: appends to `out`.
  bool Decode(std::string_view in, std::string& out);

  // True when the encoded stream ended properly (always for identity).
  bool Finished() const;

 private:
  bool Start(std::string_view first_bytes);

  BodyEncoding encoding_;
  struct Stream;
  std::unique_ptr<Stream> stream_;
  std::string pending_;  // the first bytes of a deflate body, until its kind is known
  bool ended_ = false;
  bool failed_ = false;
};

}  // namespace marovine
