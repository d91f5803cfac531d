#include "marovine/document/settings_loader.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "tests/support/sandbox.h"

namespace {

using marovine::DefaultDocumentSettings;
using marovine::DocumentSettingKeys;
using marovine::DocumentSettings;
using marovine::LoadInitialSettings;
using marovine::SettingKey;
using marovine::SettingsLoader;
using marovine::WorkerSettings;
using marovine::testing::Sandbox;
using platform::Profile;

const std::string kStorage = "/home/someone/Desktop/marovine_folder/";

bool SameWorkerSettings(const WorkerSettings& a, const WorkerSettings& b) {
  return a.check_m_date == b.check_m_date && a.retry_wait_time == b.retry_wait_time &&
         a.geocities_com_dl == b.geocities_com_dl && a.mushi_404 == b.mushi_404 &&
         a.check_log_size == b.check_log_size && a.retry_s_error == b.retry_s_error;
}

TEST(SettingsLoaderTest, MissingOrUnreadableFileGivesTheDefaults) {
  Sandbox box;
  box.WriteFile("unreadable.ini/inside", "a folder where the file should be");
  for (const std::string name : {"marovine.ini", "unreadable.ini"}) {
    Profile profile(box.Path(name));
    WorkerSettings worker;
    worker.retry_wait_time = 99;
    DocumentSettings settings = LoadInitialSettings(profile, kStorage, worker);

    EXPECT_EQ(settings, DefaultDocumentSettings(kStorage)) << name;
    EXPECT_TRUE(SameWorkerSettings(worker, WorkerSettings{})) << name;
    EXPECT_EQ(settings.simultaneous_transfers, 3);
    EXPECT_EQ(settings.timeout_seconds, 50);
    EXPECT_EQ(settings.retry_limit, 1);
    EXPECT_EQ(settings.registration_mode, marovine::kRegisterCrawl);
    EXPECT_EQ(settings.crawl_folder, kStorage);
    EXPECT_EQ(settings.direct_folder, kStorage);
    EXPECT_EQ(settings.whole_site_folder, kStorage + "Marugoto/");
    // The engine's own defaults, which differ from what the option pages offer.
    EXPECT_EQ(settings.page_extensions, "html htm HTML HTM shtml");
    EXPECT_EQ(settings.default_search_level, 1);
    EXPECT_EQ(settings.ignore_words, "banner thumb_ th_ tn_ koukoku small_");
  }
}

TEST(SettingsLoaderTest, StorageFolderWithoutSeparatorStillGivesFolders) {
  DocumentSettings settings = DefaultDocumentSettings("/desk/marovine_folder");
  EXPECT_EQ(settings.crawl_folder, "/desk/marovine_folder/");
  EXPECT_EQ(settings.whole_site_folder, "/desk/marovine_folder/Marugoto/");
}

TEST(SettingsLoaderTest, KeysAreDistinct) {
  std::set<std::string> seen;
  for (const SettingKey& key : DocumentSettingKeys()) {
    std::string id = std::string(key.section) + "/" + key.name;
    for (char& c : id) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(seen.insert(id).second) << id;
  }
  EXPECT_EQ(seen.size(), 88u);  // the program's 86, FastMode and AcceptUnverifiedCertificate
}

// Writes a distinct value for every key through the profile writer and checks
// that each comes back in the field it belongs to, the six worker keys in the
// worker's settings: catches a key spelt wrong, put in the wrong section or
// wired to another key's field.
TEST(SettingsLoaderTest, EveryKeyWrittenIsReadBackIntoItsField) {
  Sandbox box;
  Profile profile(box.Path("marovine.ini"));
  auto keys = DocumentSettingKeys();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const SettingKey& key = keys[i];
    if (std::holds_alternative<std::string DocumentSettings::*>(key.field)) {
      ASSERT_TRUE(profile.WriteString(key.section, key.name, "value " + std::to_string(i)));
    } else {
      ASSERT_TRUE(profile.WriteInt(key.section, key.name, i == 0 ? 1 : 100 + i));
    }
  }

