#pragma once

#include <functional>
#include <string>
#include <vector>

namespace marovine::ui {

// The menu text of a command ("開く(&O)...\tCtrl+O"); empty for ids the
// program does not know.
std::string CommandCaption(int id);
// The toolbar's tooltip: the caption without its mnemonic, ellipsis and key.
std::string CommandToolTip(int id);

// The toolbar's 25 entries from the left, kSeparator between the groups.
const std::vector<int>& ToolbarLayout();

struct MenuLayout {
  const char* title;
  std::vector<int> ids;  // kSeparator between groups, SubmenuEntry(i) for submenus[i]
  std::vector<MenuLayout> submenus;
};
const std::vector<MenuLayout>& MainMenuLayout();
const std::vector<int>& LinkContextMenuLayout();
const std::vector<int>& DownloadContextMenuLayout();

// The link list's context menu names FileView its own way.
std::string ContextMenuCaption(int id);

// The entries of a layout whose commands work now: missing commands leave no
// trace, and no separator is left at either end or next to another.
std::vector<int> PresentEntries(const std::vector<int>& layout,
                                const std::function<bool(int)>& works);
// The same for a menu: a submenu stays when any of its entries works.
std::vector<int> PresentMenuEntries(const MenuLayout& menu, const std::function<bool(int)>& works);

}  // namespace marovine::ui
