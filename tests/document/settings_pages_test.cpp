#include "marovine/document/settings_pages.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "marovine/document/first_start_settings.h"
#include "platform/file_io.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::SettingsSheetModel;
using marovine::testing::Sandbox;
using platform::Profile;

constexpr char kStorage[] = "/home/u/Desktop/marovine_folder/";
constexpr char kList[] =
    "jpg jpeg mpg mpeg JPG JPEG MPG MPEG zip lzh rar ra rm avi mov mp3 doc pdf";

struct Expected {
  std::string section;
  std::string key;
  std::string default_value;
};

// Every key the sheet shows, typed out from the option pages as users know
// them, so that a key the table misspells or files under the wrong section
// shows up here as missing.
std::vector<Expected> ExpectedKeys() {
  std::vector<Expected> keys = {
      {"DownLoad", "Resume Dwonload", "1"},
      {"DownLoad", "Retry Time", "50"},
      {"DownLoad", "Cant Retry First", "0"},
      {"DownLoad", "Refer", "1"},
      {"DownLoad", "User Agent", "1"},
      {"DownLoad", "DouziDL", "3"},
      {"DownLoad", "KakunouFolder", kStorage},
      {"DownLoad", "TimeOut", "50"},
      {"DownLoad", "SoutaiAddress", "1"},
      {"DownLoad", "HomeStead", "1"},
      {"DownLoad", "RetryWaitTime", "5"},
      {"DownLoad", "GeocitiesComDl", "0"},
      {"DownLoad", "Mushi404", "1"},
      {"DownLoad", "AutoMarovine", "0"},
      {"DownLoad", "RetrySError", "0"},
      {"DownLoad", "DownLoad Way-Marovine", "1"},
      {"DownLoad", "Download Way-Marugoto", "0"},
      {"MarovineDownLoad", "Dont Down Gomi", "1"},
      {"MarovineDownLoad", "Gomi Size", "15"},
      {"MarovineDownLoad", "Dont Down Huge", "0"},
      {"MarovineDownLoad", "Huge Size", "1000"},
      {"MarovineDownLoad", "Kakuchoushi", kList},
      {"MarovineDownLoad", "Kakunou Folder", kStorage},
      {"MarovineDownLoad", "Auto Rename", "1"},
      {"MarovineDownLoad", "Dont Down File in Log", "1"},
      {"MarovineDownLoad", "Make Date Name Folder", "1"},
      {"MarovineDownLoad", "LinkFolder", "0"},
      {"MarovineDownLoad", "TitleFolder", "0"},
      {"MarovineDownLoad", "Put Random Num", "1"},
      {"MarovineDownLoad", "Muzyouken", "1"},
      {"MarovineDownLoad", "GroupNo", "0"},
      {"MarovineDownLoad", "MakeShortCutTitleFolder", "0"},
      {"MarovineDownLoad", "WriteMDate", "0"},
      {"MarovineDownLoad", "CheckMDate", "0"},
      {"MarovineDownLoad", "WriteLogGomi", "0"},
      {"MarovineDownLoad", "WriteLogSize", "0"},
      {"MarovineDownLoad", "CheckLogSize", "0"},
      {"MarugotoDownload", "MarugotoPass", std::string(kStorage) + "Marugoto/"},
      {"MarugotoDownload", "MarugotoKakuchoushi", "gif GIF jpg JPG jpeg JPEG txt TXT mid MID cgi"},
      {"MarugotoDownload", "MidashiHtml", "1"},
      {"MarugotoDownload", "KoushinFile", "1"},
      {"MarugotoDownload", "Kabegami", "1"},
      {"MarugotoDownload", "NotDownHugeFile", "0"},
      {"MarugotoDownload", "HugeFileSize", "1000"},
      {"MarugotoDownload", "DownAnotherServer", "1"},
      {"MarugotoDownload", "CutImgSrc", "1"},
      {"UrlInsert", "InsertToLink", "htm html HTML HTM shtml SHTML"},
      {"UrlInsert", "InsertToDown", kList},
      {"UrlInsert", "Mushi", "thumb th_ tn_ banner small"},
      {"UrlInsert", "Kakunin", "0"},
      {"UrlInsert", "LinkIgai", "0"},
      {"Kensaku", "KensakuLevel", "2"},
      {"Kensaku", "InsertToLink", "htm html HTML HTM shtml SHTML"},
      {"Kensaku", "Page", "0"},
      {"Kensaku", "Frame", "1"},
      {"Kensaku", "ZidouJump", "1"},
      {"Kensaku", "FindLinkFromRamFile", "1"},
      {"Kensaku", "KensakuKaisou", "0"},
      {"Kensaku", "DontListFromLinkSite", "1"},
      {"Ippan", "Clear_List_After_Finish_Site", "1"},
      {"Ippan", "Clear_List_After_DownLoad", "0"},
      {"Ippan", "OpenFinishFile_After_DblClk", "1"},
      {"Ippan", "OpenURL_BY_ERR_LIST", "1"},
      {"Ippan", "ReadMrvStartUp", "1"},
      {"Ippan", "SaveMrvFinish", "1"},
      {"Ippan", "AutoSave", "0"},
      {"Ippan", "AutoSaveMinutes", "3"},
      {"Ippan", "SyousaiLog", "0"},
      {"Ippan", "DontSameUrl", "1"},
      {"Ippan", "DontSameLinkUrl", "1"},
      {"Ippan", "DeleteLinkLog", "1"},
      {"Ippan", "StartMinimum", "0"},
      {"Ippan", "IconAnimation", "1"},
      {"Ippan", "NoEndWhenStart", "1"},
      {"Ippan", "FileViewDClick", "1"},
      {"Schedule", "Hour1", "23"},
      {"Schedule", "Min1", "2"},
      {"Schedule", "Hour2", "7"},
      {"Schedule", "Min2", "52"},
      {"Schedule", "StartMarovine", "0"},
      {"Schedule", "FinishMarovine", "0"},
      {"Schedule", "PowerOffTime", "0"},
      {"Schedule", "FinishMarovineKensaku", "0"},
      {"Schedule", "FinishPowerOff", "0"},
      {"Schedule", "FinishKensakuRetry", "0"},
      {"Schedule", "DialCut", "0"},
      {"Schedule", "DialKeep", "0"},
      {"Schedule", "DialCutTime", "0"},
      {"Schedule", "Power", "2"},
      {"Banner", "DontDownBanner", "1"},
      {"Banner", "DeleteBanner", "1"},
      {"Sound", "TestSound", "0"},
  };
  for (int n = 0; n < 10; ++n) {
    keys.push_back({"MarovineDownLoad", "Kakuchoushi" + std::to_string(n), kList});
    keys.push_back({"MarovineDownLoad", "GroupName" + std::to_string(n), "無題"});
  }
  for (int n = 1; n <= 8; ++n) {
    keys.push_back({"Sound", "Check" + std::to_string(n), "0"});
    keys.push_back({"Sound", "Sound" + std::to_string(n), ""});
  }
  return keys;
}

