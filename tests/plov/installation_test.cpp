#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_io.h"
#include "platform/profile.h"
#include "plov/core/plov_main.h"
#include "plov/core/plov_texts.h"
#include "tests/plov/recording_host.h"
#include "tests/support/sandbox.h"

namespace plov {
namespace {

namespace fs = std::filesystem;
using testing::RecordingHost;

constexpr char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Marovine";

// A package that moves its files into "<Program Files>/Marovine Tools".
constexpr char kCopyingScript[] =
    "[Install]\nTitle=マロヴィン セットアップ\nInstallDir=Marovine Tools\n"
    "InstallDirReg=HKEY_CURRENT_USER\\Software\\Maker\\Marovine\nProgram=readme.txt\n"
    "[Group]\nValue=1\nGroupName=Marovine\nInfo=group info\n"
    "Item1=Marovine, marovine.exe\nItem2=Help, help.txt, /big\n"
    "[Startup]\nValue=0\nItem1=Marovine, marovine.exe, /tray\n"
    "[Desktop]\nValue=1\nItem1=Marovine, marovine.exe\n"
    "[Files]\nItem1=setup.exe\nItem2=setup.inf\nItem3=marovine.exe\nItem4=readme.txt\n"
    "[Uninstall]\nTitle=マロヴィン 削除\nKey=Marovine\nName=Marovine 1.0\n";

class InstallationTest : public ::testing::Test {
 protected:
  void Package(const std::string& script) {
    host.WriteScript(script);
    host.PackageFile("marovine.exe", "program");
    host.PackageFile("readme.txt", "read me");
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : host.messages) texts.push_back(m.text);
    return texts;
  }
  std::string Installed(const std::string& name) const {
    return host.Path("pf/Marovine Tools/" + name);
  }

  marovine::testing::Sandbox box;
  RecordingHost host{box};
};

TEST_F(InstallationTest, AMissingTitleEndsWithMessageOneAndNothingElse) {
  Package("[Install]\nInstallDir=X\n[Files]\nItem1=marovine.exe\n");
  EXPECT_EQ(RunPlov(host, ""), 1);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].caption, "Error !");
  EXPECT_EQ(host.messages[0].text, MessageText(1, host.Path("package/setup.inf")));
  EXPECT_FALSE(host.options_shown);
  EXPECT_TRUE(fs::is_empty(host.Path("pf")));
}

TEST_F(InstallationTest, InvalidScriptsEndWithMessageTwoBeforeAnyChange) {
  for (const char* bad : {"[Install]\nTitle=T\nInstallDir=X\nInstallDirReg=HKEY_CLASSES_ROOT\\x\n",
                          "[Install]\nTitle=T\n[Desktop]\nValue=1\nItem1=no comma\n",
                          "[Install]\nTitle=T\nInstallDir=X\n[Files]\nItem1=../../etc/x\n"}) {
    host.messages.clear();
    Package(bad);
    EXPECT_EQ(RunPlov(host, ""), 1) << bad;
    EXPECT_EQ(Texts(), std::vector<std::string>{MessageText(2, host.Path("package/setup.inf"))});
    EXPECT_FALSE(host.options_shown);
  }
}

