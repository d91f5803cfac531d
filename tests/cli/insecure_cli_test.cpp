// marovine-cli against an https:// server whose certificate signs itself:
// refused with the reason, fetched with --insecure and marked as such.

#include <gtest/gtest.h>
#include <signal.h>

#include <csignal>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/nginx_server.h"
#include "tests/support/sandbox.h"

namespace marovine {
namespace {

using testing::ChildProcess;
using testing::Sandbox;

TEST(InsecureCliTest, AnUnverifiableCertificateIsRefusedUnlessTheUserAcceptsIt) {
  std::signal(SIGCHLD, SIG_DFL);
  ASSERT_TRUE(testing::SharedTestCa().ok());
  Sandbox box;
  box.WriteFile("site/g/a.jpg", std::string(3000, 'a'));
  testing::NginxServer server(box.Path("site/"), "",
                              testing::SharedTestCa().SelfSigned("IP:127.0.0.1"));
  ASSERT_TRUE(server.ok()) << server.error_log();
  // A program folder per run: the first run's list would keep the failed item.
  for (const char* home : {"refused/", "accepted/"}) {
    box.WriteFile(std::string(home) + "marovine.ini",
                  "[DownLoad]\nRetryWaitTime=0\nTimeOut=10\nKakunouFolder=" + box.Path("store/") +
                      "\n[UrlInsert]\nInsertToDown=jpg\n");
  }
  const char* build = std::getenv("MAROVINE_BUILD_DIR");
  auto run = [&](const std::string& home, std::vector<std::string> extra) {
    std::vector<std::string> args{std::string(build ? build : ".") + "/marovine/cli/marovine-cli",
                                  "--home", box.Path(home), "--tick-ms", "20"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(server.Url("/g/a.jpg"));
    // The system's trusted certificates do not include the one of the test.
    return ChildProcess(args,
                        {"HOME=" + box.path(), "SSL_CERT_FILE=" + box.Path("none.pem"),
                         "SSL_CERT_DIR=" + box.Path("none")},
                        box.Path("stdout.txt"), box.Path("stderr.txt"))
        .Wait();
  };

  run("refused/", {});
  EXPECT_NE(box.ReadFile("stdout.txt").find("サーバー証明書の発行者を信頼できません。"),
            std::string::npos)
      << box.ReadFile("stdout.txt");
  EXPECT_EQ(box.ReadFile("store/a.jpg"), "");

  EXPECT_EQ(run("accepted/", {"--insecure"}), 0) << box.ReadFile("stderr.txt");
  EXPECT_EQ(box.ReadFile("store/a.jpg"), std::string(3000, 'a'));
  EXPECT_NE(box.ReadFile("stdout.txt").find("（証明書を検証していません）"), std::string::npos)
      << box.ReadFile("stdout.txt");
}

}  // namespace
}  // namespace marovine
