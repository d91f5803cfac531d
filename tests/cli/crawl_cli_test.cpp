// marovine-cli as users run it: arguments, progress output, exit status,
// Ctrl-C, against a real nginx on loopback.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "marovine/document/document_file.h"
#include "marovine/document/marovine_doc.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "tests/support/child_process.h"
#include "tests/support/loopback_server.h"
#include "tests/support/nginx_server.h"
#include "tests/support/sandbox.h"
#include "tests/support/wait_for.h"

namespace marovine {
namespace {

using testing::ChildProcess;
using testing::Sandbox;

std::string CliPath() {
  const char* build = std::getenv("MAROVINE_BUILD_DIR");
  return std::string(build ? build : ".") + "/marovine/cli/marovine-cli";
}

class CrawlCliTest : public ::testing::Test {
 protected:
  void SetUp() override { std::signal(SIGCHLD, SIG_DFL); }

  // Settings for a quick, quiet crawl into the sandbox.
  void WriteSettings(const std::string& extra = "") {
    box.WriteFile("home/marovine.ini",
                  "[DownLoad]\nRetryWaitTime=0\nTimeOut=10\n"
                  "[MarovineDownLoad]\nKakunou Folder=" +
                      box.Path("store/") +
                      "\nKakuchoushi=jpg\nMake Date Name Folder=0\nPut Random Num=0\n"
                      "Dont Down Gomi=0\n" +
                      extra);
  }

  ChildProcess Start(std::vector<std::string> args) {
    args.insert(args.begin(), {CliPath(), "--home", box.Path("home")});
    return ChildProcess(args, {"HOME=" + box.path()}, box.Path("stdout.txt"),
                        box.Path("stderr.txt"));
  }
  int Run(std::vector<std::string> args) { return Start(std::move(args)).Wait(); }

  std::string Out() { return box.ReadFile("stdout.txt"); }
  std::string Err() { return box.ReadFile("stderr.txt"); }

