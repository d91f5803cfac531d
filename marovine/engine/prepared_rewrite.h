#pragma once

#include <memory>
#include <string>

#include "marovine/engine/page_rewriter.h"

namespace marovine {

// A mirrored page rewritten ahead, on the thread that fetched it, so that the
// thread owning the lists only renames files: the page as the server sent it
// and the rewritten page wait in temporary files beside the page's name and
// take their names when placed. What is never placed is removed with this
// object. The files placed are those RewriteSavedPage writes.
class PreparedRewrite {
 public:
  // Reads `source` (the fetched page, left as it is) and writes both files
  // beside `local_file`. Nothing when the page cannot be read or written: the
  // owner rewrites it itself then. `request` must not depend on which files
  // have arrived.
  static std::unique_ptr<PreparedRewrite> Prepare(RewriteRequest request, const std::string& source,
                                                  const std::string& local_file);

  ~PreparedRewrite();
  PreparedRewrite(const PreparedRewrite&) = delete;
  PreparedRewrite& operator=(const PreparedRewrite&) = delete;

  const RewriteRequest& request() const { return request_; }

  // The original takes the name local_file + "buf", replacing any file there.
  [[nodiscard]] bool PlaceOriginal();
  // The rewritten page takes the name local_file.
  [[nodiscard]] bool PlacePage();

 private:
  PreparedRewrite(RewriteRequest request, std::string local_file)
      : request_(std::move(request)), local_file_(std::move(local_file)) {}

  RewriteRequest request_;
  std::string local_file_;
  std::string original_temp_;  // empty once placed
  std::string page_temp_;      // the same
};

// Whether two requests rewrite a page alike. A request that asks which files
// have arrived is never alike: the answer may change meanwhile.
bool SameRewriteRequest(const RewriteRequest& a, const RewriteRequest& b);

}  // namespace marovine
