#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/profile.h"
#include "plov/core/plov_main.h"
#include "plov/core/plov_texts.h"
#include "plov/core/uninstallation.h"
#include "tests/plov/recording_host.h"
#include "tests/support/sandbox.h"

namespace plov {
namespace {

namespace fs = std::filesystem;
using testing::RecordingHost;

constexpr char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr auto kUser = RegistryRoot::kCurrentUser;
constexpr auto kMachine = RegistryRoot::kLocalMachine;

std::string Script(const std::string& extra) {
  return "[Install]\nTitle=T\n[Uninstall]\nTitle=削除\nKey=Marovine\nName=M\n" + extra;
}

TEST(UninstallStartTest, CopiesItselfToTheSystemFolderAndStartsTheSecondStage) {
  marovine::testing::Sandbox box;
  RecordingHost host(box);
  host.WriteScript(Script(""));
  host.CreateKey(kMachine, std::string(kUninstallRoot) + "\\Marovine");
  host.answers = {true};
  ASSERT_EQ(RunPlov(host, "/R"), 0);
  EXPECT_EQ(host.messages.at(0).text, "アンインストールを開始します。よろしいですか？");
  EXPECT_EQ(host.messages.at(0).caption, "削除");
  EXPECT_FALSE(host.KeyExists(kMachine, std::string(kUninstallRoot) + "\\Marovine"));
  EXPECT_TRUE(host.KeyExists(kMachine, kUninstallRoot));
  platform::Profile copy(host.Path("windows/$$UnPlov.inf"));
  EXPECT_EQ(copy.GetString("Uninstall", "Dir", ""), host.Path("package"));
  EXPECT_EQ(box.ReadFile("windows/$$UnPlov.exe"), "installer");
  ASSERT_EQ(host.started.size(), 1u);
  EXPECT_EQ(host.started[0].path, host.Path("windows/$$UnPlov.exe"));
  EXPECT_EQ(host.started[0].arguments, "/u");
}

TEST(UninstallStartTest, DecliningOrAMissingTitleChangesNothing) {
  marovine::testing::Sandbox box;
  RecordingHost host(box);
  host.WriteScript(Script(""));
  host.CreateKey(kMachine, std::string(kUninstallRoot) + "\\Marovine");
  EXPECT_EQ(RunPlov(host, "/r"), 2);
  EXPECT_TRUE(host.KeyExists(kMachine, std::string(kUninstallRoot) + "\\Marovine"));
  EXPECT_FALSE(fs::exists(host.Path("windows/$$UnPlov.exe")));

  host.WriteScript("[Install]\nTitle=T\n");
  host.messages.clear();
  EXPECT_EQ(RunPlov(host, "/r"), 1);
  EXPECT_EQ(host.messages.at(0).text, MessageText(1, host.Path("package/setup.inf")));
}

TEST(UninstallStartTest, AFailedStartOfTheSecondStageAsksForAManualUninstall) {
  marovine::testing::Sandbox box;
  RecordingHost host(box);
  host.WriteScript(Script(""));
  host.answers = {true};
  host.shell_result = 5;
  EXPECT_EQ(RunPlov(host, "/r"), 1);
  EXPECT_EQ(host.messages.back().text.rfind(MessageText(17, {}, 5), 0), 0u);
}

class SecondStageTest : public ::testing::Test {
 protected:
  // An installation in "app" as the first stage leaves it, with the second
  // stage running as $$UnPlov.exe in the system folder.
  void Installed(const std::string& extra) {
    fs::create_directories(box.Path("app/sub"));
    box.WriteFile("app/a.exe", "a");
    box.WriteFile("app/b.txt", "b");
    box.WriteFile("app/sub/c.txt", "c");
    ::chmod(box.Path("app/b.txt").c_str(), 0444);
    box.WriteFile("windows/$$UnPlov.inf",
                  Script("[Uninstall]\nDir=" + box.Path("app") + "\n" + extra));
    box.WriteFile("windows/$$UnPlov.exe", "uninstaller");
    host.SetOwnPath(box.Path("windows/$$UnPlov.exe"));
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : host.messages) texts.push_back(m.text);
    return texts;
  }

