// marovine-cli as users run it: arguments, progress output, exit status,
// Ctrl-C, against a real nginx on loopback.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "marovine/album/album_commands.h"
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

  ChildProcess Start(std::vector<std::string> args, std::vector<std::string> env = {}) {
    args.insert(args.begin(), {CliPath(), "--home", box.Path("home")});
    env.push_back("HOME=" + box.path());
    return ChildProcess(args, env, box.Path("stdout.txt"), box.Path("stderr.txt"));
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
                 "<html><title>G\x1b[2J\x1b]0;owned\x07</title><a href='a.jpg'>a</a> "
                 "<a href='b.jpg'>b</a>"
                 "<a href='other.html'>o</a></html>");
  site.WriteFile("g/a.jpg", std::string(3000, 'a'));
  site.WriteFile("g/b.jpg", std::string(4000, 'b'));
  testing::NginxServer server(site.path());
  ASSERT_TRUE(server.ok());
  WriteSettings();

  // other.html is missing: the run fails and says so, after fetching the rest.
  ASSERT_EQ(Run({"--tick-ms", "20", server.Url("/g/")}), 1) << Err();
  EXPECT_NE(Err().find("1 item(s) failed"), std::string::npos) << Err();
  EXPECT_EQ(box.ReadFile("store/a.jpg"), std::string(3000, 'a'));
  EXPECT_EQ(box.ReadFile("store/b.jpg"), std::string(4000, 'b'));
  // Plain lines when stdout is no terminal: the site, each finished file, the end.
  EXPECT_NE(Out().find("site   " + server.Url("/g/")), std::string::npos) << Out();
  EXPECT_NE(Out().find("done    " + server.Url("/g/a.jpg")), std::string::npos) << Out();
  EXPECT_NE(Out().find("終了しました。"), std::string::npos) << Out();
  // A title cannot clear the terminal or set its title.
  EXPECT_NE(Out().find("title  G?[2J?]0;owned?"), std::string::npos) << Out();
  EXPECT_EQ(Out().find_first_of("\x1b\x07"), std::string::npos);

  CMarovineDoc doc(box.Path("home/"), box.Path("store/"));
  ASSERT_TRUE(LoadDocumentFile(doc, box.Path("home/default.mrv")).ok);
  ASSERT_EQ(doc.link_items.size(), 1u);
  EXPECT_EQ(doc.link_items[0].state, LS_DONE);

  // A URL the settings do not let in is named, and the crawl still ends well.
  ASSERT_EQ(Run({"--tick-ms", "20", "--fast", server.Url("/g/a.zip")}), 0);
  EXPECT_NE(Err().find("was not registered"), std::string::npos) << Err();
}

