// marovine-cli driven by flags, as a wget user runs it: a crawl set up by
// flags alone, the end summary of a crawl with known skips and failures, and
// the progress display on a terminal and on a pipe.

#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <utility>
#include <vector>

#include "marovine/cli/progress_text.h"
#include "platform/path.h"
#include "tests/support/child_process.h"
#include "tests/support/nginx_server.h"
#include "tests/support/sandbox.h"

namespace marovine {
namespace {

using testing::ChildProcess;
using testing::Sandbox;

std::string CliPath() {
  const char* build = std::getenv("MAROVINE_BUILD_DIR");
  return std::string(build ? build : ".") + "/marovine/cli/marovine-cli";
}

class FlagsCliTest : public ::testing::Test {
 protected:
  void SetUp() override { std::signal(SIGCHLD, SIG_DFL); }

  int Run(const std::string& home, std::vector<std::string> args) {
    args.insert(args.begin(), {CliPath(), "--home", box.Path(home)});
    return ChildProcess(args, {"HOME=" + box.path()}, box.Path("stdout.txt"),
                        box.Path("stderr.txt"))
        .Wait();
  }
  std::string Out() { return box.ReadFile("stdout.txt"); }
  std::string Err() { return box.ReadFile("stderr.txt"); }
  bool Stored(const std::string& name) { return platform::FileExists(box.Path(name)); }

