#pragma once

namespace marovine::ui {

// The system's own command numbers: menus, the toolbar, the accelerators and
// the tray menu share them, so one handler serves every way to a command.
enum CommandId : int {
  ID_FILE_NEW = 57600,
  ID_FILE_OPEN = 57601,
  ID_FILE_SAVE = 57603,
  ID_FILE_SAVE_AS = 57604,
  ID_FILE_MRU_FIRST = 57616,  // four entries, 57616..57619
  ID_APP_ABOUT = 57664,
  ID_APP_EXIT = 57665,
  ID_VIEW_TOOLBAR = 59392,
  ID_VIEW_STATUS_BAR = 59393,

  ID_URL_ENTRY = 32773,
  ID_DEFAULT_PROPERTIES = 32774,
  ID_START = 32777,
  ID_DELETE_SELECTED = 32778,
  ID_IMPORT_FILE = 32781,
  ID_STOP_ALL = 32782,
  ID_STOP_LISTING = 32787,
  ID_PASTE_CLIPBOARD = 32789,
  ID_LINK_PROPERTIES = 32788,
  ID_DOWN_PROPERTIES_MENU = 32797,
  ID_SEARCH_AGAIN = 32798,
  ID_MARK_FINISHED = 32799,
  ID_LINK_PROPERTIES_MENU = 32803,
  ID_LINK_OPEN_URL = 32804,
  ID_LINK_DELETE = 32805,
  ID_DOWN_DELETE = 32806,
  ID_DOWN_OPEN_FILE = 32807,
  ID_DOWN_OPEN_URL = 32808,
  ID_DOWN_UNFINISHED = 32809,
  ID_DOWN_FINISHED = 32810,
  ID_DOWN_PROPERTIES = 32811,
  ID_LINK_UNFINISHED = 32812,
  ID_LINK_FINISHED = 32813,
  ID_DOWN_BANNER = 32814,
  ID_PROXY_SETTINGS = 32815,
  ID_SEQUENCE_URLS = 32816,
  ID_TRAY_RESTORE = 32818,
  ID_TRAY_EXIT = 32819,
  ID_TRAY_ABOUT = 32822,
  ID_LINK_DOWN = 32827,
  ID_LINK_UP = 32826,
  ID_HELP = 32823,
  ID_README = 32824,
  ID_HOME_PAGE = 32825,
  ID_DROP_TOOL = 32830,
  ID_BANNER_MERGE = 32831,
  ID_DOWN_OPEN_FOLDER = 32833,
  ID_LINK_OPEN_FOLDER = 32834,
  ID_CLIPBOARD_WATCH = 32835,
  ID_MODE_CRAWL = 32837,
  ID_MODE_WHOLE_SITE = 32838,
  ID_ORDER_SHUFFLE = 32843,
  ID_ORDER_SPREAD = 32844,
  ID_EXPORT_LINKS = 32846,
  ID_EXPORT_DOWNLOADS = 32847,
  ID_ORDER_BY_URL = 32848,
  ID_SEARCH = 32849,
  ID_FIND_NEXT = 32850,
  ID_REPLACE = 32851,
  ID_LINK_LOG = 32855,
  ID_QUICK_VIEW_SETTINGS = 32858,
  ID_DIALUP_SETTINGS = 32860,
  ID_ALBUM_SETTINGS = 32861,
  ID_ALBUM = 32863,
  ID_FILE_VIEW = 32879,
};

inline constexpr int kRecentFileCount = 4;
// A separator in the layout tables of the toolbar and the menus.
inline constexpr int kSeparator = 0;
// In a menu's layout, -1, -2, ... stand for its first, second, ... submenu.
constexpr int SubmenuEntry(int index) { return -1 - index; }
constexpr bool IsSubmenuEntry(int entry) { return entry < 0; }
constexpr int SubmenuIndex(int entry) { return -1 - entry; }

// wx takes menu and tool ids below 0x7fff only, so the window numbers the
// commands in two bands of its own: 32xxx becomes 2xxx, 57xxx..59xxx become
// 7xxx..9xxx. Everything outside the wx layer keeps the system's numbers.
constexpr int WxIdOf(int command) { return command >= 50000 ? command - 50000 : command - 30000; }
constexpr int CommandOfWxId(int wx_id) { return wx_id >= 7000 ? wx_id + 50000 : wx_id + 30000; }
static_assert(CommandOfWxId(WxIdOf(ID_START)) == ID_START);
static_assert(CommandOfWxId(WxIdOf(ID_VIEW_STATUS_BAR)) == ID_VIEW_STATUS_BAR);
static_assert(WxIdOf(ID_VIEW_STATUS_BAR) < 0x7fff && WxIdOf(ID_URL_ENTRY) > 0);

}  // namespace marovine::ui