// The album made after a site is part of the run: one that cannot be
// written fails the run, though every file arrived.
TEST_F(CrawlCliTest, AnAlbumNotWrittenAfterTheSiteFailsTheRun) {
  Sandbox site;
  site.WriteFile("g/index.html", "<html><a href='a.jpg'>a</a></html>");
  site.WriteFile("g/a.jpg", std::string(3000, 'a'));
  testing::NginxServer server(site.path());
  ASSERT_TRUE(server.ok());
  WriteSettings("[MarovineHTMLAlbum]\nMakeAlbumAfterDownload=1\nAlubumFileNum=1\n");
  box.WriteFile("store/AlbumIndex.html/blocker", "a folder where the index would go");
  EXPECT_EQ(Run({"--tick-ms", "20", server.Url("/g/")}), 1) << Err();
  EXPECT_EQ(box.ReadFile("store/a.jpg"), std::string(3000, 'a'));
  EXPECT_NE(Err().find(std::string(kAlbumNotWrittenMessage) + " " + server.Url("/g/")),
            std::string::npos)
      << Err();
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

  ASSERT_EQ(Run({"--tick-ms", "20", "--fast", "-v", "--whole-site", server.Url("/m/index.html")}),
            0)
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
  // Fast mode asks with If-Modified-Since: the unchanged file answers 304, no body.
  EXPECT_NE(out.find("done    " + server.Url("/m/b.jpg") + "  0/0  更新されていません。"),
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
  // A second run on the same program folder is refused while the first lives.
  EXPECT_EQ(Run({"--tick-ms", "20", slow.Url("/other.jpg")}), 2);
  EXPECT_NE(Err().find("the program folder " + box.Path("home")), std::string::npos) << Err();
  EXPECT_NE(Err().find("in use"), std::string::npos) << Err();
  ::kill(cli.pid(), SIGINT);
  EXPECT_EQ(cli.Wait(), 130);
  EXPECT_EQ(platform::FileSizeOf(box.Path("direct/big.jpg")).value_or(0), 5000);
  CMarovineDoc doc(box.Path("home/"), box.Path("store/"));
  ASSERT_TRUE(LoadDocumentFile(doc, box.Path("home/default.mrv")).ok);
  ASSERT_EQ(doc.download_items.size(), 1u);
  EXPECT_EQ(doc.download_items[0].state, DS_RETRY_WAIT);
}

// The sound and system bus libraries, and GLib and the audio codecs behind
// them, are opened when a sound plays or the bus is called: a crawl that does
// neither does not load them at all.
TEST_F(CrawlCliTest, ACrawlWithoutSoundsOrBusNeverLoadsTheirLibraries) {
  Sandbox site;
  site.WriteFile("q/index.html", "<html><a href='a.jpg'>a</a></html>");
  site.WriteFile("q/a.jpg", std::string(100, 'a'));
  testing::NginxServer server(site.path());
  ASSERT_TRUE(server.ok());
  WriteSettings();
  // The dynamic loader lists every library it opens, at the start or later,
  // in loader.<pid>.
  ASSERT_EQ(Start({"--tick-ms", "20", server.Url("/q/")},
                  {"LD_DEBUG=libs", "LD_DEBUG_OUTPUT=" + box.Path("loader")})
                .Wait(),
            0)
      << Err();
  EXPECT_EQ(box.ReadFile("store/a.jpg"), std::string(100, 'a'));
  std::string loaded;
  for (const auto& entry : std::filesystem::directory_iterator(box.path())) {
    if (entry.path().filename().string().starts_with("loader.")) {
      loaded += box.ReadFile(entry.path().filename().string());
    }
  }
  ASSERT_NE(loaded.find("libssl.so"), std::string::npos) << "no loader output";
  for (const char* library : {"libgio-2.0.so", "libgobject-2.0.so", "libglib-2.0.so",
                              "libcanberra.so", "libsndfile.so"}) {
    EXPECT_EQ(loaded.find(library), std::string::npos) << library << " was loaded";
  }
}

TEST_F(CrawlCliTest, FirstStartWritesTheShownDefaultsAndKeepsAnExistingFile) {
  Sandbox site;
  site.WriteFile("g/page.html", "<html><a href='a.jpg'>a</a></html>");
  site.WriteFile("g/a.jpg", std::string(20000, 'a'));
  testing::NginxServer server(site.path());
  ASSERT_TRUE(server.ok());

  // No marovine.ini yet: a page is a site to search, as the settings show.
  ASSERT_EQ(Run({"--tick-ms", "20", server.Url("/g/page.html")}), 0) << Err();
  EXPECT_EQ(Err().find("was not registered"), std::string::npos) << Err();
  std::string ini = box.ReadFile("home/marovine.ini");
  EXPECT_NE(ini.find("[UrlInsert]\nInsertToLink=htm html HTML HTM shtml SHTML\n"),
            std::string::npos)
      << ini;
  EXPECT_NE(ini.find("KensakuLevel=2\n"), std::string::npos);
  EXPECT_NE(ini.find("Desktop/marovine_folder/Marugoto/\n"), std::string::npos) << ini;
  CMarovineDoc doc(box.Path("home/"), box.Path("store/"));
  ASSERT_TRUE(LoadDocumentFile(doc, box.Path("home/default.mrv")).ok);
  ASSERT_EQ(doc.link_items.size(), 1u);
  EXPECT_EQ(doc.link_items[0].state, LS_DONE);
  EXPECT_EQ(doc.link_items[0].file_count, 1);

  box.WriteFile("home/marovine.ini", "[Ippan]\nReadMrvStartUp=0\n");
  ASSERT_EQ(Run({}), 0) << Err();
  EXPECT_EQ(box.ReadFile("home/marovine.ini"), "[Ippan]\nReadMrvStartUp=0\n");
}

TEST_F(CrawlCliTest, AFullDiskFailsTheRunAndRetryFailedCompletesTheFileLater) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
  std::string disk = box.Path("disk");
  ASSERT_TRUE(platform::MakeFolders(disk));
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
  }
  struct Unmount {
    std::string path;
    ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } unmount{disk};

  std::string picture;
  for (int i = 0; i < 300000; ++i) picture.push_back(static_cast<char>(i * 7 % 251));
  Sandbox site;
  site.WriteFile("big.jpg", picture);
  testing::NginxServer server(site.path());
  ASSERT_TRUE(server.ok());
  WriteSettings("[UrlInsert]\nInsertToDown=jpg\n[DownLoad]\nKakunouFolder=" + disk + "/\n");

  EXPECT_EQ(Run({"--tick-ms", "20", server.Url("/big.jpg")}), 1) << Out();
  EXPECT_NE(Err().find("1 item(s) failed"), std::string::npos) << Err();
  std::int64_t partial = platform::FileSizeOf(disk + "/big.jpg").value_or(0);
  EXPECT_GT(partial, 0);
  EXPECT_LT(partial, 300000);

  // Space freed: the failed item is fetched again, from where it broke off.
  ASSERT_EQ(::mount("tmpfs", disk.c_str(), "tmpfs", MS_REMOUNT, "size=1m"), 0);
  EXPECT_EQ(Run({"--tick-ms", "20", "--retry-failed"}), 0) << Out() << Err();
  EXPECT_EQ(platform::ReadWholeFile(disk + "/big.jpg").value_or(""), picture);
}