  Sandbox box;
};

TEST_F(FlagsCliTest, FlagsAloneOnAFreshProgramFolderSayWhereWhatAndHowFar) {
  Sandbox site;
  const std::string picture(20000, 'p');  // above the first start's smallest size
  site.WriteFile("g/index.html",
                 "<html><a href='a.jpg'>a</a><a href='b.png'>b</a><a href='c.gif'>c</a>"
                 "<a href='sub/p.html'>below</a><a href='../other/q.html'>beside</a></html>");
  site.WriteFile("g/sub/p.html", "<html><a href='p.jpg'>p</a></html>");
  site.WriteFile("other/q.html", "<html><a href='q.jpg'>q</a></html>");
  for (const char* name : {"g/a.jpg", "g/b.png", "g/c.gif", "g/sub/p.jpg", "other/q.jpg"}) {
    site.WriteFile(name, picture);
  }
  testing::NginxServer server(site.path());
  ASSERT_TRUE(server.ok());
  const std::vector<std::string> flags = {
      "--tick-ms", "20", "--fast", "-A", "jpg,png", "--no-date-folder", "--no-random-prefix"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = flags;
    args.insert(args.end(), more.begin(), more.end());
    args.push_back(server.Url("/g/"));
    return args;
  };

  // Level 2: the start page's folder and below.
  ASSERT_EQ(Run("home2", with({"-P", box.Path("level2"), "-l", "2"})), 0) << Err();
  EXPECT_EQ(box.ReadFile("level2/a.jpg"), picture);
  EXPECT_TRUE(Stored("level2/b.png"));
  EXPECT_TRUE(Stored("level2/p.jpg"));
  EXPECT_FALSE(Stored("level2/c.gif"));  // not an extension asked for
  EXPECT_FALSE(Stored("level2/q.jpg"));  // its page lies beside the start page's folder
  // Level 1: the whole site.
  ASSERT_EQ(Run("home1", with({"--folder=" + box.Path("level1"), "--level=1"})), 0) << Err();
  EXPECT_TRUE(Stored("level1/p.jpg"));
  EXPECT_TRUE(Stored("level1/q.jpg"));
  EXPECT_FALSE(Stored("level1/c.gif"));
  EXPECT_NE(Out().find("summary: 1 site searched, 4 files fetched (+3 pages)"), std::string::npos)
      << Out();

  // The flags held for their run only; --save-settings keeps them.
  const std::string ini = box.ReadFile("home1/marovine.ini");
  EXPECT_EQ(ini.find(box.Path("level1")), std::string::npos) << ini;
  EXPECT_NE(ini.find("KensakuLevel=2\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Kakuchoushi=jpg jpeg"), std::string::npos) << ini;
  ASSERT_EQ(Run("home1", {"-P", box.Path("saved"), "-j", "5", "--save-settings"}), 0) << Err();
  const std::string saved = box.ReadFile("home1/marovine.ini");
  EXPECT_NE(saved.find("Kakunou Folder=" + box.Path("saved/") + "\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("MarugotoPass=" + box.Path("saved/") + "\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("DouziDL=5\n"), std::string::npos) << saved;

  // A bad flag stops the run before anything is touched, with one line.
  EXPECT_EQ(Run("untouched", {"-j", "11", server.Url("/g/")}), 2);
  EXPECT_EQ(Err(),
            "marovine-cli: -j/--jobs takes a whole number from 1 to 10, not \"11\" "
            "(see --help)\n");
  EXPECT_FALSE(Stored("untouched/marovine.ini"));
}

TEST_F(FlagsCliTest, TheSummaryCountsFetchedSkippedAndFailedItemsAndLogHitsAreNoFailure) {
  Sandbox site;
  const std::string page =
      "<html><a href='a.jpg'>a</a><a href='b.jpg'>b</a><a href='tiny.jpg'>t</a>"
      "<a href='th_x.jpg'>thumb</a><a href='missing.jpg'>m</a><a href='moved.jpg'>r</a></html>";
  site.WriteFile("s/index.html", page);
  site.WriteFile("s/a.jpg", std::string(3000, 'a'));
  site.WriteFile("s/b.jpg", std::string(4000, 'b'));
  site.WriteFile("s/tiny.jpg", std::string(100, 't'));
  site.WriteFile("s/th_x.jpg", std::string(3000, 'x'));
  site.WriteFile("s/c.jpg", std::string(4000, 'c'));
  testing::NginxServer server(site.path(), "location = /s/moved.jpg { return 302 /s/c.jpg; }\n");
  ASSERT_TRUE(server.ok());
  box.WriteFile("home/marovine.ini",
                "[MarovineDownLoad]\nDont Down Gomi=1\nGomi Size=1\n[UrlInsert]\nMushi=th_\n");
  const std::vector<std::string> args = {
      "--tick-ms", "20",           "-P", box.Path("store"),  "-t",
      "0",         "--retry-wait", "0",  "--no-date-folder", "--no-random-prefix"};
  auto run = [&](std::vector<std::string> more) {
    more.insert(more.begin(), args.begin(), args.end());
    return Run("home", more);
  };

  // The missing file fails the run; the tiny one and the ignored one are skips.
  ASSERT_EQ(run({"-v", server.Url("/s/")}), 1) << Err();
  const std::string first = Out();
  // The bytes are the files' 11000 and the page as it came (compressed).
  EXPECT_NE(first.find("summary: 1 site searched, 3 files fetched (+1 page), 2 skipped (log 0, "
                       "ignore words 1, size 1), 1 failed, 10."),
            std::string::npos)
      << first;
  EXPECT_NE(Err().find("1 item(s) failed"), std::string::npos) << Err();
  // -v names the ignored link and the redirect.
  EXPECT_NE(first.find("status ignored (word \"th_\") " + server.Url("/s/th_x.jpg")),
            std::string::npos)
      << first;
  EXPECT_NE(first.find("redirect " + server.Url("/s/moved.jpg") + " -> " + server.Url("/s/c.jpg")),
            std::string::npos)
      << first;
  // A pipe gets plain lines: no redraw, nothing for a terminal.
  EXPECT_EQ(first.find_first_of("\r\x1b"), std::string::npos);

  // Searched again, the files fetched before are found in the download log:
  // skipped, not failed. Without -v the log hits are not listed.
  ASSERT_EQ(run({"--update"}), 1) << Err();
  const std::string second = Out();
  EXPECT_NE(second.find(" 0 files fetched (+1 page), 5 skipped (log 3, ignore words 1, size 1), "
                        "1 failed"),
            std::string::npos)
      << second;
  EXPECT_EQ(second.find("in log "), std::string::npos) << second;
  EXPECT_EQ(second.find("redirect "), std::string::npos) << second;
  EXPECT_NE(second.find("error   " + server.Url("/s/missing.jpg")), std::string::npos) << second;

  // -q: errors only, no summary.
  ASSERT_EQ(run({"-q", "--update"}), 1);
  EXPECT_EQ(Out().find("summary"), std::string::npos) << Out();
  EXPECT_EQ(Out().find("page "), std::string::npos) << Out();
  EXPECT_NE(Out().find("error   " + server.Url("/s/missing.jpg")), std::string::npos) << Out();
}

// With the setting that removes each item from the list as its transfer
// ends, a failed item leaves without ever showing as failed; the run still
// counts it and says so in its exit status.
TEST_F(FlagsCliTest, AFailureThatLeavesTheListAtOnceStillFailsTheRun) {
  Sandbox site;
  site.WriteFile("c/index.html", "<html><a href='a.jpg'>a</a><a href='gone.jpg'>g</a></html>");
  site.WriteFile("c/a.jpg", std::string(3000, 'a'));
  testing::NginxServer server(site.path());
  ASSERT_TRUE(server.ok());
  box.WriteFile("home/marovine.ini",
                "[Ippan]\nClear_List_After_DownLoad=1\n[DownLoad]\nMushi404=0\n[MarovineDownLoad]"
                "\nDont Down Gomi=0\n");
  ASSERT_EQ(Run("home", {"--tick-ms", "20", "-P", box.Path("store"), "-t", "0", "--retry-wait", "0",
                         "--no-date-folder", "--no-random-prefix", server.Url("/c/")}),
            1)
      << Out() << Err();
  EXPECT_NE(Out().find("1 file fetched (+1 page), 0 skipped (log 0, ignore words 0, size 0), "
                       "1 failed"),
            std::string::npos)
      << Out();
  EXPECT_NE(Out().find("error   " + server.Url("/c/gone.jpg")), std::string::npos) << Out();
  EXPECT_NE(Err().find("1 item(s) failed"), std::string::npos) << Err();
}

TEST_F(FlagsCliTest, TheProxyFlagSendsTheRunThroughTheProxyAndNoProxyGoesDirect) {
  Sandbox site;
  site.WriteFile("f/a.jpg", std::string(3000, 'a'));
  site.WriteFile("f/b.jpg", std::string(3000, 'b'));
  testing::NginxServer server(site.path());
  testing::TinyproxyServer proxy;
  ASSERT_TRUE(server.ok());
  ASSERT_TRUE(proxy.ok());
  // The settings choose the proxy; --no-proxy overrides them for one run.
  box.WriteFile("home/marovine.ini",
                "[UrlInsert]\nInsertToDown=jpg\n[DownLoad]\nRetryWaitTime=0\n[Proxy]\n"
                "DontUseProxy=0\nUseThisProxy=1\nDefaultProxy=" +
                    proxy.host() + "\n");
  const std::vector<std::string> common = {"--tick-ms", "20", "-P", box.Path("store")};
  auto run = [&](std::vector<std::string> more) {
    more.insert(more.begin(), common.begin(), common.end());
    return Run("home", more);
  };
  ASSERT_EQ(run({"--no-proxy", server.Url("/f/a.jpg")}), 0) << Err();
  EXPECT_EQ(proxy.log().find("/f/a.jpg"), std::string::npos) << proxy.log();
  box.WriteFile("home/marovine.ini",
                "[UrlInsert]\nInsertToDown=jpg\n[DownLoad]\nRetryWaitTime=0\n");
  ASSERT_EQ(run({"-x", proxy.host(), server.Url("/f/b.jpg")}), 0) << Err();
  EXPECT_NE(proxy.log().find("/f/b.jpg"), std::string::npos) << proxy.log();
  EXPECT_EQ(box.ReadFile("store/b.jpg"), std::string(3000, 'b'));
}

// Runs marovine-cli on a pseudo-terminal of the given width and answers all
// it wrote and its exit status.
std::pair<std::string, int> RunOnTerminal(std::vector<std::string> args, unsigned short columns,
                                          const std::string& home_env) {
  struct winsize size {};
  size.ws_col = columns;
  size.ws_row = 24;
  int master = -1;
  pid_t pid = ::forkpty(&master, nullptr, nullptr, &size);
  if (pid == 0) {
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::setenv("HOME", home_env.c_str(), 1);
    ::unsetenv("COLUMNS");
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  std::string output;
  char buffer[4096];
  for (;;) {
    ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n > 0) {
      output.append(buffer, static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // EIO once the program and its terminal are gone
    }
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::close(master);
  return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// The rows a terminal shows once the output's line ends and redraws are
// applied: the text after the last erase of each line, without escapes.
std::vector<std::string> LiveRows(const std::string& output) {
  std::vector<std::string> rows;
  std::size_t from = 0;
  while (from < output.size()) {
    std::size_t end = output.find('\n', from);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(from, end - from);
    from = end + 1;
    if (auto erase = line.rfind("\x1b[2K"); erase != std::string::npos) {
      line = line.substr(erase + 4);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (auto erase = line.find("\x1b[K"); erase != std::string::npos) line.resize(erase);
    rows.push_back(line);
  }
  return rows;
}

TEST_F(FlagsCliTest, OnATerminalTheTransfersAndTheTotalAreRedrawnInPlaceWithinItsWidth) {
  Sandbox site;
  std::string big(400000, 'z');
  site.WriteFile("t/index.html",
                 "<html><title>T\x1b]0;owned\x07</title><a href='big.jpg'>b</a>"
                 "<a href='small.jpg'>s</a></html>");
  site.WriteFile("t/big.jpg", big);
  site.WriteFile("t/small.jpg", std::string(2000, 's'));
  testing::NginxServer server(site.path(), "sendfile off; output_buffers 1 4k; limit_rate 200k;\n");
  ASSERT_TRUE(server.ok());
  box.WriteFile("home/marovine.ini", "[MarovineDownLoad]\nDont Down Gomi=0\n");

  auto [output, status] = RunOnTerminal(
      {CliPath(), "--home", box.Path("home"), "--tick-ms", "20", "-P", box.Path("store"),
       "--no-date-folder", "--no-random-prefix", "-A", "jpg", server.Url("/t/")},
      60, box.path());
  ASSERT_EQ(status, 0) << output;
  EXPECT_EQ(box.ReadFile("store/big.jpg"), big);

  // Redrawn in place: the cursor goes back up over the block, lines are erased.
  EXPECT_NE(output.find("A\r\x1b[2K"), std::string::npos);
  bool rate = false, sized = false, overall = false;
  for (const std::string& row : LiveRows(output)) {
    const bool live = row.find("files]") != std::string::npos || row.find("big.jpg ") == 0;
    if (!live) continue;
    EXPECT_LE(cli::DisplayWidth(row), 59) << row;
    EXPECT_EQ(row.find('\x1b'), std::string::npos) << row;
    rate = rate || row.find("KB/s") != std::string::npos;
    sized = sized || row.find(" KB/391 KB") != std::string::npos;
    // The start page, then the two files it links.
    overall = overall || row.find("/3 files] ") != std::string::npos;
  }
  EXPECT_TRUE(rate) << output;
  EXPECT_TRUE(sized) << output;
  EXPECT_TRUE(overall) << output;
  // What the server sent cannot drive the terminal.
  EXPECT_EQ(output.find('\x07'), std::string::npos);
  EXPECT_EQ(output.find("\x1b]"), std::string::npos);
  EXPECT_NE(output.find("title  T?]0;owned?"), std::string::npos);
  EXPECT_NE(output.find("summary: 1 site searched, 2 files fetched"), std::string::npos) << output;
}

}  // namespace
}  // namespace marovine
