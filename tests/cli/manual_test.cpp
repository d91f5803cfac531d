// The manual page renders without a warning, and it and the bash completion
// know every option --help lists.

#include <gtest/gtest.h>
#include <signal.h>

#include <csignal>
#include <set>
#include <string>

#include "marovine/cli/help_text.h"
#include "platform/file_io.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"

namespace marovine::cli {
namespace {

std::string SourceFile(const std::string& path) {
  std::string here = __FILE__;  // .../tests/cli/manual_test.cpp
  std::string root = here.substr(0, here.rfind("/tests/cli/") + 1);
  return platform::ReadWholeFile(root + path).value_or("");
}

// The long options of the help text: every "--word".
std::set<std::string> LongOptions(const std::string& text) {
  std::set<std::string> options;
  for (std::size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at + 2)) {
    std::size_t end = at + 2;
    while (end < text.size() &&
           (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '-'))
      ++end;
    if (end > at + 2) options.insert(text.substr(at, end - at));
  }
  return options;
}

TEST(ManualTest, TheManualRendersAndTheManualAndCompletionKnowEveryOption) {
  const std::string manual = SourceFile("doc/marovine-cli.1");
  const std::string completion = SourceFile("marovine/cli/marovine-cli.bash");
  ASSERT_FALSE(manual.empty());
  ASSERT_FALSE(completion.empty());
  const std::set<std::string> options = LongOptions(HelpText());
  EXPECT_GT(options.size(), 25u);
  for (const std::string& option : options) {
    std::string in_roff;
    for (char c : option) in_roff += c == '-' ? std::string("\\-") : std::string(1, c);
    EXPECT_NE(manual.find(in_roff), std::string::npos) << option << " is not in the manual";
    if (option == "--site") continue;  // of the album command, completed after it
    EXPECT_NE(completion.find(option), std::string::npos) << option << " is not completed";
  }

  std::string groff = testing::FindProgram("groff");
  if (groff.empty()) GTEST_SKIP() << "groff is not installed";
  std::signal(SIGCHLD, SIG_DFL);
  testing::Sandbox box;
  std::string page = box.WriteFile("marovine-cli.1", manual);
  testing::ChildProcess render({groff, "-man", "-Tutf8", "-ww", "-P-cbou", page}, {},
                               box.Path("out.txt"), box.Path("err.txt"));
  ASSERT_EQ(render.Wait(), 0);
  EXPECT_EQ(box.ReadFile("err.txt"), "");
  const std::string text = box.ReadFile("out.txt");
  EXPECT_NE(text.find("EXIT STATUS"), std::string::npos);
  EXPECT_NE(text.find("settings set KEY VALUE"), std::string::npos) << text.substr(0, 2000);
}

}  // namespace
}  // namespace marovine::cli
