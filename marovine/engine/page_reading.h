#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "marovine/engine/page_parser.h"
#include "marovine/engine/prepared_rewrite.h"
#include "marovine/engine/transfer_status.h"

namespace marovine {

// What a transfer knows of the file it has just finished.
struct FetchedFile {
  TransferStatus status = TS_DONE;  // TS_DONE or TS_NOT_MODIFIED
  std::string url;                  // the address it came from
  std::string charset;              // from the answer's Content-Type, or empty
  bool page = false;                // the answer was a page
};

// One pass of the link extraction over a fetched file: the parser as it was
// configured, and the same parser after the parse (its title and links).
struct LinkExtraction {
  CPageParser request;
  CPageParser result;
};

// What the transfer's own thread read out of a fetched page before it
// reported its end, so that the thread owning the lists only registers the
// links: a page of many megabytes is parsed where it arrived, never in the
// tick.
struct PageReading {
  std::optional<LinkExtraction> page;        // the page's links (or a stylesheet's)
  std::optional<LinkExtraction> link_sites;  // the other sites a link-site search takes
  std::unique_ptr<PreparedRewrite> rewrite;  // a mirrored page made ready for offline browsing
};

// Runs on the transfer's thread once the file is complete on disk. It must
// own everything it reads (a copy of the settings made at the start, never a
// reference into the lists) and answers nothing when there is nothing to read.
using PageReader = std::function<std::shared_ptr<PageReading>(const FetchedFile&)>;

// Whether two parsers are configured alike, save for the file they read.
bool SameExtractionRequest(const CPageParser& a, const CPageParser& b);

}  // namespace marovine
