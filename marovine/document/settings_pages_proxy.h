#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "marovine/engine/proxy_settings.h"
#include "platform/profile.h"

namespace marovine {

// The proxy dialog while it is open: the keys of section "Proxy" and the
// lines of "proxy.txt", edited in memory and written only on OK.
class ProxyDialogModel {
 public:
  // The three groups of radio buttons.
  enum class Group { kSelection, kOnError, kListAction };

  explicit ProxyDialogModel(const std::string& program_folder);

  const std::string& proxy_list_path() const { return proxy_list_path_; }

  void Read(const platform::Profile& profile);
  // "proxy.txt" (the list, one entry a line) and then every key in one
  // rewrite of the settings file. False when either could not be written.
  [[nodiscard]] bool Write(platform::Profile& profile) const;

  const std::vector<std::string>& entries() const { return entries_; }
  // Appends the entry box's text; a blank text adds nothing (false).
  bool Add(std::string_view text);
  // Removes an entry; with no valid selection the text to show instead.
  std::optional<std::string> Remove(int index);
  // The text a double click on an entry puts into the fixed-proxy box.
  void UseEntryAsDefault(int index);

  // The chosen button of a group (0-based, in the dialog's order). A file
  // with no flag of a group on shows the group's first button.
  int Chosen(Group group) const;
  // Sets the button's flag and clears the others of its group.
  void Choose(Group group, int button);

  ProxySettings settings;

 private:
  std::string proxy_list_path_;
  std::vector<std::string> entries_;
};

// The caption of each button of a group, in the dialog's order.
std::vector<std::string> ProxyChoiceCaptions(ProxyDialogModel::Group group);

}  // namespace marovine