TEST_F(CrawlCliTest, RunsKilledAtAnyMomentResumeEveryPartToTheServersBytes) {
  // A few hundred pictures of different sizes, served slowly enough that
  // every kill finds transfers under way.
  Sandbox site;
  std::string page = "<html>";
  std::vector<std::pair<std::string, std::string>> pictures;
  for (int n = 0; n < 200; ++n) {
    std::string name = "p" + std::to_string(n) + ".jpg";
    std::string bytes;
    for (int i = 0; i < 4000 + n * 61; ++i) bytes.push_back(static_cast<char>((i * 31 + n) % 253));
    site.WriteFile("g/" + name, bytes);
    page += "<a href='" + name + "'>" + name + "</a>\n";
    pictures.emplace_back(name, std::move(bytes));
  }
  site.WriteFile("g/index.html", page + "</html>");
  testing::NginxServer server(site.path(), "sendfile off; output_buffers 1 4k; limit_rate 64k;\n");
  ASSERT_TRUE(server.ok());
  WriteSettings("[DownLoad]\nDouziDL=5\n");

  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> moment_ms(50, 800);
  std::vector<std::string> args = {"--tick-ms", "20", "--fast", server.Url("/g/")};
  for (int kill = 0; kill < 10; ++kill) {
    ChildProcess cli = Start(args);
    std::this_thread::sleep_for(std::chrono::milliseconds(moment_ms(random)));
    ::kill(cli.pid(), SIGKILL);
    cli.Wait();
    args = {"--tick-ms", "20", "--fast"};  // the document carries the crawl on
  }
  ASSERT_EQ(Run(args), 0) << Err();

  for (const auto& [name, bytes] : pictures) {
    EXPECT_EQ(box.ReadFile("store/" + name), bytes) << name;
  }
  // Nothing was fetched twice under another name beside a lost part.
  std::size_t stored_pictures = 0;
  for (const auto& entry : std::filesystem::directory_iterator(box.Path("store"))) {
    if (entry.path().extension() == ".jpg") ++stored_pictures;
  }
  EXPECT_EQ(stored_pictures, pictures.size());
}

}  // namespace
}  // namespace marovine
