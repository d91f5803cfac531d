#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "marovine/engine/page_reading.h"
#include "marovine/engine/transfer_status.h"

namespace marovine {

inline constexpr int kTransferSlotCount = 10;

// The scheduler's record of one transfer slot. It belongs to the scheduler's
// thread: "in" fields are filled before StartTransferThread, "out" fields are
// refreshed by SyncTransferSlot. The worker never touches it.
struct TransferSlot {
  int send_referer = 0;           // in: setting Refer
  int free_host_cut = 0;          // in: setting HomeStead
  int no_cache = 0;               // in: EnableCash when a proxy is used
  int check_log = 0;              // in: consult the download log first
  std::string log_folder;         // in: folder of log.dat and log2.dat, with trailing separator
  std::string last_modified;      // in/out: recorded date in, the server's date out
  std::string credentials;        // in: "user:password" for Basic authorization, or empty
  int page_flag = 0;              // out: the answer was a page
  std::string charset;            // out: the charset the answer's Content-Type names, or empty
  std::string banner_list_path;   // in
  int banner_check = 0;           // in: setting DontDownBanner
  int stop_request = 0;           // in: pushed to the worker on each sync
  std::string page_extensions;    // in: blank-separated page extensions
  int slot_number = 0;            // in: 0..9
  int RetryCount = 0;             // the scheduler's retry counter for the item
  std::int64_t minimum_size = 0;  // in: bytes, 0 = none
  std::int64_t maximum_size = 0;  // in: bytes, 0 = none
  int item_index = 0;             // in: the item's index, for the scheduler
  int resume_policy = 0;          // in: setting Cant Retry First
  int full_body = 0;              // out: 1 = the server sent the whole file (200), 0 = a part (206)
  int elapsed = 0;                // out: seconds since the request was sent
  std::string user_agent;         // in
  std::string status_text;        // out: the last status text
  int timeout_ms = 0;             // in: per send and receive; 0 = wait forever
  TransferStatus status = TS_IDLE;  // out (the scheduler stores TS_RUNNING when it starts)
  std::string proxy;                // in: "host[:port]" or empty
  std::string referer;              // in
  std::int64_t expected_size = 0;   // in/out: bytes, 0 = not given
  std::int64_t received = 0;        // in/out: bytes on disk and received
  std::string local_path;           // in
  // in: the scheduler has just found no file under local_path, so the transfer
  // makes a new one without looking for a part to resume. Good for one start.
  bool target_absent = false;
  std::string url;         // in/out: the new address after a redirect
  int retry_after = 0;     // out: seconds the server asked us to wait (429/503)
  int retry_wait = 0;      // out: seconds the item is to wait before its retry, off the slot
  PageReader page_reader;  // in: reads a fetched page on the transfer's thread
  std::shared_ptr<PageReading> page_reading;  // out: what it read; the scheduler's alone
};

}  // namespace marovine
