#pragma once

#include <optional>
#include <string>
#include <vector>

namespace marovine {
class CMarovineDoc;
}

namespace marovine::ui {

// What a double click on the download list does with the selected rows.
enum class DownloadClickAction { kNothing, kOpenFile, kOpenUrl, kProperties };
DownloadClickAction ChooseDownloadDoubleClick(const CMarovineDoc& doc,
                                              const std::vector<int>& selected);

// What a double click on the link list does: a finished site opens its file
// view when the settings say so, anything else its properties.
enum class LinkClickAction { kNothing, kFileView, kProperties };
LinkClickAction ChooseLinkDoubleClick(const CMarovineDoc& doc, const std::vector<int>& selected);

// Follows the download list's selection: when exactly one row is selected and
// it is not the row seen last, answers the file to show in the picture pane,
// if the settings ask for that and the item's file is there.
class SelectionWatch {
 public:
  std::optional<std::string> OnSelection(const CMarovineDoc& doc, const std::vector<int>& selected);
  // The rows moved (deleted, reordered): the next single selection is new.
  void Forget() { remembered_ = -1; }

 private:
  int remembered_ = -1;
};

}  // namespace marovine::ui
