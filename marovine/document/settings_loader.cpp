#include "marovine/document/settings_loader.h"

#include <array>

namespace marovine {
namespace {

using D = DocumentSettings;
using W = WorkerSettings;

constexpr const char* kDownLoad = "DownLoad";
constexpr const char* kMarovine = "MarovineDownLoad";
constexpr const char* kMarugoto = "MarugotoDownload";
constexpr const char* kUrlInsert = "UrlInsert";
constexpr const char* kKensaku = "Kensaku";
constexpr const char* kIppan = "Ippan";
constexpr const char* kSchedule = "Schedule";
constexpr const char* kAlbum = "MarovineHTMLAlbum";
constexpr const char* kQuickView = "QuickView";

// Kept in the order the program has always read them. The mode flag comes
// first: it decides which of the next three keys are read.
const std::array kKeys = {
    SettingKey{kDownLoad, "DownLoad Way-Marovine", &D::registration_mode},
    SettingKey{kMarovine, "Kakunou Folder", &D::crawl_folder, ReadWhen::kCrawlMode},
    SettingKey{kMarovine, "Kakuchoushi", &D::crawl_extensions, ReadWhen::kCrawlMode},
    SettingKey{kMarugoto, "MarugotoKakuchoushi", &D::whole_site_extensions,
               ReadWhen::kWholeSiteMode},
    SettingKey{kUrlInsert, "InsertToDown", &D::unowned_page_extensions},
    SettingKey{kDownLoad, "DouziDL", &D::simultaneous_transfers},
    SettingKey{kDownLoad, "KakunouFolder", &D::direct_folder},
    SettingKey{kDownLoad, "User Agent", &D::user_agent},
    SettingKey{kDownLoad, "Refer", &D::send_referer},
    SettingKey{kMarovine, "Auto Rename", &D::auto_rename},
    SettingKey{kMarovine, "Dont Down Huge", &D::limit_huge_files},
    SettingKey{kMarovine, "Huge Size", &D::huge_size_kb},
    SettingKey{kMarovine, "Dont Down Gomi", &D::skip_small_files},
    SettingKey{kMarovine, "Gomi Size", &D::small_size_kb},
    SettingKey{kDownLoad, "TimeOut", &D::timeout_seconds},
    SettingKey{kKensaku, "InsertToLink", &D::page_extensions},
    SettingKey{kMarugoto, "MarugotoPass", &D::whole_site_folder},
    SettingKey{kUrlInsert, "Mushi", &D::ignore_words},
    SettingKey{kKensaku, "KensakuLevel", &D::default_search_level},
    SettingKey{kKensaku, "ZidouJump", &D::follow_auto_jumps},
    SettingKey{kKensaku, "Frame", &D::follow_frames},
    SettingKey{kKensaku, "Page", &D::default_page_limit},
    SettingKey{kMarovine, "Dont Down File in Log", &D::skip_files_in_log},
    SettingKey{kMarovine, "Muzyouken", &D::take_extensions_always},
    SettingKey{kIppan, "Clear_List_After_Finish_Site", &D::clear_list_after_site},
    SettingKey{kIppan, "Clear_List_After_DownLoad", &D::clear_item_after_download},
    SettingKey{kMarovine, "Make Date Name Folder", &D::make_date_folder},
    SettingKey{kMarovine, "Put Random Num", &D::put_random_number},
    SettingKey{kDownLoad, "Resume Dwonload", &D::retry_failed_files},
    SettingKey{kDownLoad, "Cant Retry First", &D::cant_retry_first},
    SettingKey{kDownLoad, "Retry Time", &D::retry_limit},
    SettingKey{kIppan, "OpenFinishFile_After_DblClk", &D::open_finished_file_on_click},
    SettingKey{kSchedule, "Hour1", &D::schedule_start_hour},
    SettingKey{kSchedule, "Min1", &D::schedule_start_minute},
    SettingKey{kSchedule, "Hour2", &D::schedule_end_hour},
    SettingKey{kSchedule, "Min2", &D::schedule_end_minute},
    SettingKey{kSchedule, "StartMarovine", &D::start_at_schedule},
    SettingKey{kSchedule, "FinishMarovine", &D::exit_at_schedule_end},
    SettingKey{kSchedule, "PowerOffTime", &D::power_at_schedule_end},
    SettingKey{kSchedule, "FinishPowerOff", &D::power_when_all_done},
    SettingKey{kSchedule, "FinishMarovineKensaku", &D::exit_when_all_done},
    SettingKey{"Banner", "DontDownBanner", &D::skip_banners},
    SettingKey{kMarovine, "GroupNo", &D::default_group},
    SettingKey{kDownLoad, "SoutaiAddress", &D::refetch_relative_address},
    SettingKey{kIppan, "AutoSave", &D::auto_save},
    SettingKey{kIppan, "AutoSaveMinutes", &D::auto_save_minutes},
    SettingKey{kMarugoto, "MidashiHtml", &D::write_heading_html},
    SettingKey{kMarugoto, "KoushinFile", &D::fetch_updated_only},
    SettingKey{kMarugoto, "Kabegami", &D::fetch_wallpapers},
    SettingKey{kMarugoto, "NotDownHugeFile", &D::whole_site_limit_huge},
    SettingKey{kMarugoto, "HugeFileSize", &D::whole_site_huge_size_kb},
    SettingKey{kMarovine, "LinkFolder", &D::make_address_folder},
    SettingKey{kIppan, "SyousaiLog", &D::write_site_detail_log},
    SettingKey{kIppan, "DontSameUrl", &D::unique_download_urls},
    SettingKey{kMarugoto, "DownAnotherServer", &D::fetch_from_other_servers},
    SettingKey{kKensaku, "KensakuKaisou", &D::max_link_depth},
    SettingKey{kIppan, "DontSameLinkUrl", &D::unique_link_urls},
    SettingKey{kUrlInsert, "LinkIgai", &D::non_links_are_downloads},
    SettingKey{"Proxy", "EnableCash", &D::proxy_no_cache},
    SettingKey{kDownLoad, "HomeStead", &D::free_host_page_cut},
    SettingKey{kMarovine, "TitleFolder", &D::make_title_folder},
    SettingKey{kMarovine, "MakeShortCutTitleFolder", &D::shortcut_title_folder},
    SettingKey{kIppan, "DeleteLinkLog", &D::delete_link_log},
    SettingKey{kSchedule, "FinishKensakuRetry", &D::restart_when_all_done},
    SettingKey{kMarugoto, "CutImgSrc", &D::cut_unfetched_links},
    SettingKey{kMarovine, "WriteMDate", &D::log_modified_date},
    SettingKey{kMarovine, "WriteLogGomi", &D::log_small_files},
    SettingKey{kSchedule, "DialCut", &D::hang_up_when_all_done},
    SettingKey{kSchedule, "DialKeep", &D::keep_dial_up},
    SettingKey{kAlbum, "MakeAlbumAfterDownload", &D::album_after_site},
    SettingKey{kIppan, "IconAnimation", &D::animate_tray_icon},
    SettingKey{kIppan, "NoEndWhenStart", &D::no_end_when_start},
    SettingKey{kIppan, "FileViewDClick", &D::open_file_view_on_click},
    SettingKey{kIppan, "OpenURL_BY_ERR_LIST", &D::open_failed_url_on_click},
    SettingKey{kAlbum, "AlubumFileNum", &D::album_minimum_files},
    SettingKey{kDownLoad, "AutoMarovine", &D::auto_start_crawl},
    SettingKey{kMarovine, "WriteLogSize", &D::log_file_size},
    SettingKey{kMarovine, "CheckLogSize", &D::check_log_size},
    SettingKey{kMarovine, "CheckMDate", &W::check_m_date},
    SettingKey{kDownLoad, "RetryWaitTime", &W::retry_wait_time},
    SettingKey{kDownLoad, "GeocitiesComDl", &W::geocities_com_dl},
    SettingKey{kDownLoad, "Mushi404", &W::mushi_404},
    SettingKey{kDownLoad, "RetrySError", &W::retry_s_error},
    SettingKey{kQuickView, "ViewSize", &D::quick_view_size},
    SettingKey{kQuickView, "ViewAfterDownLoad", &D::quick_view_after_download},
    SettingKey{kQuickView, "ViewAfterSelected", &D::quick_view_selected},
    // Ours, after the keys the program has always read.
    SettingKey{kDownLoad, "FastMode", &D::fast_mode},
    SettingKey{kDownLoad, "AcceptUnverifiedCertificate", &W::accept_unverified_certificate},
};

void ReadKey(const platform::Profile& profile, const SettingKey& key, const D& document_defaults,
             D& settings, W& worker) {
  static const W worker_defaults;
  if (auto* field = std::get_if<int D::*>(&key.field)) {
    settings.*(*field) = profile.GetInt(key.section, key.name, document_defaults.*(*field));
  } else if (auto* text = std::get_if<std::string D::*>(&key.field)) {
    settings.*(*text) = profile.GetString(key.section, key.name, document_defaults.*(*text));
  } else {
    auto worker_field = std::get<int W::*>(key.field);
    worker.*worker_field = profile.GetInt(key.section, key.name, worker_defaults.*worker_field);
  }
}

bool ModeSelects(ReadWhen when, int mode) {
  switch (when) {
    case ReadWhen::kAlways:
      return true;
    case ReadWhen::kCrawlMode:
      return mode == kRegisterCrawl;
    case ReadWhen::kWholeSiteMode:
      return mode == kRegisterWholeSite;
  }
  return true;
}

enum class Scope { kSelectedMode, kBothModes, kModeKeysOnly };

void Load(const platform::Profile& profile, const std::string& storage_folder, Scope scope,
          D& settings, W& worker) {
  const D defaults = DefaultDocumentSettings(storage_folder);
  ReadKey(profile, kKeys.front(), defaults, settings, worker);
  for (const SettingKey& key : std::span(kKeys).subspan(1)) {
    if (scope == Scope::kModeKeysOnly && key.when == ReadWhen::kAlways) continue;
    if (scope != Scope::kBothModes && !ModeSelects(key.when, settings.registration_mode)) continue;
    ReadKey(profile, key, defaults, settings, worker);
  }
  worker.check_log_size = settings.check_log_size;
  worker.reuse_connections = settings.fast_mode;
  worker.retry_wait_off_slot = settings.fast_mode;
  worker.conditional_requests = settings.fast_mode;
}

}  // namespace

std::span<const SettingKey> DocumentSettingKeys() { return kKeys; }

void SettingsLoader(const platform::Profile& profile, const std::string& storage_folder,
                    DocumentSettings& settings, WorkerSettings& worker) {
  Load(profile, storage_folder, Scope::kSelectedMode, settings, worker);
}

DocumentSettings LoadInitialSettings(const platform::Profile& profile,
                                     const std::string& storage_folder, WorkerSettings& worker) {
  DocumentSettings settings;
  Load(profile, storage_folder, Scope::kBothModes, settings, worker);
  return settings;
}

void ReloadModeSettings(const platform::Profile& profile, const std::string& storage_folder,
                        DocumentSettings& settings) {
  WorkerSettings unused;
  Load(profile, storage_folder, Scope::kModeKeysOnly, settings, unused);
}

}  // namespace marovine
