#include "marovine/document/first_start_settings.h"

#include <string_view>
#include <utility>
#include <vector>

#include "marovine/document/document_settings.h"
#include "platform/file_io.h"
#include "platform/path.h"

namespace marovine {
namespace {

constexpr const char* kDownloadExtensions =
    "jpg jpeg mpg mpeg JPG JPEG MPG MPEG zip lzh rar ra rm avi mov mp3 doc pdf";
constexpr const char* kPageExtensions = "htm html HTML HTM shtml SHTML";

struct Section {
  const char* name;
  std::vector<std::pair<std::string, std::string>> keys;
};

std::vector<Section> ShownDefaults(const std::string& storage_folder) {
  const DocumentSettings folders = DefaultDocumentSettings(storage_folder);
  Section marovine{"MarovineDownLoad",
                   {{"Dont Down Gomi", "1"},
                    {"Gomi Size", "15"},
                    {"Dont Down Huge", "0"},
                    {"Huge Size", "1000"},
                    {"Kakuchoushi", kDownloadExtensions},
                    {"Kakunou Folder", folders.crawl_folder},
                    {"Auto Rename", "1"},
                    {"Dont Down File in Log", "1"},
                    {"Make Date Name Folder", "1"},
                    {"LinkFolder", "0"},
                    {"TitleFolder", "0"},
                    {"Put Random Num", "1"},
                    {"Muzyouken", "1"},
                    {"GroupNo", "0"},
                    {"MakeShortCutTitleFolder", "0"},
                    {"WriteMDate", "0"},
                    {"CheckMDate", "0"},
                    {"WriteLogGomi", "0"},
                    {"WriteLogSize", "0"},
                    {"CheckLogSize", "0"}}};
  for (int group = 0; group < 10; ++group) {
    marovine.keys.emplace_back("Kakuchoushi" + std::to_string(group), kDownloadExtensions);
    marovine.keys.emplace_back("GroupName" + std::to_string(group), "無題");
  }
  Section sound{"Sound", {{"TestSound", "0"}}};
  for (int event = 1; event <= 8; ++event) {
    sound.keys.emplace_back("Check" + std::to_string(event), "0");
    sound.keys.emplace_back("Sound" + std::to_string(event), "");
  }
  return {
      {"DownLoad",
       {{"Resume Dwonload", "1"},
        {"Retry Time", "50"},
        {"Cant Retry First", "0"},
        {"Refer", "1"},
        {"User Agent", "1"},
        {"DouziDL", "3"},
        {"KakunouFolder", folders.direct_folder},
        {"TimeOut", "50"},
        {"SoutaiAddress", "1"},
        {"HomeStead", "1"},
        {"RetryWaitTime", "5"},
        {"GeocitiesComDl", "0"},
        {"Mushi404", "1"},
        {"AutoMarovine", "0"},
        {"RetrySError", "0"},
        {"DownLoad Way-Marovine", "1"},
        {"Download Way-Marugoto", "0"}}},
      std::move(marovine),
      {"MarugotoDownload",
       {{"MarugotoPass", folders.whole_site_folder},
        {"MarugotoKakuchoushi", "gif GIF jpg JPG jpeg JPEG txt TXT mid MID cgi"},
        {"MidashiHtml", "1"},
        {"KoushinFile", "1"},
        {"Kabegami", "1"},
        {"NotDownHugeFile", "0"},
        {"HugeFileSize", "1000"},
        {"DownAnotherServer", "1"},
        {"CutImgSrc", "1"}}},
      {"UrlInsert",
       {{"InsertToLink", kPageExtensions},
        {"InsertToDown", kDownloadExtensions},
        {"Mushi", "thumb th_ tn_ banner small"},
        {"Kakunin", "0"},
        {"LinkIgai", "0"}}},
      {"Kensaku",
       {{"KensakuLevel", "2"},
        {"InsertToLink", kPageExtensions},
        {"Page", "0"},
        {"Frame", "1"},
        {"ZidouJump", "1"},
        {"FindLinkFromRamFile", "1"},
        {"KensakuKaisou", "0"},
        {"DontListFromLinkSite", "1"}}},
      {"Ippan",
       {{"Clear_List_After_Finish_Site", "1"},
        {"Clear_List_After_DownLoad", "0"},
        {"OpenFinishFile_After_DblClk", "1"},
        {"OpenURL_BY_ERR_LIST", "1"},
        {"ReadMrvStartUp", "1"},
        {"SaveMrvFinish", "1"},
        {"AutoSave", "0"},
        {"AutoSaveMinutes", "3"},
        {"SyousaiLog", "0"},
        {"DontSameUrl", "1"},
        {"DontSameLinkUrl", "1"},
        {"DeleteLinkLog", "1"},
        {"StartMinimum", "0"},
        {"IconAnimation", "1"},
        {"NoEndWhenStart", "1"},
        {"FileViewDClick", "1"}}},
      {"Schedule",
       {{"Hour1", "23"},
        {"Min1", "2"},
        {"Hour2", "7"},
        {"Min2", "52"},
        {"StartMarovine", "0"},
        {"FinishMarovine", "0"},
        {"PowerOffTime", "0"},
        {"FinishMarovineKensaku", "0"},
        {"FinishPowerOff", "0"},
        {"FinishKensakuRetry", "0"},
        {"DialCut", "0"},
        {"DialKeep", "0"},
        {"DialCutTime", "0"},
        {"Power", "2"}}},
      {"Banner", {{"DontDownBanner", "1"}, {"DeleteBanner", "1"}}},
      std::move(sound),
  };
}

}  // namespace

bool WriteFirstStartSettings(const std::string& ini_path, const std::string& storage_folder) {
  if (platform::FileExists(ini_path)) return true;
  std::string content;
  for (const Section& section : ShownDefaults(storage_folder)) {
    content += "[" + std::string(section.name) + "]\n";
    for (const auto& [key, value] : section.keys) content += key + "=" + value + "\n";
  }
  return platform::WriteFileAtomically(ini_path, content);
}

}  // namespace marovine