  Sandbox box;
};

TEST_F(CrawlCliTest, BadArgumentsAndUnusableFilesFailClearly) {
  EXPECT_EQ(Run({"--tick-ms", "0"}), 2);
  EXPECT_NE(Err().find("--tick-ms"), std::string::npos);
  EXPECT_EQ(Run({"--frobnicate"}), 2);
  EXPECT_NE(Err().find("unknown option --frobnicate"), std::string::npos);
  EXPECT_EQ(Run({"--doc"}), 2);

  box.WriteFile("broken.mrv", std::string("\x08marovine\x72\x01\x00\x00\xff\xff\xff\xf0", 16));
  EXPECT_EQ(Run({"--doc", box.Path("broken.mrv")}), 2);
  EXPECT_NE(Err().find("cannot read the document"), std::string::npos) << Err();

  box.WriteFile("plain-file", "x");
  ChildProcess blocked({CliPath(), "--home", box.Path("plain-file/home")}, {},
                       box.Path("stdout.txt"), box.Path("stderr.txt"));
  EXPECT_EQ(blocked.Wait(), 2);
  EXPECT_NE(Err().find("cannot write to the program folder"), std::string::npos) << Err();
}

TEST_F(CrawlCliTest, CrawlsASiteAndSavesTheDocument) {
  Sandbox site;
  site.WriteFile("g/index.html",
                 "<html><title>G</title><a href='a.jpg'>a</a> <a href='b.jpg'>b</a>"
                 "<a href='other.html'>o</a></html>");
  site.WriteFile("g/a.jpg", std::string(3000, 'a'));
  site.WriteFile("g/b.jpg", std::string(4000, 'b'));
  testing::NginxServer server(site.path());
  ASSERT_TRUE(server.ok());
  WriteSettings();

  ASSERT_EQ(Run({"--tick-ms", "20", server.Url("/g/")}), 0) << Err();
  EXPECT_EQ(box.ReadFile("store/a.jpg"), std::string(3000, 'a'));
  EXPECT_EQ(box.ReadFile("store/b.jpg"), std::string(4000, 'b'));
  // Plain lines when stdout is no terminal: the site, each finished file, the end.
  EXPECT_NE(Out().find("site   " + server.Url("/g/")), std::string::npos) << Out();
  EXPECT_NE(Out().find("done    " + server.Url("/g/a.jpg")), std::string::npos) << Out();
  EXPECT_NE(Out().find("終了しました。"), std::string::npos) << Out();

  CMarovineDoc doc(box.Path("home/"), box.Path("store/"));
  ASSERT_TRUE(LoadDocumentFile(doc, box.Path("home/default.mrv")).ok);
  ASSERT_EQ(doc.link_items.size(), 1u);
  EXPECT_EQ(doc.link_items[0].state, LS_DONE);

  // A URL the settings do not let in is named, and the crawl still ends well.
  ASSERT_EQ(Run({"--tick-ms", "20", "--fast", server.Url("/g/a.zip")}), 0);
  EXPECT_NE(Err().find("was not registered"), std::string::npos) << Err();
}

// A mirror made once is brought up to date by a second run: each file is
// asked for with its date, and only what changed comes whole. Links skipped
// for an ignore word are named with the word.
TEST_F(CrawlCliTest, UpdateRefreshesAMirrorAndIgnoredLinksAreNamed) {
  Sandbox site;
  site.WriteFile("m/index.html",
                 "<html><title>M</title><img src='a.jpg'><img src='b.jpg'>"
                 "<a href='sys_path_init.html'>p</a></html>");
  site.WriteFile("m/a.jpg", std::string(3000, 'a'));
  site.WriteFile("m/b.jpg", std::string(4000, 'b'));
  site.WriteFile("m/sys_path_init.html", "<html>skipped</html>");
  testing::NginxServer server(site.path());
  ASSERT_TRUE(server.ok());
  WriteSettings(
      "[MarugotoDownload]\nMarugotoPass=" + box.Path("whole/") +
      "\nMarugotoKakuchoushi=jpg\n[Kensaku]\nInsertToLink=html\n[UrlInsert]\nInsertToLink=html\n");

  ASSERT_EQ(Run({"--tick-ms", "20", "--fast", "--whole-site", server.Url("/m/index.html")}), 0)
      << Err();
  EXPECT_NE(Out().find("status ignored (word \"th_\") " + server.Url("/m/sys_path_init.html")),
            std::string::npos)
      << Out();
  EXPECT_NE(Out().find("done    " + server.Url("/m/a.jpg")), std::string::npos) << Out();

  // The same command again registers nothing new; --update searches again.
  std::string a = site.WriteFile("m/a.jpg", std::string(3500, 'A'));
  std::filesystem::last_write_time(a, std::filesystem::last_write_time(a) + std::chrono::hours(1));
  ASSERT_EQ(Run({"--tick-ms", "20", "--fast", "--update"}), 0) << Err();
  const std::string out = Out();
  EXPECT_NE(out.find("done    " + server.Url("/m/a.jpg") + "  3/3  正常に終了しました。"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("done    " + server.Url("/m/b.jpg") + "  0/3  更新されていません。"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find(server.Url("/m/index.html") + "  0/0  更新されていません。"),
            std::string::npos)
      << out;
}

TEST_F(CrawlCliTest, InterruptStopsKeepsThePartialFileAndSavesTheList) {
  testing::LoopbackServer slow([](testing::LoopbackConnection& c) {
    c.ReadRequestHead();
    c.Send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(5000, 'p'));
    c.WaitForClientClose();
  });
  WriteSettings();
  box.WriteFile("home/marovine.ini", box.ReadFile("home/marovine.ini") +
                                         "[UrlInsert]\nInsertToDown=jpg\n"
                                         "[DownLoad]\nKakunouFolder=" +
                                         box.Path("direct/") + "\n");
  ChildProcess cli = Start({"--tick-ms", "20", slow.Url("/big.jpg")});
  ASSERT_TRUE(testing::WaitFor([&] {
    return platform::FileSizeOf(box.Path("direct/big.jpg")).value_or(0) == 5000;
  })) << Err();
  ::kill(cli.pid(), SIGINT);
  EXPECT_EQ(cli.Wait(), 130);
  EXPECT_EQ(platform::FileSizeOf(box.Path("direct/big.jpg")).value_or(0), 5000);
  CMarovineDoc doc(box.Path("home/"), box.Path("store/"));
  ASSERT_TRUE(LoadDocumentFile(doc, box.Path("home/default.mrv")).ok);
  ASSERT_EQ(doc.download_items.size(), 1u);
  EXPECT_EQ(doc.download_items[0].state, DS_RETRY_WAIT);
}

}  // namespace
}  // namespace marovine
