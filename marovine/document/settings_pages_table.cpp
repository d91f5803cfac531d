#include <string>
#include <utility>
#include <vector>

#include "marovine/document/document_settings.h"
#include "marovine/document/settings_pages.h"

namespace marovine {
namespace {

constexpr const char* kPageExtensions = "htm html HTML HTM shtml SHTML";

// Builders that keep the table below one line per control.
struct PageBuilder {
  SheetPage page;
  std::string section;

  SheetKey& Add(SheetControl control, std::string name, std::string default_value,
                std::string caption) {
    SheetKey key;
    key.section = section;
    key.name = std::move(name);
    key.control = control;
    key.default_value = std::move(default_value);
    key.caption = std::move(caption);
    page.keys.push_back(std::move(key));
    return page.keys.back();
  }
  SheetKey& Check(std::string name, int default_value, std::string caption) {
    return Add(SheetControl::kCheck, std::move(name), std::to_string(default_value),
               std::move(caption));
  }
  SheetKey& Number(std::string name, int default_value, int min, int max, std::string caption,
                   std::string unit) {
    SheetKey& key = Add(SheetControl::kNumber, std::move(name), std::to_string(default_value),
                        std::move(caption));
    key.min = min;
    key.max = max;
    key.caption_after = std::move(unit);
    return key;
  }
  SheetKey& Text(std::string name, std::string default_value, std::string caption) {
    return Add(SheetControl::kText, std::move(name), std::move(default_value), std::move(caption));
  }
  SheetKey& Folder(std::string name, std::string default_value, std::string caption) {
    return Add(SheetControl::kFolder, std::move(name), std::move(default_value),
               std::move(caption));
  }
  SheetKey& Kept(std::string name, std::string default_value) {
    return Add(SheetControl::kKept, std::move(name), std::move(default_value), "");
  }
};

PageBuilder Page(std::string title, std::string section) {
  PageBuilder builder;
  builder.page.title = std::move(title);
  builder.section = std::move(section);
  return builder;
}

// The largest count or size a page takes; beyond it the engine's arithmetic
// (kilobytes to bytes, seconds to ticks) would no longer mean anything.
constexpr int kLarge = 1000000;

SheetPage DownloadPage(const std::string& folder) {
  PageBuilder p = Page("ダウンロード", "DownLoad");
  p.Check("Resume Dwonload", 1, "ダウンロードが失敗した場合、レジューム再開");
  p.Number("Retry Time", 50, 0, kLarge, "", "回まで").same_row = true;
  p.Check("Cant Retry First", 0, "レジュームできない場合は、ダウンロードを再開しない");
  p.Check("Refer", 1, "Referを設定する");
  p.Check("User Agent", 1, "User AgentをＭＳＩＥ５に設定する。");
  p.Number("DouziDL", 3, 0, 10, "同時ダウンロード数：", "");
  p.Folder("KakunouFolder", folder, "直接ファイルをダウンロードする場合のファイル格納フォルダ");
  p.Number("TimeOut", 50, 0, kLarge, "タイムアウト：", "秒");
  p.Check("SoutaiAddress", 1, "相対アドレスから直接ダウンロード");
  p.Check("HomeStead", 1, "HomeStead高速接続対策を試みる。(2000/7確認)");
  p.Number("RetryWaitTime", 5, 0, kLarge, "リトライ待ち時間：", "秒");
  p.Check("GeocitiesComDl", 0, "geocities.com DL対策(2001/1確認)");
  p.Check("Mushi404", 1, "404Forbiddenでもリトライする。");
  p.Check("AutoMarovine", 0, "自動的にまろびねを開始する。");
  p.Check("RetrySError", 0, "サーバーへの接続エラーでもリトライする。");
  p.Kept("DownLoad Way-Marovine", "1");
  p.Kept("Download Way-Marugoto", "0");
  return std::move(p.page);
}

SheetPage CrawlPage(const std::string& folder) {
  PageBuilder p = Page("まろびねDownLoad", "MarovineDownLoad");
  p.Check("Dont Down Gomi", 1, "ごみファイルはダウンロードしない　→");
  p.Number("Gomi Size", 15, 0, kLarge, "", "Kb以下").same_row = true;
  p.Check("Dont Down Huge", 0, "でかいファイルはダウンロードしない　→");
  p.Number("Huge Size", 1000, 0, kLarge, "", "Kb以上").same_row = true;
  p.Text("Kakuchoushi", kDefaultDownloadExtensions,
         "ダウンロード対象の拡張子（半角スペースで区切ってください。）");
  p.Folder("Kakunou Folder", folder, "ダウンロードファイル格納フォルダ");
  p.Check("Auto Rename", 1, "ファイル名重複時、自動でリネームする");
  p.Check("Dont Down File in Log", 1, "過去にダウンロードしたファイルは、ダウンロードしない");
  p.Check("Make Date Name Folder", 1, "この下に、今日の日付でフォルダを作り、その中に格納");
  p.Check("LinkFolder", 0, "この下に、アドレス名でフォルダを作り、その中に格納");
  p.Check("TitleFolder", 0, "この下に、サイトのタイトル名でフォルダを作り、その中に格納");
  p.Check("Put Random Num", 1, "サイトごとに、ファイルの頭に乱数をつける。");
  p.Check("Muzyouken", 1, "ダウンロード対象のファイルは､無条件で受け入れる。");
  SheetKey& group = p.Number("GroupNo", 0, 0, 9, "GroupNo.：", "");
  group.control = SheetControl::kKept;  // moved only by the arrows
  p.Check("MakeShortCutTitleFolder", 0,
          "ショートカット(*.url)インポート時、タイトルでフォルダを掘る");
  for (int number = 0; number < 10; ++number) {
    p.Kept("Kakuchoushi" + std::to_string(number), kDefaultDownloadExtensions).default_key =
        "Kakuchoushi";
    p.Kept("GroupName" + std::to_string(number), "無題");
  }
  auto detail = [&](std::string name, std::string caption) {
    p.Add(SheetControl::kLogDetail, std::move(name), "0", std::move(caption));
  };
  detail("WriteMDate", "更新日時を記録する");
  detail("CheckMDate", "更新日時をチェックする");
  detail("WriteLogGomi", "ゴミファイルも記録する");
  detail("WriteLogSize", "ファイルサイズを記録する");
  detail("CheckLogSize", "ファイルサイズをチェックする");
  return std::move(p.page);
}

SheetPage WholeSitePage(const std::string& folder) {
  PageBuilder p = Page("丸ごとDownLoad", "MarugotoDownload");
  p.Folder("MarugotoPass", folder, "丸ごとダウンロード用格納フォルダ：");
  p.Text("MarugotoKakuchoushi", "gif GIF jpg JPG jpeg JPEG txt TXT mid MID cgi",
         "ダウンロード対象の拡張子：（スペースで区切ってください）");
  p.Check("MidashiHtml", 1, "見出し用HTMLファイルを作る");
  p.Check("KoushinFile", 1, "更新されたファイルのみダウンロードする");
  p.Check("Kabegami", 1, "壁紙もダウンロードする");
  p.Check("NotDownHugeFile", 0, "でかいファイルはダウンロードしない→");
  p.Number("HugeFileSize", 1000, 0, kLarge, "", "Kb以上").same_row = true;
  p.Check("DownAnotherServer", 1, "ダウンロード対象のファイルは、無条件でダウンロード");
  p.Check("CutImgSrc", 1, "ダウンロードしないファイルのリンクは、カットする");
  return std::move(p.page);
}

SheetPage UrlInsertPage() {
  PageBuilder p = Page("URL登録", "UrlInsert");
  p.Text("InsertToLink", kPageExtensions, "リンクビューに登録するファイルの拡張子");
  p.Text("InsertToDown", kDefaultDownloadExtensions, "ダウンロードビューに登録する拡張子");
  p.Text("Mushi", "thumb th_ tn_ banner small", "無視する文字列（スペースで区切ってください）");
  p.Check("Kakunin", 0, "クリップボードから直接登録する時、確認する。");
  p.Check("LinkIgai", 0, "リンクビューに登録する拡張子以外はダウンロード対象にする");
  return std::move(p.page);
}

SheetPage LinkSearchPage() {
  PageBuilder p = Page("リンク検索対象", "Kensaku");
  SheetKey& level = p.Add(SheetControl::kChoice, "KensakuLevel", "2", "");
  level.max = 3;
  level.choices = {"Level0 : 全てのリンク", "Level1 : サイト内のリンク",
                   "Level2 : サイトの層以下のリンク", "Level3 : リンクサイト検索の設定"};
  p.Text("InsertToLink", kPageExtensions, "リンクを追う拡張子");
  p.Number("Page", 0, 0, kLarge, "一つのサイトで最高", "ページ検索する。");
  p.Check("Frame", 1, "フレームは、無条件にリストに加える。");
  p.Check("ZidouJump", 1, "自動ジャンプは、無条件にリストに加える。");
  p.Check("FindLinkFromRamFile", 1, "ramファイルから親ファイルを割り出し、ダウンロードする。");
  p.Number("KensakuKaisou", 0, 0, kLarge, "最大の検索の階層の深さを",
           "階層に設定する。（０で無効化）");
  p.Check("DontListFromLinkSite", 1, "リンクサイトから一度入力されたURLは、今後登録させない。");
  return std::move(p.page);
}

SheetPage GeneralPage() {
  PageBuilder p = Page("一般オプション", "Ippan");
  p.Check("Clear_List_After_Finish_Site", 1,
          "一つのサイトの検索が終わるごとに､リストをクリアする。");
  p.Check("Clear_List_After_DownLoad", 0, "ダウンロードが正常終了するごとに､項目を削除する。");
  p.Check("OpenFinishFile_After_DblClk", 1,
          "処理終了済みの項目ダブルクリックで､そのファイルを開く。");
  p.Check("OpenURL_BY_ERR_LIST", 1, "エラー終了の項目ダブルクリックで、URLをブラウザで開く。");
  p.Check("ReadMrvStartUp", 1, "起動時､自動的にdefault.mrvを読み込む。");
  p.Check("SaveMrvFinish", 1, "終了時､自動的にmrvファイルを更新する。");
  p.Check("AutoSave", 0, "オートセーブ");
  SheetKey& minutes = p.Number("AutoSaveMinutes", 3, 0, 60, "", "分ごと");
  minutes.same_row = true;
  minutes.refuse_out_of_range = true;
  p.Check("SyousaiLog", 0, "ダウンロードしたファイルの詳細なログを残す。(FileViewに必要）");
  p.Check("DontSameUrl", 1, "ダウンロードリストに同じURLを登録させない");
  p.Check("DontSameLinkUrl", 1, "リンクリストに同じURLを登録させない。");
  p.Check("DeleteLinkLog", 1, "リンクリストから項目を削除した時、同時にログも削除する。");
  p.Check("StartMinimum", 0, "起動時､ウインドウを最小化で表示する。");
  p.Check("IconAnimation", 1, "まろびね中タスクトレイのアイコンをアニメーションさせる。");
  p.Check("NoEndWhenStart", 1, "起動時、自動終了を無効にする。");
  p.Check("FileViewDClick", 1, "終了済みのリンクリストをダブルクリックすると、FileViewを開く。");
  return std::move(p.page);
}

SheetPage SchedulePage() {
  PageBuilder p = Page("スケジュール", "Schedule");
  p.Number("Hour1", 23, 0, 23, "", "時");
  p.Number("Min1", 2, 0, 59, "", "分に").same_row = true;
  p.Check("StartMarovine", 0, "まろびね開始").same_row = true;
  p.Number("Hour2", 7, 0, 23, "", "時");
  p.Number("Min2", 52, 0, 59, "", "分に").same_row = true;
  p.Check("FinishMarovine", 0, "まろびね終了").same_row = true;
  p.Check("PowerOffTime", 0, "まろびね終了＋パソコンの電源管理");
  p.Check("DialCutTime", 0, "ダイヤルアップの切断");
  p.Check("FinishMarovineKensaku", 0, "全ての検索が終わると､まろびねを終了させる。");
  p.Check("FinishPowerOff", 0, "全ての検索が終わると､パソコンの電源管理をする。");
  p.Check("FinishKensakuRetry", 0, "全ての検索が終わると、もう一度始めから検索をはじめる。");
  p.Check("DialCut", 0, "全ての検索が終わると、ダイヤルアップ回線を切る。");
  p.Check("DialKeep", 0, "この時間帯は、ダイヤルアップ接続を保持する。");
  SheetKey& power = p.Add(SheetControl::kChoice, "Power", "2", "");
  power.max = 2;
  power.choices = {"スタンバイ", "ハイバネーション(休止状態)", "電源を切る"};
  return std::move(p.page);
}

SheetPage BannerPage() {
  PageBuilder p = Page("バナー登録", "Banner");
  p.Check("DontDownBanner", 1, "バナー登録されたファイルはダウンロードしない。");
  p.Check("DeleteBanner", 1, "バナー登録する際､同時に削除する。");
  return std::move(p.page);
}

SheetPage SoundPage() {
  PageBuilder p = Page("サウンド", "Sound");
  const char* events[] = {
      "まろびね開始",   "まろびね停止",           "起動",         "終了", "ダウンロード終了",
      "リンク検索終了", "全てのダウンロード完了", "URLの貼り付け"};
  for (int event = 1; event <= 8; ++event) {
    p.Check("Check" + std::to_string(event), 0, events[event - 1]);
    p.Add(SheetControl::kSoundFile, "Sound" + std::to_string(event), "", "").same_row = true;
  }
  p.Check("TestSound", 0, "チェックした時にサウンドをテストプレイする。");
  return std::move(p.page);
}

}  // namespace

std::vector<SheetPage> SettingsSheetPages(const std::string& storage_folder) {
  const DocumentSettings folders = DefaultDocumentSettings(storage_folder);
  std::vector<SheetPage> pages;
  pages.push_back(DownloadPage(folders.direct_folder));
  pages.push_back(CrawlPage(folders.crawl_folder));
  pages.push_back(WholeSitePage(folders.whole_site_folder));
  pages.push_back(UrlInsertPage());
  pages.push_back(LinkSearchPage());
  pages.push_back(GeneralPage());
  pages.push_back(SchedulePage());
  pages.push_back(BannerPage());
  pages.push_back(SoundPage());
  return pages;
}

}  // namespace marovine
