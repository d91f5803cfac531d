#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "marovine/document/settings_loader.h"
#include "tests/support/sandbox.h"

namespace marovine {
namespace {

// A settings file as a user (or an older release) leaves it, typed by hand
// rather than written through the loader's own key table, so a key the table
// misspells is read as missing here. Every value differs from its default and
// from every other value, so a key read into the wrong field shows too.
constexpr const char* kHandWrittenIni = R"([DownLoad]
DownLoad Way-Marovine=0
DouziDL=101
KakunouFolder=/ini/direct/
User Agent=102
Refer=103
TimeOut=109
Resume Dwonload=120
Cant Retry First=121
Retry Time=122
SoutaiAddress=135
HomeStead=151
AutoMarovine=167
RetryWaitTime=171
GeocitiesComDl=172
Mushi404=173
RetrySError=174
FastMode=178
AcceptUnverifiedCertificate=179
[MarovineDownLoad]
Kakunou Folder=/ini/crawl/
Kakuchoushi=crawl-ext
Auto Rename=104
Dont Down Huge=105
Huge Size=106
Dont Down Gomi=107
Gomi Size=108
Dont Down File in Log=114
Muzyouken=115
Make Date Name Folder=118
Put Random Num=119
GroupNo=134
LinkFolder=143
TitleFolder=152
MakeShortCutTitleFolder=153
WriteMDate=157
WriteLogGomi=158
WriteLogSize=168
CheckLogSize=169
CheckMDate=170
[MarugotoDownload]
MarugotoKakuchoushi=site-ext
MarugotoPass=/ini/mirror/
MidashiHtml=138
KoushinFile=139
Kabegami=140
NotDownHugeFile=141
HugeFileSize=142
DownAnotherServer=146
CutImgSrc=156
[UrlInsert]
InsertToDown=unowned-ext
Mushi=ignore-words
LinkIgai=149
[Kensaku]
InsertToLink=page-ext
KensakuLevel=110
ZidouJump=111
Frame=112
Page=113
KensakuKaisou=147
[Ippan]
Clear_List_After_Finish_Site=116
Clear_List_After_DownLoad=117
OpenFinishFile_After_DblClk=123
AutoSave=136
AutoSaveMinutes=137
SyousaiLog=144
DontSameUrl=145
DontSameLinkUrl=148
DeleteLinkLog=154
IconAnimation=162
NoEndWhenStart=163
FileViewDClick=164
OpenURL_BY_ERR_LIST=165
[Schedule]
Hour1=124
Min1=125
Hour2=126
Min2=127
StartMarovine=128
FinishMarovine=129
PowerOffTime=130
FinishPowerOff=131
FinishMarovineKensaku=132
FinishKensakuRetry=155
DialCut=159
DialKeep=160
[Banner]
DontDownBanner=133
[Proxy]
EnableCash=150
[MarovineHTMLAlbum]
MakeAlbumAfterDownload=161
AlubumFileNum=166
[QuickView]
ViewSize=175
ViewAfterDownLoad=176
ViewAfterSelected=177
)";

using SectionAndKey = std::pair<std::string, std::string>;

std::set<SectionAndKey> KeysOfHandWrittenFile() {
  std::set<SectionAndKey> keys;
  std::string text = kHandWrittenIni, section;
  for (std::size_t from = 0; from < text.size();) {
    std::size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(from, end - from);
    from = end + 1;
    if (line.size() > 2 && line.front() == '[') {
      section = line.substr(1, line.size() - 2);
    } else if (auto eq = line.find('='); eq != std::string::npos) {
      keys.emplace(section, line.substr(0, eq));
    }
  }
  return keys;
}

// The file is read case-insensitively, so a key spelt with the wrong case
// would still load; the spelling is held to the letter here.
TEST(SettingsFileTest, TheLoaderReadsEveryKeyOfTheFileByItsExactName) {
  std::set<SectionAndKey> table;
  for (const SettingKey& key : DocumentSettingKeys()) table.emplace(key.section, key.name);
  EXPECT_EQ(table, KeysOfHandWrittenFile());
}

TEST(SettingsFileTest, AHandWrittenFileReachesEveryField) {
  testing::Sandbox box;
  platform::Profile profile(box.WriteFile("marovine.ini", kHandWrittenIni));
  WorkerSettings worker;
  const std::string storage = "/home/someone/Desktop/marovine_folder/";
  const DocumentSettings settings = LoadInitialSettings(profile, storage, worker);

  DocumentSettings expected = DefaultDocumentSettings(storage);
  expected.registration_mode = 0;
  expected.simultaneous_transfers = 101;
  expected.direct_folder = "/ini/direct/";
  expected.user_agent = 102;
  expected.send_referer = 103;
  expected.timeout_seconds = 109;
  expected.retry_failed_files = 120;
  expected.cant_retry_first = 121;
  expected.retry_limit = 122;
  expected.refetch_relative_address = 135;
  expected.free_host_page_cut = 151;
  expected.auto_start_crawl = 167;
  expected.fast_mode = 178;
  expected.crawl_folder = "/ini/crawl/";
  expected.crawl_extensions = "crawl-ext";
  expected.auto_rename = 104;
  expected.limit_huge_files = 105;
  expected.huge_size_kb = 106;
  expected.skip_small_files = 107;
  expected.small_size_kb = 108;
  expected.skip_files_in_log = 114;
  expected.take_extensions_always = 115;
  expected.make_date_folder = 118;
  expected.put_random_number = 119;
  expected.default_group = 134;
  expected.make_address_folder = 143;
  expected.make_title_folder = 152;
  expected.shortcut_title_folder = 153;
  expected.log_modified_date = 157;
  expected.log_small_files = 158;
  expected.log_file_size = 168;
  expected.check_log_size = 169;
  expected.whole_site_extensions = "site-ext";
  expected.whole_site_folder = "/ini/mirror/";
  expected.write_heading_html = 138;
  expected.fetch_updated_only = 139;
  expected.fetch_wallpapers = 140;
  expected.whole_site_limit_huge = 141;
  expected.whole_site_huge_size_kb = 142;
  expected.fetch_from_other_servers = 146;
  expected.cut_unfetched_links = 156;
  expected.unowned_page_extensions = "unowned-ext";
  expected.ignore_words = "ignore-words";
  expected.non_links_are_downloads = 149;
  expected.page_extensions = "page-ext";
  expected.default_search_level = 110;
  expected.follow_auto_jumps = 111;
  expected.follow_frames = 112;
  expected.default_page_limit = 113;
  expected.max_link_depth = 147;
  expected.clear_list_after_site = 116;
  expected.clear_item_after_download = 117;
  expected.open_finished_file_on_click = 123;
  expected.auto_save = 136;
  expected.auto_save_minutes = 137;
  expected.write_site_detail_log = 144;
  expected.unique_download_urls = 145;
  expected.unique_link_urls = 148;
  expected.delete_link_log = 154;
  expected.animate_tray_icon = 162;
  expected.no_end_when_start = 163;
  expected.open_file_view_on_click = 164;
  expected.open_failed_url_on_click = 165;
  expected.schedule_start_hour = 124;
  expected.schedule_start_minute = 125;
  expected.schedule_end_hour = 126;
  expected.schedule_end_minute = 127;
  expected.start_at_schedule = 128;
  expected.exit_at_schedule_end = 129;
  expected.power_at_schedule_end = 130;
  expected.power_when_all_done = 131;
  expected.exit_when_all_done = 132;
  expected.restart_when_all_done = 155;
  expected.hang_up_when_all_done = 159;
  expected.keep_dial_up = 160;
  expected.skip_banners = 133;
  expected.proxy_no_cache = 150;
  expected.album_after_site = 161;
  expected.album_minimum_files = 166;
  expected.quick_view_size = 175;
  expected.quick_view_after_download = 176;
  expected.quick_view_selected = 177;
  EXPECT_EQ(settings, expected);
  EXPECT_EQ(worker.retry_wait_time, 171);
  EXPECT_EQ(worker.geocities_com_dl, 172);
  EXPECT_EQ(worker.mushi_404, 173);
  EXPECT_EQ(worker.retry_s_error, 174);
  EXPECT_EQ(worker.accept_unverified_certificate, 179);
  EXPECT_EQ(worker.check_m_date, 170);
  EXPECT_EQ(worker.check_log_size, 169);  // handed to the worker as well
}

}  // namespace
}  // namespace marovine