TEST_F(InstallationTest, MovingInstallationDoesEveryStepInOrder) {
  Package(kCopyingScript);
  ASSERT_EQ(RunPlov(host, ""), 0);

  ASSERT_TRUE(host.options_shown);
  const auto& options = *host.options_shown;
  EXPECT_EQ(options.caption, "マロヴィン セットアップ");
  EXPECT_TRUE(options.with_folder);
  EXPECT_EQ(options.folder, host.Path("pf/Marovine Tools"));
  EXPECT_TRUE(options.group.enabled && options.group.checked);
  EXPECT_TRUE(options.startup.enabled && !options.startup.checked);
  EXPECT_EQ(options.group.info, "group info");

  // Shortcuts point into the installation folder; the unticked one is absent.
  std::string target = Installed("marovine.exe");
  EXPECT_EQ(box.ReadFile("programs/Marovine/Marovine.lnk"), target + "|");
  EXPECT_EQ(box.ReadFile("programs/Marovine/Help.lnk"), Installed("help.txt") + "|/big");
  EXPECT_EQ(box.ReadFile("desktop/Marovine.lnk"), target + "|");
  EXPECT_FALSE(fs::exists(host.Path("startup/Marovine.lnk")));

  // Files moved: copies in place, sources gone, the installer noted for /d.
  EXPECT_EQ(box.ReadFile("pf/Marovine Tools/marovine.exe"), "program");
  EXPECT_FALSE(fs::exists(host.Path("package/marovine.exe")));
  platform::Profile note(host.Path("tmp/$$Plov.ini"));
  EXPECT_EQ(note.GetString("Install", "DelFile", ""), host.Path("package/setup.exe"));

  EXPECT_EQ(host.Value(RegistryRoot::kCurrentUser, "Software\\Maker\\Marovine", "InstallDir"),
            host.Path("pf/Marovine Tools"));
  EXPECT_EQ(host.Value(RegistryRoot::kLocalMachine, kUninstallKey, "DisplayName"), "Marovine 1.0");
  EXPECT_EQ(host.Value(RegistryRoot::kLocalMachine, kUninstallKey, "UninstallString"),
            "\"" + Installed("setup.exe") + "\" /r");

  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "インストールが完了しました。");
  EXPECT_EQ(host.messages[0].caption, "マロヴィン セットアップ");
  ASSERT_EQ(host.started.size(), 2u);
  EXPECT_EQ(host.started[0].path, Installed("readme.txt"));
  EXPECT_EQ(host.started[1].path, Installed("setup.exe"));
  EXPECT_EQ(host.started[1].arguments, "/d");
}

TEST_F(InstallationTest, WithoutInstallDirEverythingStaysInTheInstallerFolder) {
  Package(
      "[Install]\nTitle=T\n[Desktop]\nValue=1\nItem1=M, marovine.exe\n"
      "[Files]\nItem1=marovine.exe\n[Uninstall]\nKey=M\nName=M\n");
  ASSERT_EQ(RunPlov(host, ""), 0);
  ASSERT_TRUE(host.options_shown);
  EXPECT_FALSE(host.options_shown->with_folder);
  EXPECT_EQ(box.ReadFile("desktop/M.lnk"), host.Path("package/marovine.exe") + "|");
  EXPECT_TRUE(fs::exists(host.Path("package/marovine.exe")));
  EXPECT_TRUE(fs::is_empty(host.Path("pf")));
  EXPECT_FALSE(fs::exists(host.Path("tmp/$$Plov.ini")));
  EXPECT_TRUE(host.started.empty());  // no clean-up run
  // The sandbox path has no blank, so the command is not quoted.
  EXPECT_EQ(
      host.Value(RegistryRoot::kLocalMachine,
                 "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\M", "UninstallString"),
      host.Path("package/setup.exe") + " /r");
}

TEST_F(InstallationTest, AnEarlierInstallationFolderIsProposedAgain) {
  Package(kCopyingScript);
  host.CreateKey(RegistryRoot::kCurrentUser, "Software\\Maker\\Marovine");
  host.WriteValue(RegistryRoot::kCurrentUser, "Software\\Maker\\Marovine", "InstallDir",
                  host.Path("elsewhere"));
  host.cancel_options = true;
  host.answers = {true};
  EXPECT_EQ(RunPlov(host, ""), 2);
  EXPECT_EQ(host.options_shown->folder, host.Path("elsewhere"));
  // Cancelling asks message 3 and then changes nothing.
  EXPECT_EQ(Texts(), std::vector<std::string>{"インストールを中止します。よろしいですか？"});
  EXPECT_TRUE(fs::exists(host.Path("package/marovine.exe")));
  EXPECT_FALSE(host.KeyExists(RegistryRoot::kLocalMachine, kUninstallKey));
}

TEST_F(InstallationTest, TheTextPageComesFirstAndCancelNeedsConfirmation) {
  Package(kCopyingScript);
  host.WriteScript(std::string(kCopyingScript).insert(10, "TextFile=readme.txt\n"));
  host.page_next = false;
  host.answers = {false};  // "No" to message 3 keeps the page; the user goes on
  EXPECT_EQ(RunPlov(host, ""), 0);
  EXPECT_EQ(Texts().front(), "インストールを中止します。よろしいですか？");
  EXPECT_EQ(host.page_shown, "read me");

  RecordingHost second(box);
  second.WriteScript("[Install]\nTitle=T\nTextFile=missing.txt\n");
  EXPECT_EQ(RunPlov(second, ""), 1);
  EXPECT_EQ(second.messages.back().text, MessageText(5, second.Path("package/missing.txt"), 2302));
}

