#include "platform/path.h"

#include <gtest/gtest.h>

#include "platform/file_exception.h"
#include "platform/file_io.h"
#include "platform/program_folder.h"
#include "platform/text_encoding.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::testing::Sandbox;

TEST(PathTest, JoinsWithExactlyOneSeparator) {
  EXPECT_EQ(platform::JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(platform::JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(platform::JoinPath("/a/", "/b"), "/a/b");
  EXPECT_EQ(platform::JoinPath("", "b"), "b");
  EXPECT_EQ(platform::FolderOf("/x/y/z.jpg"), "/x/y/");
  EXPECT_EQ(platform::FolderOf("z.jpg"), "");
  EXPECT_EQ(platform::NameOf("/x/y/z.jpg"), "z.jpg");
}

TEST(PathTest, MakeFoldersForFileCreatesEveryMissingLevel) {
  Sandbox box;
  std::string file = box.Path("a/b/c/file.bin");
  EXPECT_TRUE(platform::MakeFoldersForFile(file));
  EXPECT_TRUE(platform::IsFolder(box.Path("a/b/c")));
  EXPECT_TRUE(platform::MakeFoldersForFile(file));  // existing folders are fine
  box.WriteFile("blocker", "x");
  EXPECT_FALSE(platform::MakeFoldersForFile(box.Path("blocker/sub/file")));
}

TEST(FileIoTest, AtomicWriteReplacesWholeAndKeepsOldOnFailure) {
  Sandbox box;
  std::string path = box.Path("doc/file.txt");
  ASSERT_TRUE(platform::WriteFileAtomically(path, "first"));
  ASSERT_TRUE(platform::WriteFileAtomically(path, "second"));
  EXPECT_EQ(platform::ReadWholeFile(path).value_or(""), "second");
  // A folder standing where the file should be: the write fails, nothing is lost.
  EXPECT_TRUE(platform::MakeFolders(box.Path("dir.txt")));
  EXPECT_FALSE(platform::WriteFileAtomically(box.Path("dir.txt"), "x"));
  EXPECT_TRUE(platform::IsFolder(box.Path("dir.txt")));
}

TEST(ProgramFolderTest, ArgumentThenEnvironmentThenPortableThenXdg) {
  Sandbox box;
  std::string exe_folder = box.Path("bin/");
  EXPECT_TRUE(platform::MakeFolders(exe_folder));
  ::setenv("MAROVINE_HOME", box.Path("env").c_str(), 1);
  EXPECT_EQ(platform::ResolveProgramFolder(box.Path("arg"), exe_folder), box.Path("arg/"));
  EXPECT_EQ(platform::ResolveProgramFolder(std::nullopt, exe_folder), box.Path("env/"));
  ::unsetenv("MAROVINE_HOME");
  ::setenv("XDG_CONFIG_HOME", box.Path("xdg").c_str(), 1);
  EXPECT_EQ(platform::ResolveProgramFolder(std::nullopt, exe_folder), box.Path("xdg/marovine/"));
  box.WriteFile("bin/marovine.ini", "");
  EXPECT_EQ(platform::ResolveProgramFolder(std::nullopt, exe_folder), exe_folder);
  ::unsetenv("XDG_CONFIG_HOME");
}

TEST(ProgramFolderTest, DesktopComesFromUserDirs) {
  Sandbox box;
  ::setenv("HOME", box.path().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", box.Path("cfg").c_str(), 1);
  EXPECT_EQ(platform::DesktopFolder(), box.Path("Desktop/"));
  box.WriteFile("cfg/user-dirs.dirs", "# x\nXDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n");
  EXPECT_EQ(platform::DefaultStorageFolder(), box.Path("デスクトップ/marovine_folder/"));
  ::unsetenv("XDG_CONFIG_HOME");
}

TEST(FileExceptionTest, ErrnoMapsOntoCausesAndTexts) {
  EXPECT_EQ(platform::FileExceptionText(platform::FileExceptionCauseFromErrno(ENOSPC)),
            "ディスク フル");
  EXPECT_EQ(platform::FileExceptionText(platform::FileExceptionCauseFromErrno(EACCES)),
            "ファイル アクセス禁止");
  EXPECT_EQ(platform::FileExceptionText(platform::FileExceptionCauseFromErrno(ENOENT)),
            "予期しないエラー");
  EXPECT_EQ(platform::FileExceptionText(14), "ファイルの終わりに到達");
  EXPECT_EQ(platform::FileExceptionText(99), "予期しないエラー");
}

TEST(TextEncodingTest, Utf8ValidationAndCp932Conversion) {
  EXPECT_TRUE(platform::IsValidUtf8("まろびね abc"));
  EXPECT_FALSE(platform::IsValidUtf8("\x82\xdc"));
  EXPECT_FALSE(platform::IsValidUtf8("\xed\xa0\x80"));  // a surrogate
  EXPECT_FALSE(platform::IsValidUtf8("\xc0\xaf"));      // an overlong "/"
  EXPECT_EQ(platform::LegacyToUtf8("\x82\xdc\x82\xeb"), "まろ");
  EXPECT_EQ(platform::LegacyToUtf8("plain"), "plain");
}

}  // namespace
