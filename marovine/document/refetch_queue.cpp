#include "marovine/document/refetch_queue.h"

#include "marovine/document/marovine_doc.h"

namespace marovine {

int QueueRefetches(CMarovineDoc& doc, const std::vector<RefetchRequest>& requests) {
  int added = 0;
  for (const RefetchRequest& request : requests) {
    if (request.url.empty() || request.path.empty()) continue;
    if (doc.settings.unique_download_urls != 0 && doc.HasDownload(request.url)) continue;
    DownloadItem item;
    item.url = request.url;
    item.referer = request.url.substr(0, request.url.rfind('/') + 1);
    // The file is written again where it lay, unless a listed item holds that
    // name now.
    item.local_path = doc.UnreservedLocalPath(request.path);
    item.kind = KIND_DIRECT;
    if (doc.AppendDownloadItem(std::move(item)) < 0) break;  // the list is full
    ++added;
  }
  return added;
}

}  // namespace marovine