// The file as written, by exact section and key name (the profile itself
// would forgive a key in the wrong case).
std::map<std::pair<std::string, std::string>, std::string> ExactKeys(const std::string& path) {
  std::map<std::pair<std::string, std::string>, std::string> keys;
  std::string section;
  std::string content = platform::ReadWholeFile(path).value_or("");
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    if (line.size() > 1 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (auto equals = line.find('='); equals != std::string::npos) {
      keys[{section, line.substr(0, equals)}] = line.substr(equals + 1);
    }
  }
  return keys;
}

// A value of the key's kind that is not its default.
std::string EditedValue(const marovine::SheetKey& key, int serial) {
  using marovine::SheetControl;
  switch (key.control) {
    case SheetControl::kCheck:
    case SheetControl::kLogDetail:
      return key.default_value == "0" ? "1" : "0";
    case SheetControl::kNumber:
    case SheetControl::kChoice:
      return std::to_string(key.default_value == std::to_string(key.max) ? key.min : key.max);
    case SheetControl::kFolder:
      return "/edited/" + std::to_string(serial) + "/";
    default:
      if (key.max > key.min) return std::to_string(key.max);
      return "edited " + std::to_string(serial);
  }
}

TEST(SettingsSheetModelTest, AnEmptyFileShowsEveryDefaultAndOkWritesThemAll) {
  Sandbox box;
  Profile profile(box.Path("marovine.ini"));
  SettingsSheetModel model(kStorage);
  model.Read(profile);
  auto expected = ExpectedKeys();
  std::size_t table_keys = 0;
  for (const auto& page : model.pages()) table_keys += page.keys.size();
  EXPECT_EQ(table_keys, expected.size()) << "the sheet has keys this test does not know";
  for (const Expected& key : expected) {
    EXPECT_EQ(model.Text(key.section, key.key), key.default_value) << key.section << "/" << key.key;
  }
  ASSERT_TRUE(model.Write(profile));
  auto written = ExactKeys(profile.path());
  for (const Expected& key : expected) {
    auto found = written.find({key.section, key.key});
    ASSERT_NE(found, written.end()) << key.section << "/" << key.key << " not written";
    EXPECT_EQ(found->second, key.default_value) << key.section << "/" << key.key;
  }
}

