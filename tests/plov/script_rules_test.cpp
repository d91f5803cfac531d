#include <gtest/gtest.h>

#include "platform/profile.h"
#include "plov/core/command_line.h"
#include "plov/core/installation.h"
#include "plov/core/plov_texts.h"
#include "plov/core/setup_script.h"
#include "tests/support/sandbox.h"

namespace plov {
namespace {

TEST(PlovRoleTest, TheWholeCommandLineChoosesTheRole) {
  EXPECT_EQ(RoleOf("/r"), PlovRole::kUninstallStart);
  EXPECT_EQ(RoleOf("/R"), PlovRole::kUninstallStart);
  EXPECT_EQ(RoleOf("/d"), PlovRole::kCleanUp);
  EXPECT_EQ(RoleOf("/u"), PlovRole::kUninstallProper);
  // Capitals of the other two switches, extra text and nothing all install.
  for (const char* line : {"", "/D", "/U", "/r ", " /r", "/u x", "setup"}) {
    EXPECT_EQ(RoleOf(line), PlovRole::kInstall) << '"' << line << '"';
  }
}

TEST(SetupScriptTest, ItemListsEndAtTheFirstGap) {
  marovine::testing::Sandbox box;
  std::string path = box.WriteFile("s.inf",
                                   "[Files]\nItem1=a.exe\nItem2=b.txt\nItem3=\nItem4=d\n"
                                   "[RegKey]\nItem1=x\nItem2=y\nItem4=z\n");
  platform::Profile script(path);
  EXPECT_EQ(ReadItems(script, "Files"), (std::vector<std::string>{"a.exe", "b.txt"}));
  EXPECT_EQ(ReadItems(script, "RegKey"), (std::vector<std::string>{"x", "y"}));
  EXPECT_TRUE(ReadItems(script, "Group").empty());

  std::string full;
  for (int i = 1; i <= 100; ++i) full += "Item" + std::to_string(i) + "=f\n";
  platform::Profile many(box.WriteFile("m.inf", "[Files]\n" + full));
  EXPECT_EQ(ReadItems(many, "Files").size(), 99u);
}

TEST(SetupScriptTest, ShortcutItemsSplitAtCommasAndSkipBlanks) {
  auto item = ParseShortcutItem("マロヴィン,  bin/marovine,   --home  x");
  ASSERT_TRUE(item);
  EXPECT_EQ(item->name, "マロヴィン");
  EXPECT_EQ(item->target, "bin/marovine");
  EXPECT_EQ(item->arguments, "--home  x");

  auto two = ParseShortcutItem("Help, help.html");
  ASSERT_TRUE(two);
  EXPECT_EQ(two->target, "help.html");
  EXPECT_EQ(two->arguments, "");

  auto long_arguments = ParseShortcutItem("a,b," + std::string(80, 'x'));
  ASSERT_TRUE(long_arguments);
  EXPECT_EQ(long_arguments->arguments.size(), 63u);

  EXPECT_FALSE(ParseShortcutItem("no comma at all"));
  // A name becomes a file in a shell folder and may not leave it.
  EXPECT_FALSE(ParseShortcutItem("../evil,x"));
  EXPECT_FALSE(ParseShortcutItem("..,x"));
  EXPECT_FALSE(ParseShortcutItem("a\\b,x"));
}

TEST(SetupScriptTest, RegistryPathsNeedOneOfTwoRootsAndAKey) {
  auto user = ParseRegistryPath("HKEY_CURRENT_USER\\Software\\Maker\\App");
  ASSERT_TRUE(user);
  EXPECT_EQ(user->root, RegistryRoot::kCurrentUser);
  EXPECT_EQ(user->key, "Software\\Maker\\App");
  auto machine = ParseRegistryPath("HKEY_LOCAL_MACHINE\\Software\\X");
  ASSERT_TRUE(machine);
  EXPECT_EQ(machine->root, RegistryRoot::kLocalMachine);
  EXPECT_FALSE(ParseRegistryPath("HKEY_CLASSES_ROOT\\.mrv"));
  EXPECT_FALSE(ParseRegistryPath("HKEY_CURRENT_USER"));
  EXPECT_FALSE(ParseRegistryPath("HKEY_CURRENT_USER\\"));
}

TEST(SetupScriptTest, FileItemsStayInsideTheirFolder) {
  EXPECT_TRUE(IsContainedRelativePath("help/index.html"));
  EXPECT_TRUE(IsContainedRelativePath("a..b"));
  for (const char* bad : {"", "/etc/passwd", "..", "../x", "a/../../x", "C:\\x", "a//b", "\\x"}) {
    EXPECT_FALSE(IsContainedRelativePath(bad)) << bad;
  }
}

TEST(SetupScriptTest, OwnPathsNameTheScriptAfterTheExecutable) {
  auto own = OwnPathsOf("C:\\Temp\\setup.exe", '\\');
  EXPECT_EQ(own.folder, "C:\\Temp\\");
  EXPECT_EQ(own.folder_bare, "C:\\Temp");
  EXPECT_EQ(own.file_name, "setup.exe");
  EXPECT_EQ(own.script, "C:\\Temp\\setup.inf");
  EXPECT_EQ(OwnPathsOf("/opt/pkg/plov", '/').script, "/opt/pkg/plov.inf");
}

TEST(PlovTextTest, MessagesCarryTheArgumentAndTheCodeLine) {
  EXPECT_EQ(MessageText(23, "a.exe"), "ファイル a.exeのコピーに失敗しました。");
  EXPECT_EQ(MessageText(9, {}, 2115), "レジストリのオープンに失敗しました。\n  (ErrorCode : 2115)");
  EXPECT_EQ(MessageText(18, "C:\\x.exe", 2), "C:\\x.exeの起動に失敗しました。\n  (ErrorCode : 2)");
}

TEST(InstallFolderTest, WindowsFoldersAreCheckedLikeTheDialogDoes) {
  PathStyle windows{'\\', "/:,;\"<>|", 3, ".lnk"};
  EXPECT_EQ(InstallFolderProblem("C:\\Program Files\\Marovine", windows), 0);
  EXPECT_EQ(InstallFolderProblem("", windows), kTextChooseFolder);
  EXPECT_EQ(InstallFolderProblem("C:\\", windows), kTextChooseFolder);
  EXPECT_EQ(InstallFolderProblem("C:\\Tools\\", windows), kTextChooseFolder);
  EXPECT_EQ(InstallFolderProblem("C:\\a;b", windows), kTextBadFolderCharacters);
  EXPECT_EQ(InstallFolderProblem("C:\\a:b", windows), kTextBadFolderCharacters);
  EXPECT_EQ(InstallFolderProblem("C:\\" + std::string(300, 'a'), windows), kTextChooseFolder);
  EXPECT_TRUE(IsNetworkFolder("\\\\server\\share", windows));
  EXPECT_FALSE(IsNetworkFolder("C:\\\\x", windows));
}

TEST(InstallFolderTest, UninstallCommandIsQuotedOnlyWithABlank) {
  EXPECT_EQ(UninstallCommand("C:\\Program Files\\M\\setup.exe"),
            "\"C:\\Program Files\\M\\setup.exe\" /r");
  EXPECT_EQ(UninstallCommand("C:\\M\\setup.exe"), "C:\\M\\setup.exe /r");
}

}  // namespace
}  // namespace plov