  WorkerSettings worker;
  DocumentSettings settings = LoadInitialSettings(Profile(box.Path("marovine.ini")), "/s/", worker);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const SettingKey& key = keys[i];
    SCOPED_TRACE(std::string(key.section) + "/" + key.name);
    if (auto* text = std::get_if<std::string DocumentSettings::*>(&key.field)) {
      EXPECT_EQ(settings.*(*text), "value " + std::to_string(i));
    } else if (auto* number = std::get_if<int DocumentSettings::*>(&key.field)) {
      EXPECT_EQ(settings.*(*number), i == 0 ? 1 : static_cast<int>(100 + i));
    } else {
      EXPECT_EQ(worker.*std::get<int WorkerSettings::*>(key.field), static_cast<int>(100 + i));
    }
  }
  // CheckLogSize is the one key that goes to both records.
  EXPECT_EQ(worker.check_log_size, settings.check_log_size);
  EXPECT_NE(worker.check_log_size, WorkerSettings{}.check_log_size);
}

TEST(SettingsLoaderTest, RegistrationModeSelectsTheFolderAndExtensionKeys) {
  Sandbox box;
  Profile profile(box.Path("marovine.ini"));
  EXPECT_TRUE(profile.WriteString("MarovineDownLoad", "Kakunou Folder", "/crawl/one/"));
  EXPECT_TRUE(profile.WriteString("MarovineDownLoad", "Kakuchoushi", "gif"));
  EXPECT_TRUE(profile.WriteString("MarugotoDownload", "MarugotoKakuchoushi", "png"));

  WorkerSettings worker;
  DocumentSettings settings = DefaultDocumentSettings(kStorage);
  SettingsLoader(profile, kStorage, settings, worker);  // crawl mode by default
  EXPECT_EQ(settings.crawl_folder, "/crawl/one/");
  EXPECT_EQ(settings.crawl_extensions, "gif");
  EXPECT_EQ(settings.whole_site_extensions, marovine::kDefaultDownloadExtensions);

  // In whole-site mode the crawl keys keep what the last crawl-mode load read,
  // even after the file changed them.
  EXPECT_TRUE(profile.WriteInt("DownLoad", "DownLoad Way-Marovine", 0));
  EXPECT_TRUE(profile.WriteString("MarovineDownLoad", "Kakunou Folder", "/crawl/two/"));
  EXPECT_TRUE(profile.WriteString("MarovineDownLoad", "Kakuchoushi", "bmp"));
  SettingsLoader(profile, kStorage, settings, worker);
  EXPECT_EQ(settings.registration_mode, marovine::kRegisterWholeSite);
  EXPECT_EQ(settings.whole_site_extensions, "png");
  EXPECT_EQ(settings.crawl_folder, "/crawl/one/");
  EXPECT_EQ(settings.crawl_extensions, "gif");

  // Back in crawl mode, the whole-site extensions stay while the crawl keys
  // are read again.
  EXPECT_TRUE(profile.WriteInt("DownLoad", "DownLoad Way-Marovine", 1));
  EXPECT_TRUE(profile.WriteString("MarugotoDownload", "MarugotoKakuchoushi", "tif"));
  SettingsLoader(profile, kStorage, settings, worker);
  EXPECT_EQ(settings.crawl_folder, "/crawl/two/");
  EXPECT_EQ(settings.crawl_extensions, "bmp");
  EXPECT_EQ(settings.whole_site_extensions, "png");
}

TEST(SettingsLoaderTest, FirstLoadReadsBothModesKeys) {
  Sandbox box;
  box.WriteFile("marovine.ini",
                "[DownLoad]\nDownLoad Way-Marovine=0\n"
                "[MarovineDownLoad]\nKakunou Folder=/mine/\nKakuchoushi=gif\n"
                "[MarugotoDownload]\nMarugotoKakuchoushi=png\n");
  WorkerSettings worker;
  DocumentSettings settings = LoadInitialSettings(Profile(box.Path("marovine.ini")), "/s/", worker);
  EXPECT_EQ(settings.crawl_folder, "/mine/");
  EXPECT_EQ(settings.crawl_extensions, "gif");
  EXPECT_EQ(settings.whole_site_extensions, "png");
}