TEST(SettingsSheetModelTest, EveryKeyRoundTripsAnEditedValueAndLeavesOtherKeysAlone) {
  Sandbox box;
  box.WriteFile("marovine.ini", "[DownLoad]\nFastMode=1\n[TotalInfo]\nTotalDownloadBytes=99\n");
  Profile profile(box.Path("marovine.ini"));
  SettingsSheetModel model(kStorage);
  model.Read(profile);
  std::map<std::pair<std::string, std::string>, std::string> edited;
  int serial = 0;
  for (const auto& page : model.pages()) {
    for (const auto& key : page.keys) {
      // The shown group's list is the groups' own test.
      if (key.name == "GroupNo" || key.name == "Kakuchoushi" || key.name == "Kakuchoushi0")
        continue;
      std::string value = EditedValue(key, ++serial);
      model.SetText(key.section, key.name, value);
      edited[{key.section, key.name}] = value;
    }
  }
  ASSERT_TRUE(model.Write(profile));

  auto written = ExactKeys(profile.path());
  for (const auto& [key, value] : edited) {
    EXPECT_EQ(written[key], value) << key.first << "/" << key.second;
  }
  EXPECT_EQ((written[{"DownLoad", "FastMode"}]), "1");
  EXPECT_EQ((written[{"TotalInfo", "TotalDownloadBytes"}]), "99");

  SettingsSheetModel reread(kStorage);
  reread.Read(profile);
  for (const auto& [key, value] : edited) {
    EXPECT_EQ(reread.Text(key.first, key.second), value) << key.first << "/" << key.second;
  }
}

TEST(SettingsSheetModelTest, TheDefaultsAreWhatTheFirstStartWrites) {
  Sandbox box;
  ASSERT_TRUE(marovine::WriteFirstStartSettings(box.Path("marovine.ini"), kStorage));
  Profile profile(box.Path("marovine.ini"));
  SettingsSheetModel from_file(kStorage);
  from_file.Read(profile);
  for (const Expected& key : ExpectedKeys()) {
    EXPECT_EQ(from_file.Text(key.section, key.key), key.default_value)
        << key.section << "/" << key.key;
  }
}

