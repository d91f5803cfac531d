#pragma once

#include <string>

namespace marovine {

// What a file dropped on the main window becomes: a document to open, a
// whole-site history text to import as a new site, or a URL list (or an
// Internet shortcut) whose addresses are registered.
enum class DroppedFileAction { kOpenDocument, kImportSiteHistory, kImportUrlList };

// Decided by the name alone, in this order: ".mrv" or ".MRV" anywhere in the
// path opens it, "履歴.txt" anywhere imports a history, anything else is a
// URL list.
DroppedFileAction ChooseDroppedFileAction(const std::string& path);

}  // namespace marovine
