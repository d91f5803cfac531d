#pragma once

#include <functional>

namespace marovine {

class CMarovineDoc;
class UiServices;

// The orderings of the download list. All work by exchanging two items at a
// time, so running transfers follow their items and the rows follow the
// list; each shows its progress in status pane 1 under the wait cursor.

// Exchanges download items a and b with their rows, images and slots.
void SwapDownloadItems(CMarovineDoc& doc, int a, int b);

// "URL順": items of one folder (the URL up to its last "/") come together,
// the folders in the order they first appear, the items of each folder in
// their old order.
void OrderDownloadsByFolder(CMarovineDoc& doc, UiServices& ui);

// "ばらばらにする": as many random exchanges as there are items. The random
// source answers 0..32767; it is replaceable for tests.
void ShuffleDownloads(CMarovineDoc& doc, UiServices& ui,
                      const std::function<int()>& random15 = nullptr);

// "アカウント順": spreads the items over their folders, so that consecutive
// items come from different folders (and servers) where possible.
void SpreadDownloadsOverFolders(CMarovineDoc& doc, UiServices& ui);

}  // namespace marovine