TEST(SettingsSheetModelTest, NumbersAreRefusedWhenNotNumbersAndKeptInTheirRanges) {
  Sandbox box;
  box.WriteFile("marovine.ini", "[DownLoad]\nDouziDL=50\n[Schedule]\nMin1=-4\nPower=7\n");
  Profile profile(box.Path("marovine.ini"));
  SettingsSheetModel model(kStorage);
  model.Read(profile);
  EXPECT_EQ(model.Int("DownLoad", "DouziDL"), 10) << "a file value out of range is shown clamped";
  EXPECT_EQ(model.Int("Schedule", "Min1"), 0);
  EXPECT_EQ(model.Int("Schedule", "Power"), 2);

  EXPECT_EQ(model.SetNumberText("DownLoad", "TimeOut", "30秒"), marovine::kNotANumberText);
  EXPECT_EQ(model.SetNumberText("DownLoad", "TimeOut", ""), marovine::kNotANumberText);
  EXPECT_EQ(model.SetNumberText("DownLoad", "TimeOut", "1e3"), marovine::kNotANumberText);
  EXPECT_EQ(model.Int("DownLoad", "TimeOut"), 50) << "a refused text changes nothing";
  EXPECT_EQ(model.SetNumberText("DownLoad", "TimeOut", " +70 "), std::nullopt);
  EXPECT_EQ(model.Int("DownLoad", "TimeOut"), 70);

  EXPECT_EQ(model.SetNumberText("DownLoad", "DouziDL", "11"), std::nullopt);
  EXPECT_EQ(model.Int("DownLoad", "DouziDL"), 10);
  EXPECT_EQ(model.SetNumberText("DownLoad", "DouziDL", "-1"), std::nullopt);
  EXPECT_EQ(model.Int("DownLoad", "DouziDL"), 0);
  EXPECT_EQ(model.SetNumberText("Schedule", "Hour1", "99999999999999999999"), std::nullopt);
  EXPECT_EQ(model.Int("Schedule", "Hour1"), 23);

  model.StepSimultaneousDownloads(-1);
  EXPECT_EQ(model.Int("DownLoad", "DouziDL"), 0);
  for (int i = 0; i < 12; ++i) model.StepSimultaneousDownloads(+1);
  EXPECT_EQ(model.Int("DownLoad", "DouziDL"), 10);

  // The autosave interval is refused rather than clamped, naming its range.
  EXPECT_EQ(model.SetNumberText("Ippan", "AutoSaveMinutes", "61"),
            "0 から 60 までの整数を入力してください。");
  EXPECT_EQ(model.Int("Ippan", "AutoSaveMinutes"), 3);
  EXPECT_EQ(model.SetNumberText("Ippan", "AutoSaveMinutes", "60"), std::nullopt);
  EXPECT_EQ(model.Int("Ippan", "AutoSaveMinutes"), 60);
}

// Counts the renames onto marovine.ini: an atomic write is one.
class RenameCounter {
 public:
  explicit RenameCounter(const std::string& folder) : fd_(inotify_init1(IN_NONBLOCK)) {
    inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
  }
  ~RenameCounter() { close(fd_); }
  std::pair<int, int> RenamesAndDirectWrites() {
    int renames = 0;
    int direct = 0;
    alignas(inotify_event) char buffer[8192];
    ssize_t length = 0;
    while ((length = read(fd_, buffer, sizeof buffer)) > 0) {
      for (char* at = buffer; at < buffer + length;) {
        auto* event = reinterpret_cast<inotify_event*>(at);
        if (event->len && std::string(event->name) == "marovine.ini") {
          if (event->mask & IN_MOVED_TO) ++renames;
          if (event->mask & IN_CLOSE_WRITE) ++direct;
        }
        at += sizeof(inotify_event) + event->len;
      }
    }
    return {renames, direct};
  }

 private:
  int fd_;
};

TEST(SettingsSheetModelTest, OkRewritesTheFileOnceAndCancelNotAtAll) {
  Sandbox box;
  box.WriteFile("marovine.ini", "[Ippan]\nAutoSave=1\n");
  Profile profile(box.Path("marovine.ini"));
  RenameCounter counter(box.path());
  {
    SettingsSheetModel cancelled(kStorage);
    cancelled.Read(profile);
    cancelled.SetFlag("Ippan", "AutoSave", false);
    cancelled.SetText("UrlInsert", "Mushi", "ad");
  }  // closed without OK
  EXPECT_EQ(counter.RenamesAndDirectWrites(), std::make_pair(0, 0));
  EXPECT_EQ(box.ReadFile("marovine.ini"), "[Ippan]\nAutoSave=1\n");

  SettingsSheetModel model(kStorage);
  model.Read(profile);
  model.SetFlag("Ippan", "AutoSave", false);
  ASSERT_TRUE(model.Write(profile));
  EXPECT_EQ(counter.RenamesAndDirectWrites(), std::make_pair(1, 0));
}