  marovine::testing::Sandbox box;
  RecordingHost host{box};
};

TEST_F(SecondStageTest, RemovesShortcutsOfOfferedSectionsOnly) {
  Installed(
      "[Group]\nValue=0\nGroupName=Marovine\nItem1=M, a.exe\nItem2=Help, b.txt\n"
      "[Startup]\nValue=-1\nItem1=M, a.exe\n[Desktop]\nValue=1\nItem1=M, a.exe\n"
      "[Files]\nItem1=a.exe\n");
  box.WriteFile("programs/Marovine/M.lnk", "x");
  box.WriteFile("programs/Marovine/Help.lnk", "x");
  box.WriteFile("startup/M.lnk", "x");
  box.WriteFile("desktop/M.lnk", "x");
  host.answers = {false};
  ASSERT_EQ(RunPlov(host, "/u"), 0);
  EXPECT_EQ(host.slept_ms, 2000);
  EXPECT_FALSE(fs::exists(host.Path("programs/Marovine")));
  EXPECT_TRUE(fs::exists(host.Path("startup/M.lnk")));  // Value -1: never offered
  EXPECT_FALSE(fs::exists(host.Path("desktop/M.lnk")));
}

TEST_F(SecondStageTest, AllDeleteDecidesHowMuchOfTheFolderGoes) {
  // 0: the listed files; the folder stays because other files remain.
  Installed("[Files]\nItem1=a.exe\n");
  ASSERT_EQ(RunPlov(host, "/u"), 0);
  EXPECT_FALSE(fs::exists(host.Path("app/a.exe")));
  EXPECT_TRUE(fs::exists(host.Path("app/b.txt")));
  EXPECT_EQ(host.messages.at(0).text, TextOf(kTextFolderRemoveFailed));
  EXPECT_EQ(host.messages.at(0).kind, MessageKind::kWarning);

  // 1: every file, read-only ones too, but the sub-folder stays.
  host.messages.clear();
  Installed("[Uninstall]\nAllDelete=1\n");
  ASSERT_EQ(RunPlov(host, "/u"), 0);
  EXPECT_FALSE(fs::exists(host.Path("app/b.txt")));
  EXPECT_TRUE(fs::exists(host.Path("app/sub/c.txt")));
  EXPECT_EQ(host.messages.at(0).text, TextOf(kTextFolderRemoveFailed));

  // 2: everything, and the folder itself.
  host.messages.clear();
  Installed("[Uninstall]\nAllDelete=2\n");
  ASSERT_EQ(RunPlov(host, "/u"), 0);
  EXPECT_FALSE(fs::exists(host.Path("app")));
  EXPECT_EQ(Texts(), (std::vector<std::string>{std::string(TextOf(kTextUninstalled)),
                                               std::string(TextOf(kTextRestartNow))}));
}

TEST_F(SecondStageTest, EndsWithItsScriptGoneAndItsProgramQueuedForRestart) {
  Installed("[Uninstall]\nAllDelete=2\n[RegKey]\nItem1=HKEY_CURRENT_USER\\Software\\Maker\n");
  host.CreateKey(kUser, "Software\\Maker\\Marovine\\Recent");
  host.CreateKey(kUser, "Software\\Maker\\Marovine\\Window");
  host.answers = {true};
  ASSERT_EQ(RunPlov(host, "/u"), 0);
  EXPECT_FALSE(host.KeyExists(kUser, "Software\\Maker"));
  EXPECT_TRUE(host.KeyExists(kUser, "Software"));
  EXPECT_FALSE(fs::exists(host.Path("windows/$$UnPlov.inf")));
  EXPECT_EQ(host.restart_deletions, std::vector<std::string>{host.Path("windows/$$UnPlov.exe")});
  EXPECT_TRUE(host.restarted);
}

TEST_F(SecondStageTest, AMissingKeyEndsWithCode2231AndLeavesTheCopies) {
  Installed("[Uninstall]\nAllDelete=2\n[RegKey]\nItem1=HKEY_CURRENT_USER\\Software\\None\n");
  EXPECT_EQ(RunPlov(host, "/u"), 1);
  EXPECT_EQ(host.messages.back().text.rfind(MessageText(12, {}, 2231), 0), 0u);
  EXPECT_TRUE(fs::exists(host.Path("windows/$$UnPlov.inf")));
  EXPECT_TRUE(host.restart_deletions.empty());
  EXPECT_FALSE(host.restarted);
}

TEST_F(SecondStageTest, ScriptsThatWouldDeleteTheWrongThingsAreRefusedFirst) {
  for (const char* extra : {"[RegKey]\nItem1=HKEY_USERS\\x\n", "[RegKey]\nItem1=Software\n",
                            "[Files]\nItem1=../../home\n"}) {
    host.messages.clear();
    Installed(extra);
    EXPECT_EQ(RunPlov(host, "/u"), 1) << extra;
    EXPECT_EQ(Texts(), std::vector<std::string>{MessageText(2, host.Path("windows/$$UnPlov.inf"))});
    EXPECT_TRUE(fs::exists(host.Path("app/a.exe")));
  }
  // A script the first stage never completed has no folder to empty.
  box.WriteFile("windows/$$UnPlov.inf", Script("[Uninstall]\nAllDelete=2\n"));
  host.messages.clear();
  EXPECT_EQ(RunPlov(host, "/u"), 1);
  EXPECT_EQ(Texts(), std::vector<std::string>{MessageText(2, host.Path("windows/$$UnPlov.inf"))});
}

TEST_F(SecondStageTest, ARestartDeletionThatCannotBeArrangedIsAnError) {
  Installed("[Uninstall]\nAllDelete=2\n");
  host.refuse_restart_deletion = true;
  EXPECT_EQ(RunPlov(host, "/u"), 1);
  EXPECT_EQ(host.messages.back().caption, "Error !");
}

TEST(DeleteKeyTreeTest, DeletesNestedKeysAndPassesOverOnesThatStay) {
  marovine::testing::Sandbox box;
  RecordingHost host(box);
  for (const char* key : {"S\\A\\x\\deep", "S\\A\\y", "S\\B", "S\\C", "T"}) {
    host.CreateKey(kUser, key);
  }
  host.sticky_keys.push_back(RecordingHost::KeyName(kUser, "S\\A\\y"));
  // The sticky key keeps its parents; everything around it goes.
  EXPECT_EQ(DeleteKeyTree(host, kUser, "S"), 2232);
  EXPECT_FALSE(host.KeyExists(kUser, "S\\A\\x"));
  EXPECT_TRUE(host.KeyExists(kUser, "S\\A\\y"));

  host.sticky_keys.clear();
  EXPECT_EQ(DeleteKeyTree(host, kUser, "S"), 0);
  EXPECT_FALSE(host.KeyExists(kUser, "S"));
  EXPECT_TRUE(host.KeyExists(kUser, "T"));
  EXPECT_EQ(DeleteKeyTree(host, kUser, "S"), 2231);
}

}  // namespace
}  // namespace plov
