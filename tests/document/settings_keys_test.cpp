#include "marovine/document/settings_keys.h"

#include <gtest/gtest.h>

#include "marovine/document/document_settings.h"
#include "marovine/document/program_paths.h"
#include "platform/path.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::testing::Sandbox;
using platform::Profile;

TEST(SettingsKeysTest, MissingKeysGiveTheirDefaults) {
  Sandbox box;
  Profile profile(box.Path("marovine.ini"));
  EXPECT_EQ(marovine::RegisterLinkExtensions(profile), "");
  EXPECT_EQ(marovine::RegisterDownloadExtensions(profile), "");
  EXPECT_EQ(marovine::GroupName(profile, 2), "");
  EXPECT_TRUE(marovine::DontListFromLinkSite(profile));
  EXPECT_TRUE(marovine::FindLinkFromRamFile(profile));
  EXPECT_TRUE(marovine::SaveDocumentAtFinish(profile));
  EXPECT_TRUE(marovine::ReadDocumentAtStartUp(profile));
  EXPECT_EQ(marovine::PowerAction(profile), 0);
  EXPECT_EQ(marovine::DialCutTime(profile), 0);
  auto sound = marovine::EventSoundFor(profile, 5);
  EXPECT_FALSE(sound.enabled);
  EXPECT_EQ(sound.wave_file, "");
}

TEST(SettingsKeysTest, ValuesAreReadFromTheirNumberedKeys) {
  Sandbox box;
  box.WriteFile("marovine.ini",
                "[UrlInsert]\r\nInsertToLink=cgi\r\nInsertToDown=zip\r\n"
                "[Kensaku]\r\nInsertToLink=html\r\nDontListFromLinkSite=0\r\n"
                "[MarovineDownLoad]\r\nGroupName3=Pictures\r\n"
                "[Sound]\r\nCheck5=1\r\nSound5=/snd/done.wav\r\nCheck7=0\r\n"
                "[Ippan]\r\nReadMrvStartUp=0\r\n[Schedule]\r\nPower=2\r\nDialCutTime=30\r\n");
  Profile profile(box.Path("marovine.ini"));
  EXPECT_EQ(marovine::RegisterLinkExtensions(profile), "cgi");
  EXPECT_EQ(marovine::RegisterDownloadExtensions(profile), "zip");
  EXPECT_FALSE(marovine::DontListFromLinkSite(profile));
  EXPECT_FALSE(marovine::ReadDocumentAtStartUp(profile));
  EXPECT_EQ(marovine::GroupName(profile, 3), "Pictures");
  EXPECT_EQ(marovine::GroupName(profile, 4), "");
  EXPECT_TRUE(marovine::EventSoundFor(profile, 5).enabled);
  EXPECT_EQ(marovine::EventSoundFor(profile, 5).wave_file, "/snd/done.wav");
  EXPECT_FALSE(marovine::EventSoundFor(profile, 7).enabled);
  EXPECT_EQ(marovine::PowerAction(profile), 2);
  EXPECT_EQ(marovine::DialCutTime(profile), 30);
}

TEST(SettingsKeysTest, GroupExtensionsFallBackToTheCommonList) {
  Sandbox box;
  Profile profile(box.Path("marovine.ini"));
  EXPECT_EQ(marovine::GroupExtensions(profile, 1), marovine::kDefaultDownloadExtensions);
  EXPECT_TRUE(profile.WriteString("MarovineDownLoad", "Kakuchoushi", "jpg gif"));
  EXPECT_TRUE(profile.WriteString("MarovineDownLoad", "Kakuchoushi1", "png"));
  EXPECT_TRUE(profile.WriteString("MarovineDownLoad", "Kakuchoushi2", ""));
  EXPECT_EQ(marovine::GroupExtensions(profile, 1), "png");
  EXPECT_EQ(marovine::GroupExtensions(profile, 2), "jpg gif");  // empty
  EXPECT_EQ(marovine::GroupExtensions(profile, 9), "jpg gif");  // missing
}

TEST(SettingsKeysTest, TotalsGrowPastThirtyTwoBitsAndAreWrittenAsDecimalText) {
  Sandbox box;
  box.WriteFile("marovine.ini",
                "[TotalInfo]\nTotalDownloadBytes=4294967000\nTotalDownloadFiles=12\n");
  Profile profile(box.Path("marovine.ini"));
  ASSERT_TRUE(marovine::AddToDownloadTotals(profile, {1000, 1}));
  auto totals = marovine::ReadDownloadTotals(profile);
  EXPECT_EQ(totals.bytes, 4294968000LL);
  EXPECT_EQ(totals.files, 13);
  EXPECT_NE(box.ReadFile("marovine.ini").find("TotalDownloadBytes=4294968000"), std::string::npos);

  // Rubbish in the file counts as nothing rather than as a negative total.
  box.WriteFile("marovine.ini", "[TotalInfo]\nTotalDownloadBytes=-5\nTotalDownloadFiles=x\n");
  totals = marovine::ReadDownloadTotals(profile);
  EXPECT_EQ(totals.bytes, 0);
  EXPECT_EQ(totals.files, 0);
}

TEST(ProgramPathsTest, PathsLieInTheProgramFolderAndTheLogFolderIsMade) {
  Sandbox box;
  auto paths = marovine::ProgramPathsFor(box.Path("deep/home"));
  EXPECT_EQ(paths.folder, box.Path("deep/home/"));
  EXPECT_EQ(paths.settings_path, box.Path("deep/home/marovine.ini"));
  EXPECT_EQ(paths.banner_list_path, box.Path("deep/home/banner.dat"));
  EXPECT_EQ(paths.default_document_path, box.Path("deep/home/default.mrv"));
  EXPECT_EQ(paths.log_folder, box.Path("deep/home/Log/"));
  ASSERT_TRUE(marovine::CreateLogFolder(paths));
  EXPECT_TRUE(platform::IsFolder(paths.log_folder));
  EXPECT_TRUE(marovine::CreateLogFolder(paths));  // already there
}

}  // namespace
