#include <gtest/gtest.h>

#include "marovine/document/document_file.h"
#include "marovine/document/marovine_doc.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "marovine/album/album_commands.h"
#include "marovine/album/jpeg_codec.h"
#include "platform/path.h"
#include "tests/album/test_pictures.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::testing::ChildProcess;
using marovine::testing::Sandbox;

// The build folder is the parent of this test program's folder (MAROVINE_BUILD_DIR
// does not reach the tests through ctest as things stand).
std::string CliPath() {
  const char* build = std::getenv("MAROVINE_BUILD_DIR");
  std::string folder = build != nullptr ? build : "";
  if (folder.empty()) {
    char self[4096];
    ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string tests_folder = n > 0 ? platform::FolderOf(std::string(self, n)) : "./";
    tests_folder.pop_back();
    folder = platform::FolderOf(tests_folder);
  }
  return platform::JoinPath(folder, "marovine/cli/marovine-cli");
}

int RunCli(const Sandbox& box, std::vector<std::string> args) {
  // A parent that ignores SIGCHLD (ctest may) would let the child be reaped
  // before its exit status can be read.
  std::signal(SIGCHLD, SIG_DFL);
  args.insert(args.begin(), {CliPath(), "--home", box.Path("home")});
  ChildProcess child(args, {}, box.Path("stdout.txt"), box.Path("stderr.txt"));
  return child.Wait();
}

TEST(AlbumCliTest, FolderAlbumAndSiteAlbumFromTheCommandLine) {
  Sandbox box;
  ASSERT_TRUE(marovine::WriteJpegRgb(box.Path("pics/a.jpg"),
                                     marovine::testing::SolidImage(300, 200, 5, 5, 5), true, 90));
  box.WriteFile("home/marovine.ini", "[MarovineHTMLAlbum]\nThumbWidth=60\n");
  ASSERT_EQ(RunCli(box, {"album", box.Path("pics")}), 0) << box.ReadFile("stderr.txt");
  EXPECT_EQ(box.ReadFile("stdout.txt"), box.Path("pics/HtmlAlbum.html") + "\n");
  EXPECT_NE(box.ReadFile("pics/HtmlAlbum.html").find("width='60' height='40'"), std::string::npos);

  box.WriteFile("home/Log/h.example_.txt",
                "[a.jpg]\nMessage=正常に終了しました。\nFilePass=" + box.Path("pics/a.jpg") + "\n");
  ASSERT_EQ(RunCli(box, {"album", "--site", "http://h.example/", "--title", "T"}), 0)
      << box.ReadFile("stderr.txt");
  EXPECT_TRUE(platform::FileExists(box.Path("pics/thumb/h.example_.html")));
  EXPECT_TRUE(platform::FileExists(box.Path("pics/AlbumIndex.html")));

  // An index that cannot be written fails the command.
  std::filesystem::remove(box.Path("pics/AlbumIndex.html"));
  box.WriteFile("pics/AlbumIndex.html/blocker", "a folder where the index would go");
  EXPECT_EQ(RunCli(box, {"album", "--site", "http://h.example/", "--title", "T"}), 1);
  EXPECT_NE(box.ReadFile("stderr.txt").find(marovine::kAlbumNotWrittenMessage), std::string::npos)
      << box.ReadFile("stderr.txt");
}

TEST(AlbumCliTest, BadArgumentsFailWithAMessage) {
  Sandbox box;
  EXPECT_EQ(RunCli(box, {"album"}), 2);
  EXPECT_NE(box.ReadFile("stderr.txt").find("usage:"), std::string::npos);
  EXPECT_EQ(RunCli(box, {"album", box.Path("missing")}), 2);
  EXPECT_NE(box.ReadFile("stderr.txt").find("no such folder"), std::string::npos);
  EXPECT_EQ(RunCli(box, {"album", "--site"}), 2);
  EXPECT_EQ(RunCli(box, {"album", "--site", "http://nolog/"}), 1);
  EXPECT_NE(box.ReadFile("stderr.txt").find("ログが見つかりません。"), std::string::npos);
  EXPECT_EQ(RunCli(box, {"seq", "http://h/", "1"}), 2);
  EXPECT_EQ(RunCli(box, {"seq", "http://h/", "1", "x", "--ext", "jpg"}), 2);
  EXPECT_EQ(RunCli(box, {"seq", "http://h/", "1", "2"}), 2);  // no extension
  EXPECT_EQ(RunCli(box, {"seq", "http://h/", "1", "2", "--ext", "jpg", "--register", "--out", "x"}),
            2);
}

TEST(AlbumCliTest, SeqRegistersIntoTheProgramFoldersDocument) {
  Sandbox box;
  box.WriteFile("home/marovine.ini", "[UrlInsert]\nInsertToDown=jpg\n");
  ASSERT_EQ(RunCli(box, {"seq", "http://h/p", "1", "3", "--ext", "jpg", "--register"}), 0)
      << box.ReadFile("stderr.txt");
  EXPECT_NE(box.ReadFile("stdout.txt").find("registered 3 of 3"), std::string::npos);
  // A second run adds to the same document; duplicates are refused.
  ASSERT_EQ(RunCli(box, {"seq", "http://h/p", "3", "4", "--ext", "jpg", "--register"}), 0);
  marovine::CMarovineDoc doc(box.Path("home/"), box.Path("store/"));
  ASSERT_TRUE(marovine::LoadDocumentFile(doc, box.Path("home/default.mrv")).ok);
  ASSERT_EQ(doc.download_items.size(), 4u);
  EXPECT_EQ(doc.download_items[3].url, "http://h/p4.jpg");
}

TEST(AlbumCliTest, SeqPrintsOrWritesTheList) {
  Sandbox box;
  ASSERT_EQ(RunCli(box, {"seq", "http://h/p", "9", "10", "--ext", "jpg", "--digits", "2"}), 0);
  EXPECT_EQ(box.ReadFile("stdout.txt"), "http://h/p09.jpg\nhttp://h/p10.jpg\n");
  ASSERT_EQ(RunCli(box, {"seq", "http://h/*.png", "-1", "0", "--out", box.Path("l.txt")}), 0);
  EXPECT_EQ(box.ReadFile("l.txt"), "http://h/-1.png\nhttp://h/0.png\n");
  box.WriteFile("f", "");
  EXPECT_EQ(RunCli(box, {"seq", "http://h/*.png", "1", "1", "--out", box.Path("f/l.txt")}), 1);
  EXPECT_NE(box.ReadFile("stderr.txt").find("開けません！"), std::string::npos);
}

}  // namespace