TEST(SettingsLoaderTest, ModeReloadLeavesTheOtherSettingsAlone) {
  Sandbox box;
  Profile profile(box.Path("marovine.ini"));
  WorkerSettings worker;
  DocumentSettings settings = LoadInitialSettings(profile, kStorage, worker);
  EXPECT_TRUE(profile.WriteInt("DownLoad", "DouziDL", 7));
  EXPECT_TRUE(profile.WriteInt("DownLoad", "DownLoad Way-Marovine", 0));
  EXPECT_TRUE(profile.WriteString("MarugotoDownload", "MarugotoKakuchoushi", "png"));
  EXPECT_TRUE(profile.WriteString("MarovineDownLoad", "Kakuchoushi", "gif"));
  marovine::ReloadModeSettings(profile, kStorage, settings);
  EXPECT_EQ(settings.registration_mode, marovine::kRegisterWholeSite);
  EXPECT_EQ(settings.whole_site_extensions, "png");
  EXPECT_EQ(settings.crawl_extensions, marovine::kDefaultDownloadExtensions);
  EXPECT_EQ(settings.simultaneous_transfers, 3);
}

TEST(SettingsLoaderTest, SizeLimitsCountOnlyWhileSwitchedOn) {
  struct Case {
    const char* ini;
    std::int64_t maximum;
    std::int64_t minimum;
  } cases[] = {
      {"Dont Down Huge=0\nHuge Size=5\n", 0, 15 * 1024},
      {"Dont Down Huge=1\nHuge Size=5\n", 5 * 1024, 15 * 1024},
      {"Dont Down Gomi=0\nGomi Size=20\n", 0, 0},
      {"Dont Down Gomi=1\nGomi Size=-4\n", 0, 0},
      // Four gigabytes must not wrap through a 32-bit product.
      {"Dont Down Huge=1\nHuge Size=4194304\n", 4294967296LL, 15 * 1024},
  };
  for (const auto& c : cases) {
    Sandbox box;
    box.WriteFile("marovine.ini", std::string("[MarovineDownLoad]\n") + c.ini);
    WorkerSettings worker;
    DocumentSettings settings = LoadInitialSettings(Profile(box.Path("marovine.ini")), "/", worker);
    EXPECT_EQ(marovine::MaximumFileBytes(settings), c.maximum) << c.ini;
    EXPECT_EQ(marovine::MinimumFileBytes(settings), c.minimum) << c.ini;
  }
  // The stored size is the file's, whatever the switch says.
  Sandbox box;
  box.WriteFile("marovine.ini", "[MarovineDownLoad]\nDont Down Huge=0\nHuge Size=5\n");
  WorkerSettings worker;
  EXPECT_EQ(LoadInitialSettings(Profile(box.Path("marovine.ini")), "/", worker).huge_size_kb, 5);

  DocumentSettings whole_site;
  whole_site.whole_site_limit_huge = 1;
  whole_site.whole_site_huge_size_kb = 2;
  EXPECT_EQ(marovine::WholeSiteMaximumFileBytes(whole_site), 2048);
}

TEST(SettingsLoaderTest, UserAgentFlagChoosesTheText) {
  DocumentSettings settings;
  EXPECT_STREQ(marovine::UserAgentText(settings),
               "Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)");
  settings.user_agent = 0;
  EXPECT_STREQ(marovine::UserAgentText(settings), "Marovine Ver3");

  Sandbox box;
  box.WriteFile("marovine.ini", "[DownLoad]\r\nUser Agent=0\r\n");
  WorkerSettings worker;
  settings = LoadInitialSettings(Profile(box.Path("marovine.ini")), "/", worker);
  EXPECT_STREQ(marovine::UserAgentText(settings), "Marovine Ver3");
}

}  // namespace
