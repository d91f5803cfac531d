#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"

namespace marovine {

// How a key of the default property sheet is shown.
enum class SheetControl {
  kCheck,      // a check box, written as 0 or 1
  kNumber,     // an integer edit with a range
  kText,       // a text edit
  kFolder,     // a text edit with a folder chooser; written with a trailing separator
  kChoice,     // radio buttons, one per value from `min`
  kSoundFile,  // a text edit with a "..." file chooser
  kLogDetail,  // a check box of the log-detail dialog the page opens
  kKept,       // not shown as such: read and written back as the page holds it
};

// One key of "marovine.ini" that a page of the sheet reads and writes.
struct SheetKey {
  std::string section;
  std::string name;
  SheetControl control = SheetControl::kCheck;
  std::string default_value;
  std::string caption;        // before the control (check boxes: their text)
  std::string caption_after;  // after an edit: its unit
  int min = 0;                // numbers and choices: the range of values
  int max = 0;
  // A number outside the range is refused with the range message; otherwise
  // it is clamped to the range.
  bool refuse_out_of_range = false;
  std::vector<std::string> choices;  // kChoice: the caption of min, min + 1, ...
  // A missing key takes the value read for this key of the same section.
  std::string default_key;
  bool same_row = false;  // laid out beside the key before it
};

struct SheetPage {
  std::string title;  // the tab
  std::vector<SheetKey> keys;
};

// The nine pages of the default property sheet, in tab order, with the folder
// defaults under the storage folder (which ends with a separator).
std::vector<SheetPage> SettingsSheetPages(const std::string& storage_folder);

// The texts a refused number edit shows.
inline constexpr const char* kNotANumberText = "整数を入力してください。";
std::string RangeMessage(int min, int max);

// An integer as typed into an edit of the sheet or a property dialog: blanks
// around it and a sign are allowed, nothing else. Out of min..max it is
// refused with the range message when `refuse_out_of_range`, else clamped.
// Answers the error text, or nothing with the value in `number`.
std::optional<std::string> ParseEditNumber(std::string_view text, int min, int max,
                                           bool refuse_out_of_range, int& number);

// The values of the sheet while it is open: read once from the settings
// file, edited, and written back in one rewrite of the file on OK. Nothing
// touches the file before Write, so Cancel (or closing the window) has nothing
// to undo.
class SettingsSheetModel {
 public:
  explicit SettingsSheetModel(const std::string& storage_folder);

  const std::vector<SheetPage>& pages() const { return pages_; }

  // Every key of every page; missing keys take their defaults, numbers are
  // brought into their ranges.
  void Read(const platform::Profile& profile);
  // Every key of every page in one atomic rewrite; false when the file could
  // not be written (it then stays as it was).
  [[nodiscard]] bool Write(platform::Profile& profile);

  const std::string& Text(std::string_view section, std::string_view name) const;
  int Int(std::string_view section, std::string_view name) const;
  bool Flag(std::string_view section, std::string_view name) const;
  void SetText(std::string_view section, std::string_view name, std::string value);
  void SetFlag(std::string_view section, std::string_view name, bool on);
  // Sets a number key, clamped to its range.
  void SetInt(std::string_view section, std::string_view name, int value);
  // A number as typed: an error text (the edit keeps its focus) or nothing
  // when the value was taken.
  std::optional<std::string> SetNumberText(std::string_view section, std::string_view name,
                                           std::string_view text);

  // Simultaneous downloads, one up or down within 0..10.
  void StepSimultaneousDownloads(int delta);

  // Extension groups. The shown list is "Kakuchoushi", the shown group
  // "GroupNo"; each group keeps its list and name in "Kakuchoushi%d" and
  // "GroupName%d". Moving stores the shown list into its group first; there
  // is no group before 0 or after 9.
  int ShownGroup() const;
  void MoveGroup(int delta);
  const std::string& ShownGroupName() const;
  void SetShownGroupName(std::string name);
  void StoreShownGroup();

  // The three folder options allow at most one: a click on one that leaves it
  // on clears the other two. The random-number prefix does not apply to
  // folders named after the address or the title.
  void ClickFolderOption(std::string_view name, bool on);
  bool RandomNumberEnabled() const;

 private:
  struct Value {
    const SheetKey* key;
    std::string text;
  };
  Value* Find(std::string_view section, std::string_view name);
  const Value* Find(std::string_view section, std::string_view name) const;
  Value& Get(std::string_view section, std::string_view name);
  const Value& Get(std::string_view section, std::string_view name) const;

  std::vector<SheetPage> pages_;
  std::vector<Value> values_;
};

}  // namespace marovine