TEST(SettingsSheetModelTest, ExtensionGroupsKeepTheirEditsAndStopAtTheEnds) {
  Sandbox box;
  box.WriteFile("marovine.ini",
                "[MarovineDownLoad]\nKakuchoushi=jpg\nGroupNo=1\nKakuchoushi1=png\n"
                "GroupName1=Pictures\n");
  Profile profile(box.Path("marovine.ini"));
  SettingsSheetModel model(kStorage);
  model.Read(profile);
  constexpr char kSection[] = "MarovineDownLoad";
  EXPECT_EQ(model.ShownGroup(), 1);
  EXPECT_EQ(model.Text(kSection, "Kakuchoushi"), "png") << "the page shows the current group";
  EXPECT_EQ(model.ShownGroupName(), "Pictures");

  model.SetText(kSection, "Kakuchoushi", "png gif");
  model.MoveGroup(-1);
  EXPECT_EQ(model.ShownGroup(), 0);
  EXPECT_EQ(model.Text(kSection, "Kakuchoushi"), "jpg") << "a missing group list is Kakuchoushi";
  EXPECT_EQ(model.ShownGroupName(), "無題");
  model.MoveGroup(-1);
  EXPECT_EQ(model.ShownGroup(), 0);
  EXPECT_EQ(model.Text(kSection, "Kakuchoushi"), "jpg");
  model.MoveGroup(+1);
  EXPECT_EQ(model.Text(kSection, "Kakuchoushi"), "png gif");

  for (int i = 0; i < 9; ++i) model.MoveGroup(+1);
  EXPECT_EQ(model.ShownGroup(), 9);
  model.SetText(kSection, "Kakuchoushi", "zip");
  model.SetShownGroupName("Archives");
  model.MoveGroup(+1);
  EXPECT_EQ(model.ShownGroup(), 9);
  EXPECT_EQ(model.Text(kSection, "Kakuchoushi"), "zip") << "an edit survives a move that fails";

  ASSERT_TRUE(model.Write(profile));
  auto written = ExactKeys(profile.path());
  EXPECT_EQ((written[{kSection, "Kakuchoushi"}]), "zip");
  EXPECT_EQ((written[{kSection, "GroupNo"}]), "9");
  EXPECT_EQ((written[{kSection, "Kakuchoushi9"}]), "zip");
  EXPECT_EQ((written[{kSection, "GroupName9"}]), "Archives");
  EXPECT_EQ((written[{kSection, "Kakuchoushi1"}]), "png gif");
  EXPECT_EQ((written[{kSection, "Kakuchoushi0"}]), "jpg");
}

TEST(SettingsSheetModelTest, FolderOptionsAllowOneAndTheTitleFolderTurnsOffTheRandomPrefix) {
  SettingsSheetModel model(kStorage);
  constexpr char kSection[] = "MarovineDownLoad";
  EXPECT_TRUE(model.Flag(kSection, "Make Date Name Folder"));
  EXPECT_TRUE(model.RandomNumberEnabled());

  model.ClickFolderOption("TitleFolder", true);
  EXPECT_FALSE(model.Flag(kSection, "Make Date Name Folder"));
  EXPECT_FALSE(model.RandomNumberEnabled());
  EXPECT_TRUE(model.Flag(kSection, "Put Random Num")) << "greyed out, its value stays";

  model.ClickFolderOption("LinkFolder", true);
  EXPECT_FALSE(model.Flag(kSection, "TitleFolder"));
  EXPECT_FALSE(model.RandomNumberEnabled());
  model.ClickFolderOption("LinkFolder", false);
  EXPECT_TRUE(model.RandomNumberEnabled());

  model.ClickFolderOption("TitleFolder", true);
  model.ClickFolderOption("Make Date Name Folder", true);
  EXPECT_FALSE(model.Flag(kSection, "TitleFolder"));
  EXPECT_FALSE(model.Flag(kSection, "LinkFolder"));
  EXPECT_TRUE(model.RandomNumberEnabled());
}

TEST(SettingsSheetModelTest, FoldersAreWrittenWithATrailingSeparator) {
  Sandbox box;
  Profile profile(box.Path("marovine.ini"));
  SettingsSheetModel model(kStorage);
  model.Read(profile);
  model.SetText("MarugotoDownload", "MarugotoPass", "/data/mirror");
  model.SetText("DownLoad", "KakunouFolder", "/data/direct/");
  ASSERT_TRUE(model.Write(profile));
  auto written = ExactKeys(profile.path());
  EXPECT_EQ((written[{"MarugotoDownload", "MarugotoPass"}]), "/data/mirror/");
  EXPECT_EQ((written[{"DownLoad", "KakunouFolder"}]), "/data/direct/");
}

}  // namespace