TEST_F(InstallationTest, FailuresCarryTheirCodesAndStopTheRun) {
  struct Case {
    const char* name;
    void (*arrange)(RecordingHost&);
    std::string text;
  };
  const Case cases[] = {
      {"no Program Files", [](RecordingHost& h) { h.no_program_files = true; },
       MessageText(9, {}, 2101)},
      {"no Programs folder",
       [](RecordingHost& h) { h.missing_folder[ShellFolder::kPrograms] = true; },
       MessageText(8, {}, 2111)},
      {"no Desktop folder",
       [](RecordingHost& h) { h.missing_folder[ShellFolder::kDesktop] = true; },
       MessageText(8, {}, 2113)},
      {"group shortcut fails", [](RecordingHost& h) { h.fail_shortcuts = true; },
       MessageText(8, {}, 2112)},
  };
  for (const auto& c : cases) {
    marovine::testing::Sandbox fresh;
    RecordingHost h(fresh);
    h.WriteScript(kCopyingScript);
    h.PackageFile("marovine.exe", "program");
    c.arrange(h);
    EXPECT_EQ(RunPlov(h, ""), 1) << c.name;
    ASSERT_FALSE(h.messages.empty()) << c.name;
    EXPECT_EQ(h.messages.back().caption, "Error !");
    EXPECT_EQ(h.messages.back().text.substr(0, c.text.size()), c.text) << c.name;
    EXPECT_TRUE(h.started.empty()) << c.name;
  }
}

TEST_F(InstallationTest, AFailedCopyNamesTheItemAndLeavesALogOfEarlierChanges) {
  Package(kCopyingScript);
  host.fail_copies = true;
  EXPECT_EQ(RunPlov(host, ""), 1);
  const std::string& text = host.messages.back().text;
  EXPECT_EQ(text.rfind("ファイル setup.exeのコピーに失敗しました。", 0), 0u) << text;
  std::string log_path = host.Path("tmp/plov-install.log");
  EXPECT_NE(text.find(log_path), std::string::npos);
  auto log = platform::ReadWholeFile(log_path);
  ASSERT_TRUE(log);
  EXPECT_NE(log->find("programs/Marovine/Help.lnk"), std::string::npos);
  EXPECT_NE(log->find("desktop/Marovine.lnk"), std::string::npos);
  EXPECT_FALSE(host.KeyExists(RegistryRoot::kLocalMachine, kUninstallKey));
}

TEST_F(InstallationTest, AProgramThatDoesNotStartIsReportedAndSkipsTheCleanUp) {
  Package(kCopyingScript);
  host.shell_result = 2;
  EXPECT_EQ(RunPlov(host, ""), 1);
  EXPECT_EQ(host.messages.back().text.rfind(MessageText(18, Installed("readme.txt"), 2), 0), 0u);
  EXPECT_EQ(host.started.size(), 1u);
}

TEST_F(InstallationTest, InstallingIntoTheInstallersOwnFolderKeepsTheFiles) {
  Package(kCopyingScript);
  host.options_answer = OptionsChoice{false, false, false, host.Path("package")};
  ASSERT_EQ(RunPlov(host, ""), 0);
  EXPECT_EQ(box.ReadFile("package/marovine.exe"), "program");
  EXPECT_EQ(box.ReadFile("package/setup.exe"), "installer");
  // The installer is the installed copy, so the clean-up must not delete it.
  EXPECT_FALSE(fs::exists(host.Path("tmp/$$Plov.ini")));
}

TEST_F(InstallationTest, TheCleanUpRunForgetsTheFolderAndDeletesTheFirstInstaller) {
  Package(kCopyingScript);
  ASSERT_EQ(RunPlov(host, ""), 0);
  ASSERT_TRUE(fs::exists(host.Path("package/setup.exe")));

  RecordingHost installed(box);
  installed.SetOwnPath(Installed("setup.exe"));
  EXPECT_EQ(RunPlov(installed, "/d"), 0);
  EXPECT_EQ(installed.slept_ms, 500);
  platform::Profile script(Installed("setup.inf"));
  EXPECT_EQ(script.Find("Install", "InstallDir"), "");
  EXPECT_EQ(script.GetString("Install", "Title", ""), "マロヴィン セットアップ");
  EXPECT_FALSE(fs::exists(host.Path("package/setup.exe")));
  EXPECT_FALSE(fs::exists(host.Path("tmp/$$Plov.ini")));
  EXPECT_TRUE(fs::exists(Installed("setup.exe")));
}

}  // namespace
}  // namespace plov
