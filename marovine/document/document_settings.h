#pragma once

#include <cstdint>
#include <string>

namespace marovine {

// Registration modes as "DownLoad Way-Marovine" stores them.
inline constexpr int kRegisterWholeSite = 0;
inline constexpr int kRegisterCrawl = 1;

// The extension list the engine falls back to wherever a download extension
// key is missing.
inline constexpr const char* kDefaultDownloadExtensions =
    "jpg jpeg mpg mpeg JPG JPEG MPG MPEG zip lzh rar ra rm avi mov mp3 doc pdf";

// The settings the document keeps in memory, one field per key of
// "marovine.ini" that the loader reads. Values are kept as the file gives
// them: integers are not range-checked, flags are 0 off and anything else on,
// sizes are in kilobytes. The member initialisers are the defaults the
// program uses when a key is missing; the three folders depend on the user's
// desktop and are set by DefaultDocumentSettings.
struct DocumentSettings {
  int registration_mode = kRegisterCrawl;  // DownLoad Way-Marovine
  std::string crawl_folder;                // Kakunou Folder (section MarovineDownLoad)
  std::string crawl_extensions = kDefaultDownloadExtensions;       // Kakuchoushi
  std::string whole_site_extensions = kDefaultDownloadExtensions;  // MarugotoKakuchoushi
  // InsertToDown (section UrlInsert): extensions for pages without an owning link.
  std::string unowned_page_extensions = kDefaultDownloadExtensions;
  int simultaneous_transfers = 3;  // DouziDL
  std::string direct_folder;       // KakunouFolder (section DownLoad)
  int user_agent = 1;              // User Agent: 1 the browser-like text, 0 our own
  int send_referer = 1;            // Refer
  int auto_rename = 1;
  int limit_huge_files = 0;                                 // Dont Down Huge
  int huge_size_kb = 1000;                                  // Huge Size
  int skip_small_files = 1;                                 // Dont Down Gomi
  int small_size_kb = 15;                                   // Gomi Size
  int timeout_seconds = 50;                                 // TimeOut
  std::string page_extensions = "html htm HTML HTM shtml";  // InsertToLink (section Kensaku)
  std::string whole_site_folder;                            // MarugotoPass
  std::string ignore_words = "banner thumb_ th_ tn_ koukoku small_";  // Mushi
  int default_search_level = 1;                                       // KensakuLevel
  int follow_auto_jumps = 1;                                          // ZidouJump
  int follow_frames = 1;                                              // Frame
  int default_page_limit = 0;                                         // Page
  int skip_files_in_log = 1;                                          // Dont Down File in Log
  int take_extensions_always = 1;                                     // Muzyouken
  int clear_list_after_site = 1;        // Clear_List_After_Finish_Site
  int clear_item_after_download = 0;    // Clear_List_After_DownLoad
  int make_date_folder = 1;             // Make Date Name Folder
  int put_random_number = 1;            // Put Random Num
  int retry_failed_files = 1;           // Resume Dwonload
  int cant_retry_first = 1;             // Cant Retry First: the worker's resume policy
  int retry_limit = 1;                  // Retry Time
  int open_finished_file_on_click = 1;  // OpenFinishFile_After_DblClk
  int schedule_start_hour = 23;         // Hour1
  int schedule_start_minute = 2;        // Min1
  int schedule_end_hour = 7;            // Hour2
  int schedule_end_minute = 52;         // Min2
  int start_at_schedule = 0;            // StartMarovine
  int exit_at_schedule_end = 0;         // FinishMarovine
  int power_at_schedule_end = 0;        // PowerOffTime
  int power_when_all_done = 0;          // FinishPowerOff
  int exit_when_all_done = 0;           // FinishMarovineKensaku
  int skip_banners = 1;                 // DontDownBanner
  int default_group = 0;                // GroupNo
  int refetch_relative_address = 1;     // SoutaiAddress
  int auto_save = 0;                    // AutoSave
  int auto_save_minutes = 3;            // AutoSaveMinutes
  int write_heading_html = 1;           // MidashiHtml
  int fetch_updated_only = 1;           // KoushinFile
  int fetch_wallpapers = 1;             // Kabegami
  int whole_site_limit_huge = 0;        // NotDownHugeFile
  int whole_site_huge_size_kb = 1000;   // HugeFileSize
  int make_address_folder = 0;          // LinkFolder
  int write_site_detail_log = 0;        // SyousaiLog
  int unique_download_urls = 1;         // DontSameUrl
  int fetch_from_other_servers = 1;     // DownAnotherServer
  int max_link_depth = 0;               // KensakuKaisou
  int unique_link_urls = 1;             // DontSameLinkUrl
  int non_links_are_downloads = 0;      // LinkIgai
  int proxy_no_cache = 0;               // EnableCash (section Proxy)
  int free_host_page_cut = 1;           // HomeStead
  int make_title_folder = 0;            // TitleFolder
  int shortcut_title_folder = 0;        // MakeShortCutTitleFolder
  int delete_link_log = 1;              // DeleteLinkLog
  int restart_when_all_done = 0;        // FinishKensakuRetry
  int cut_unfetched_links = 1;          // CutImgSrc
  int log_modified_date = 0;            // WriteMDate
  int log_small_files = 0;              // WriteLogGomi
  int hang_up_when_all_done = 0;        // DialCut
  int keep_dial_up = 0;                 // DialKeep
  int album_after_site = 0;             // MakeAlbumAfterDownload
  int animate_tray_icon = 1;            // IconAnimation
  int no_end_when_start = 1;            // NoEndWhenStart
  int open_file_view_on_click = 1;      // FileViewDClick
  int open_failed_url_on_click = 1;     // OpenURL_BY_ERR_LIST
  int album_minimum_files = 20;         // AlubumFileNum
  int auto_start_crawl = 0;             // AutoMarovine
  int log_file_size = 0;                // WriteLogSize
  int check_log_size = 0;               // CheckLogSize (the worker gets it too)
  int quick_view_size = 0;              // ViewSize
  int quick_view_after_download = 0;    // ViewAfterDownLoad
  int quick_view_selected = 0;          // ViewAfterSelected
  // FastMode (section DownLoad): a transfer that ends wakes the scheduler at
  // once instead of at its next tick.
  int fast_mode = 0;

  bool operator==(const DocumentSettings&) const = default;
};

// The defaults, with the folders under the given storage folder (normally
// platform::DefaultStorageFolder(), which ends with a separator): crawl and
// direct downloads go there, whole-site mirrors into its "Marugoto/".
DocumentSettings DefaultDocumentSettings(const std::string& storage_folder);

// The user agent sent with every request.
const char* UserAgentText(const DocumentSettings& settings);

// Size limits of crawl-mode files in bytes, 0 meaning no limit. A size only
// counts while its switch is on; a limit that is not positive is no limit.
std::int64_t MaximumFileBytes(const DocumentSettings& settings);
std::int64_t MinimumFileBytes(const DocumentSettings& settings);
// The maximum of whole-site files.
std::int64_t WholeSiteMaximumFileBytes(const DocumentSettings& settings);

}  // namespace marovine
