#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include "platform/file_io.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::testing::Sandbox;
using platform::Profile;

TEST(ProfileTest, MissingFileAndKeysGiveDefaults) {
  Sandbox box;
  Profile profile(box.Path("none.ini"));
  EXPECT_EQ(profile.GetInt("DownLoad", "DouziDL", 3), 3);
  EXPECT_EQ(profile.GetString("DownLoad", "KakunouFolder", "dflt"), "dflt");
  EXPECT_FALSE(profile.Find("DownLoad", "DouziDL").has_value());
}

TEST(ProfileTest, SectionsAndKeysIgnoreCaseAndValuesAreTrimmed) {
  Sandbox box;
  box.WriteFile("m.ini",
                "; comment\r\n[download]\r\n  douzidl =  7  \r\nUser Agent=0\r\n"
                "Name = \"quoted value\" \r\n[Other]\r\nDouziDL=9\r\n");
  Profile profile(box.Path("m.ini"));
  EXPECT_EQ(profile.GetInt("DownLoad", "DouziDL", 3), 7);
  EXPECT_EQ(profile.GetInt("DOWNLOAD", "user agent", 1), 0);
  EXPECT_EQ(profile.GetString("DownLoad", "name", ""), "quoted value");
  EXPECT_EQ(profile.GetInt("other", "douzidl", 0), 9);
}

TEST(ProfileTest, IntegersAreReadLikeTheWindowsProfileFunctions) {
  struct Case {
    const char* text;
    int expected;
  } cases[] = {
      {"42", 42},   {"  42", 42}, {"+8", 8},  {"-5", -5},         {"12abc", 12},
      {"abc", 0},   {"0x10", 0},  {"007", 7}, {"4294967295", -1}, {"2147483648", INT32_MIN},
      {"1 000", 1}, {"-", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Profile::ParseProfileInt(c.text), c.expected) << c.text;
  }
  Sandbox box;
  box.WriteFile("m.ini", "[S]\nEmpty=\n");
  EXPECT_EQ(Profile(box.Path("m.ini")).GetInt("S", "Empty", 11), 11);
}

TEST(ProfileTest, StringsAreCutToTheLimitWithoutSplittingCharacters) {
  Sandbox box;
  std::string long_value(300, 'a');
  box.WriteFile("m.ini", "[S]\nLong=" + long_value + "\nJp=あいう\n");
  Profile profile(box.Path("m.ini"));
  EXPECT_EQ(profile.GetString("S", "Long", "").size(), 255u);
  EXPECT_EQ(profile.GetString("S", "Jp", "", 4), "あ");  // 3 bytes, not 4
  EXPECT_EQ(profile.GetString("S", "Missing", long_value).size(), 255u);
}

TEST(ProfileTest, WritesKeepEveryOtherLineAndReplaceAtomically) {
  Sandbox box;
  box.WriteFile("m.ini", "; mine\n[A]\nx=1\n\n[B]\ny=2\n");
  Profile profile(box.Path("m.ini"));
  ASSERT_TRUE(profile.WriteString("a", "X", "5"));
  ASSERT_TRUE(profile.WriteInt("A", "z", -3));
  ASSERT_TRUE(profile.WriteString("New", "k", "v"));
  EXPECT_EQ(box.ReadFile("m.ini"), "; mine\n[A]\nx=5\nz=-3\n\n[B]\ny=2\n\n[New]\nk=v\n");
  ASSERT_TRUE(profile.DeleteKey("B", "y"));
  EXPECT_FALSE(profile.Find("B", "y").has_value());
  EXPECT_EQ(profile.KeysOf("a"), (std::vector<std::string>{"x", "z"}));
}

TEST(ProfileTest, ChangesByAnotherWriterAreSeenAtTheNextRead) {
  Sandbox box;
  Profile reader(box.Path("m.ini"));
  Profile writer(box.Path("m.ini"));
  EXPECT_EQ(reader.GetInt("S", "k", 0), 0);
  EXPECT_TRUE(writer.WriteInt("S", "k", 1));
  EXPECT_EQ(reader.GetInt("S", "k", 0), 1);
  EXPECT_TRUE(writer.WriteInt("S", "k", 2));
  EXPECT_EQ(reader.GetInt("S", "k", 0), 2);
}

TEST(ProfileTest, LegacyShiftJisFilesAreReadAsUtf8) {
  Sandbox box;
  // "[S]\nName=まろ\n" in Shift_JIS
  box.WriteFile("m.ini", "[S]\nName=\x82\xdc\x82\xeb\n");
  EXPECT_EQ(Profile(box.Path("m.ini")).GetString("S", "Name", ""), "まろ");
}

TEST(ProfileTest, UnwritableFileLeavesTheOldOneAndAnswersFalse) {
  Sandbox box;
  box.WriteFile("ro/m.ini", "[S]\nk=1\n");
  Profile profile(box.Path("ro/m.ini"));
  ::chmod(box.Path("ro").c_str(), 0500);
  bool root = ::geteuid() == 0;  // root writes anyway; the check is meaningless then
  if (!root) {
    EXPECT_FALSE(profile.WriteInt("S", "k", 2));
    EXPECT_EQ(profile.GetInt("S", "k", 0), 1);
  }
  ::chmod(box.Path("ro").c_str(), 0700);
}

TEST(ProfileTest, RunValuesAreReadFirstAndNeverWritten) {
  marovine::testing::Sandbox box;
  const std::string path = box.WriteFile("m.ini", "[DownLoad]\nDouziDL=3\nTimeOut=50\n");
  platform::Profile profile(path);
  profile.SetRunValue("download", "douzidl", "7");
  profile.SetRunValue("Kensaku", "Page", "4");
  profile.SetRunValue("DownLoad", "DouziDL", "8");  // a second value replaces the first
  EXPECT_EQ(profile.GetInt("DownLoad", "DouziDL", 0), 8);
  EXPECT_EQ(profile.GetString("kensaku", "PAGE", ""), "4");
  EXPECT_EQ(profile.GetInt("DownLoad", "TimeOut", 0), 50);
  // Writing another key keeps the file's own values, not the run's.
  ASSERT_TRUE(profile.WriteInt("DownLoad", "TimeOut", 20));
  EXPECT_EQ(box.ReadFile("m.ini"), "[DownLoad]\nDouziDL=3\nTimeOut=20\n");
  EXPECT_EQ(platform::Profile(path).GetInt("DownLoad", "DouziDL", 0), 3);
}

}  // namespace
