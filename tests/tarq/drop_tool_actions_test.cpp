#include "tarq/drop_tool_actions.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/path.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::tarq::DislikeFileShownInTitles;
using marovine::tarq::DropToolState;
using marovine::tarq::HandleDroppedPaths;
using marovine::testing::Sandbox;

DropToolState StateIn(const Sandbox& box) {
  DropToolState state;
  state.banner_path = box.Path("banner.dat");
  return state;
}

TEST(MainProgramTest, MustBeARealFileBesideTheTool) {
  Sandbox box;
  EXPECT_FALSE(marovine::tarq::MainProgramIsBeside(box.path()));
  EXPECT_TRUE(platform::MakeFolders(box.Path("marovine")));
  EXPECT_FALSE(marovine::tarq::MainProgramIsBeside(box.path()));
  Sandbox other;
  other.WriteFile("marovine", "#!/bin/sh\n");
  EXPECT_TRUE(marovine::tarq::MainProgramIsBeside(other.path()));
  EXPECT_EQ(marovine::tarq::MainProgramPath(other.path()), other.Path("marovine"));
}

TEST(DropTest, RecordsEveryFileInDropOrderAndDeletesOnlyWhenAsked) {
  Sandbox box;
  auto state = StateIn(box);
  std::string first = box.WriteFile("pics/first.jpg", std::string(150, '1'));
  std::string second = box.WriteFile("pics/second.jpg", std::string(250, '2'));
  auto report = HandleDroppedPaths(state, {second, first});
  EXPECT_FALSE(report.message);
  EXPECT_EQ(box.ReadFile("banner.dat"), ";\n250\n50\n;\n150\n0\n");
  EXPECT_EQ(state.status, first + "を処理。");
  EXPECT_TRUE(platform::FileExists(first));

  state.delete_after_drop = true;
  HandleDroppedPaths(state, {first, second});
  EXPECT_FALSE(platform::FileExists(first));
  EXPECT_FALSE(platform::FileExists(second));
  EXPECT_EQ(box.ReadFile("banner.dat"), ";\n250\n50\n;\n150\n0\n;\n150\n0\n;\n250\n50\n");
}

TEST(DropTest, UnreadableFileIsNotRecordedButStillDeleted) {
  Sandbox box;
  auto state = StateIn(box);
  state.delete_after_drop = true;
  std::string link = box.Path("broken.jpg");
  ASSERT_EQ(::symlink(box.Path("nowhere.jpg").c_str(), link.c_str()), 0);
  HandleDroppedPaths(state, {link});
  EXPECT_FALSE(platform::FileExists(box.Path("banner.dat")));
  EXPECT_EQ(::access(link.c_str(), F_OK), -1);
  struct stat st {};
  EXPECT_NE(::lstat(link.c_str(), &st), 0);
  EXPECT_EQ(state.status, link + "を処理。");
}

TEST(DropTest, NothingIsDeletedWhileTheListCannotBeWritten) {
  Sandbox box;
  auto state = StateIn(box);
  state.banner_path = box.Path("missing-folder/banner.dat");
  state.delete_after_drop = true;
  std::string a = box.WriteFile("a.jpg", "aaaa");
  std::string b = box.WriteFile("b.jpg", "bbbb");
  auto report = HandleDroppedPaths(state, {a, b});
  EXPECT_TRUE(platform::FileExists(a));
  EXPECT_TRUE(platform::FileExists(b));
  ASSERT_TRUE(report.message);
  EXPECT_EQ(state.status, state.banner_path + "に書き込めません。");
}

