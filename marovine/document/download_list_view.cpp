#include "marovine/document/download_list_view.h"

#include "marovine/engine/work_items.h"

namespace marovine {

int DownloadImageForState(int state) {
  switch (state) {
    case DS_WAITING:
      return IMAGE_WAITING;
    case DS_RUNNING:
      return IMAGE_RUNNING;
    case DS_ERROR:
      return IMAGE_ERROR;
    case DS_RETRY_WAIT:
      return IMAGE_RETRY_WAIT;
    case DS_PAGE_DONE:
      return IMAGE_PAGE;
    case DS_SIZE_REMOVED:
      return IMAGE_SIZE_REMOVED;
    default:
      return IMAGE_DONE;
  }
}

}  // namespace marovine
