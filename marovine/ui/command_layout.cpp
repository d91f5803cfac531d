#include "marovine/ui/command_layout.h"

#include <map>

#include "marovine/ui/command_ids.h"

namespace marovine::ui {
namespace {

const std::map<int, std::string>& Captions() {
  static const std::map<int, std::string> captions = {
      {ID_FILE_NEW, "新規作成(&N)\tCtrl+N"},
      {ID_FILE_OPEN, "開く(&O)...\tCtrl+O"},
      {ID_FILE_SAVE, "上書き保存(&S)\tCtrl+S"},
      {ID_FILE_SAVE_AS, "名前を付けて保存(&A)..."},
      {ID_APP_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"},
      {ID_APP_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報(&A)"},
      {ID_VIEW_TOOLBAR, "ツールバー(&T)"},
      {ID_VIEW_STATUS_BAR, "ステータスバー(&S)"},
      {ID_URL_ENTRY, "URLの入力(&I)"},
      {ID_DEFAULT_PROPERTIES, "デフォルトのプロパティー(&P)"},
      {ID_START, "まろびね開始(&S)\t[Space]"},
      {ID_DELETE_SELECTED, "リストから削除(&D)"},
      {ID_IMPORT_FILE, "ファイルからインポート(&F)"},
      {ID_STOP_ALL, "全てを停止(&E)"},
      {ID_STOP_LISTING, "リストアップを停止(&L)"},
      {ID_PASTE_CLIPBOARD, "クリップボードから貼り付け(&C)"},
      {ID_SEARCH_AGAIN, "検索やり直し(&R)"},
      {ID_MARK_FINISHED, "終了済みにする(&F)"},
      {ID_BANNER_MERGE, "バナーファイルの更新(&B)"},
      {ID_EXPORT_LINKS, "リンクリスト(&L)"},
      {ID_EXPORT_DOWNLOADS, "ダウンロードリスト(&D)"},
      {ID_ORDER_BY_URL, "URL順(&U)"},
      {ID_ORDER_SHUFFLE, "ばらばらにする(&R)"},
      {ID_ORDER_SPREAD, "アカウント順(&A)"},
      {ID_REPLACE, "文字列置換(&P)"},
      {ID_LINK_PROPERTIES, "リストの個別プロパティー(&L)"},
      {ID_DOWN_PROPERTIES_MENU, "ダウンロードの個別プロパティー(&D)"},
      {ID_DROP_TOOL, "tarqダイアログ(N)"},
      {ID_HELP, "ヘルプを開く(&H)"},
      {ID_README, "ReadMeを開く(&R)"},
      {ID_HOME_PAGE, "marovineホームページ(&N)"},
      {ID_PROXY_SETTINGS, "Proxy設定(&X)"},
      {ID_SEQUENCE_URLS, "連番登録支援(&R)"},
      {ID_LINK_UP, "リンクリストの項目の位置を上に(&U)"},
      {ID_LINK_DOWN, "リンクリストの項目の位置を下に(&D)"},
      {ID_CLIPBOARD_WATCH, "クリップボードの監視ON/OFF(&W)"},
      {ID_MODE_CRAWL, "まろびねダウンロードモード(&N)"},
      {ID_MODE_WHOLE_SITE, "丸ごとダウンロードモード(&M)"},
      {ID_SEARCH, "検索(&S)\t[Ctrl+F]"},
      {ID_FIND_NEXT, "次を検索(&N)\t[F3]"},
      {ID_QUICK_VIEW_SETTINGS, "QuickViewerの設定(&Q)"},
      {ID_DIALUP_SETTINGS, "ダイヤルアップの設定(&U)"},
      {ID_ALBUM_SETTINGS, "Html Albumの設定(&H)"},
      {ID_ALBUM, "アルバムの作成(&A)"},
      {ID_FILE_VIEW, "FileView(&V)"},
      // The context menus' own wording.
      {ID_LINK_DELETE, "削除(&D)"},
      {ID_LINK_OPEN_URL, "URLを開く(&U)"},
      {ID_LINK_OPEN_FOLDER, "フォルダを開く(&F)"},
      {ID_LINK_UNFINISHED, "未終了にする(&N)"},
      {ID_LINK_FINISHED, "終了済みにする(&E)"},
      {ID_LINK_LOG, "リンクリストのログ表示(&L)"},
      {ID_LINK_PROPERTIES_MENU, "プロパティー(&P)"},
      {ID_DOWN_DELETE, "削除(&D)"},
      {ID_DOWN_BANNER, "バナー登録(&B)"},
      {ID_DOWN_OPEN_FOLDER, "フォルダを開く(&F)"},
      {ID_DOWN_OPEN_FILE, "ファイルとして開く(&O)"},
      {ID_DOWN_OPEN_URL, "URLとして開く(&U)"},
      {ID_DOWN_UNFINISHED, "未終了にする(&N)"},
      {ID_DOWN_FINISHED, "終了済みにする(&E)"},
      {ID_DOWN_PROPERTIES, "プロパティー(&P)"},
  };
  return captions;
}

}  // namespace

std::string CommandCaption(int id) {
  if (id >= ID_FILE_MRU_FIRST && id < ID_FILE_MRU_FIRST + kRecentFileCount) {
    return "最近使ったﾌｧｲﾙ";
  }
  auto found = Captions().find(id);
  return found == Captions().end() ? std::string() : found->second;
}

std::string CommandToolTip(int id) {
  std::string text = CommandCaption(id);
  if (auto tab = text.find('\t'); tab != std::string::npos) text.erase(tab);
  if (auto mnemonic = text.find("(&"); mnemonic != std::string::npos) {
    auto close = text.find(')', mnemonic);
    if (close != std::string::npos) text.erase(mnemonic, close - mnemonic + 1);
  }
  if (text.size() >= 3 && text.compare(text.size() - 3, 3, "...") == 0)
    text.resize(text.size() - 3);
  return text;
}

const std::vector<int>& ToolbarLayout() {
  static const std::vector<int> layout = {
      ID_FILE_NEW,        ID_FILE_OPEN,          ID_FILE_SAVE,      kSeparator,
      ID_START,           ID_STOP_LISTING,       ID_STOP_ALL,       kSeparator,
      ID_MODE_CRAWL,      ID_MODE_WHOLE_SITE,    kSeparator,        ID_URL_ENTRY,
      ID_DELETE_SELECTED, ID_PASTE_CLIPBOARD,    ID_IMPORT_FILE,    ID_LINK_DOWN,
      ID_LINK_UP,         ID_SEQUENCE_URLS,      kSeparator,        ID_CLIPBOARD_WATCH,
      kSeparator,         ID_DEFAULT_PROPERTIES, ID_PROXY_SETTINGS, ID_DIALUP_SETTINGS,
      ID_ALBUM_SETTINGS,
  };
  return layout;
}

const std::vector<MenuLayout>& MainMenuLayout() {
  static const std::vector<MenuLayout> layout = {
      {"ファイル(&F)",
       {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, kSeparator, ID_BANNER_MERGE,
        SubmenuEntry(0), kSeparator, ID_FILE_MRU_FIRST, kSeparator, ID_APP_EXIT},
       {{"リストのエクスポート(&E)", {ID_EXPORT_LINKS, ID_EXPORT_DOWNLOADS}, {}}}},
      {"編集(&E)",
       {ID_URL_ENTRY, ID_DELETE_SELECTED, ID_SEQUENCE_URLS, kSeparator, ID_LINK_UP, ID_LINK_DOWN,
        kSeparator, ID_IMPORT_FILE, ID_PASTE_CLIPBOARD, ID_CLIPBOARD_WATCH, kSeparator,
        ID_MODE_CRAWL, ID_MODE_WHOLE_SITE, kSeparator, SubmenuEntry(0), kSeparator, ID_SEARCH,
        ID_FIND_NEXT, ID_REPLACE},
       {{"ダウンロードリストの並べ替え(&O)",
         {ID_ORDER_BY_URL, ID_ORDER_SHUFFLE, ID_ORDER_SPREAD},
         {}}}},
      {"表示(&V)",
       {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, kSeparator, ID_LINK_LOG, ID_FILE_VIEW},
       {}},
      {"まろびね(&M)",
       {ID_START, ID_STOP_LISTING, ID_STOP_ALL, kSeparator, ID_SEARCH_AGAIN, ID_MARK_FINISHED,
        kSeparator, ID_ALBUM, ID_DROP_TOOL},
       {}},
      {"設定(&S)",
       {ID_DEFAULT_PROPERTIES, ID_PROXY_SETTINGS, ID_QUICK_VIEW_SETTINGS, ID_DIALUP_SETTINGS,
        ID_ALBUM_SETTINGS, kSeparator, ID_LINK_PROPERTIES, ID_DOWN_PROPERTIES_MENU},
       {}},
      {"ヘルプ(&H)", {ID_HELP, ID_README, ID_HOME_PAGE, kSeparator, ID_APP_ABOUT}, {}},
  };
  return layout;
}

const std::vector<int>& LinkContextMenuLayout() {
  static const std::vector<int> layout = {
      ID_LINK_DELETE,     ID_LINK_OPEN_URL, ID_LINK_OPEN_FOLDER,
      ID_LINK_UNFINISHED, ID_LINK_FINISHED, ID_LINK_LOG,
      ID_FILE_VIEW,       ID_ALBUM,         ID_LINK_PROPERTIES_MENU,
  };
  return layout;
}

const std::vector<int>& DownloadContextMenuLayout() {
  static const std::vector<int> layout = {
      ID_DOWN_DELETE,   ID_DOWN_BANNER,     ID_DOWN_OPEN_FOLDER, ID_DOWN_OPEN_FILE,
      ID_DOWN_OPEN_URL, ID_DOWN_UNFINISHED, ID_DOWN_FINISHED,    ID_DOWN_PROPERTIES,
  };
  return layout;
}

std::string ContextMenuCaption(int id) {
  if (id == ID_FILE_VIEW) return "FileViewを表示(&V)";
  if (id == ID_LINK_LOG) return "ログを表示(&L)";
  return CommandCaption(id);
}

std::vector<int> PresentMenuEntries(const MenuLayout& menu, const std::function<bool(int)>& works) {
  return PresentEntries(menu.ids, [&](int id) {
    if (!IsSubmenuEntry(id)) return works(id);
    const auto index = static_cast<std::size_t>(SubmenuIndex(id));
    return index < menu.submenus.size() && !PresentMenuEntries(menu.submenus[index], works).empty();
  });
}

std::vector<int> PresentEntries(const std::vector<int>& layout,
                                const std::function<bool(int)>& works) {
  std::vector<int> entries;
  for (int id : layout) {
    if (id == kSeparator) {
      if (!entries.empty() && entries.back() != kSeparator) entries.push_back(kSeparator);
    } else if (works(id)) {
      entries.push_back(id);
    }
  }
  if (!entries.empty() && entries.back() == kSeparator) entries.pop_back();
  return entries;
}

}  // namespace marovine::ui
