#include "marovine/document/dropped_file.h"

namespace marovine {

DroppedFileAction ChooseDroppedFileAction(const std::string& path) {
  if (path.find(".mrv") != std::string::npos || path.find(".MRV") != std::string::npos) {
    return DroppedFileAction::kOpenDocument;
  }
  if (path.find("履歴.txt") != std::string::npos) return DroppedFileAction::kImportSiteHistory;
  return DroppedFileAction::kImportUrlList;
}

}  // namespace marovine