TEST(DropTest, DroppedFolderBecomesTheSearchFolderAndEndsTheDrop) {
  Sandbox box;
  auto state = StateIn(box);
  state.delete_after_drop = true;
  std::string before = box.WriteFile("before.jpg", "1234");
  EXPECT_TRUE(platform::MakeFolders(box.Path("viewer folder")));
  std::string after = box.WriteFile("after.jpg", "5678");
  // Names that look like folders but are files take the ordinary way.
  std::string folder_like = box.WriteFile("album", "not a folder");
  HandleDroppedPaths(state, {folder_like, before, box.Path("viewer folder"), after});
  EXPECT_EQ(state.search_folder, box.Path("viewer folder/"));
  EXPECT_EQ(state.status, box.Path("viewer folder") + "にフォルダを設定");
  EXPECT_FALSE(platform::FileExists(folder_like));
  EXPECT_FALSE(platform::FileExists(before));
  EXPECT_TRUE(platform::FileExists(after));
  EXPECT_TRUE(platform::IsFolder(box.Path("viewer folder")));
  EXPECT_EQ(box.ReadFile("banner.dat"), ";\n12\n0\n;\n4\n0\n");
}

TEST(TitleSearchActionTest, RecordsAnAbsolutePathAndSelectsItsTitle) {
  Sandbox box;
  auto state = StateIn(box);
  std::string picture = box.WriteFile("写真/猫.jpg", std::string(300, 'n'));
  auto report = DislikeFileShownInTitles(
      state, {"端末", "画像ビューア - [" + picture + "]", "other.jpg - viewer"});
  EXPECT_FALSE(report.message);
  ASSERT_TRUE(report.used_title_index);
  EXPECT_EQ(*report.used_title_index, 1u);
  EXPECT_EQ(state.status, picture + "処理。");
  EXPECT_EQ(box.ReadFile("banner.dat"), ";\n300\n110\n");
  EXPECT_TRUE(platform::FileExists(picture));

  state.also_delete = true;
  DislikeFileShownInTitles(state, {picture + " - viewer"});
  EXPECT_EQ(state.status, picture + "処理。ついでに削除。");
  EXPECT_FALSE(platform::FileExists(picture));
}

TEST(TitleSearchActionTest, RelativeNamesAreLookedUpInTheSearchFolderOnly) {
  Sandbox box;
  auto state = StateIn(box);
  box.WriteFile("folder/cat.gif", std::string(10, 'c'));
  box.WriteFile("secret.zip", "keep me");
  std::vector<std::string> titles = {"viewer (cat.gif)"};

  auto report = DislikeFileShownInTitles(state, titles);
  ASSERT_TRUE(report.message);
  EXPECT_EQ(*report.message, "ファイルのパスが無いかもしれません。\nフォルダを設定してください。");
  EXPECT_EQ(state.status, "cat.gif");

  state.search_folder = box.Path("elsewhere/");
  report = DislikeFileShownInTitles(state, titles);
  ASSERT_TRUE(report.message);
  EXPECT_EQ(
      *report.message,
      "ファイルを開けません。開くアプリケーションを変えてみてください。\nまたは、フォルダの設定が"
      "間違っています。");

  state.search_folder = box.Path("folder/");
  report = DislikeFileShownInTitles(state, titles);
  EXPECT_FALSE(report.message);
  EXPECT_EQ(box.ReadFile("banner.dat"), ";\n10\n0\n");

  // A title (a web page's, say) must not lead out of the search folder.
  state.also_delete = true;
  report = DislikeFileShownInTitles(state, {"../secret.zip - browser"});
  EXPECT_TRUE(report.message);
  EXPECT_TRUE(platform::FileExists(box.Path("secret.zip")));
}

TEST(TitleSearchActionTest, NoTitleNamingAFileIsReported) {
  Sandbox box;
  auto state = StateIn(box);
  auto report = DislikeFileShownInTitles(state, {"端末", "メール", "notes.txt - editor"});
  ASSERT_TRUE(report.message);
  EXPECT_EQ(*report.message,
            "ファイルが見つかりません。アプリケーションが開いているか確認してください。");
  EXPECT_FALSE(report.used_title_index);
  EXPECT_FALSE(platform::FileExists(box.Path("banner.dat")));
}

}  // namespace
