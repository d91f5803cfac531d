#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "plov/linux/key_store.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"

namespace {

namespace fs = std::filesystem;
using marovine::testing::ChildProcess;
using marovine::testing::FindProgram;
using marovine::testing::Sandbox;

std::string BuildDir() {
  const char* build = std::getenv("MAROVINE_BUILD_DIR");
  return build ? build : ".";
}

// Installs and uninstalls the marovine package with the real plov program in
// its test mode, for a user whose home is a sandbox folder.
class MarovinePackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    package_ = BuildDir() + "/plov/marovine-package";
    if (!fs::exists(package_ + "/setup")) GTEST_SKIP() << "no plov program in this build";
    home_ = box_.Path("home");
    fs::create_directories(home_);
    fs::create_directories(box_.Path("run"));
    fs::copy(package_, box_.Path("package"), fs::copy_options::recursive);
  }

  // Runs a program of the package; answers its exit status, its transcript
  // lands in `transcript_`.
  int Run(const std::string& program, const std::string& argument, const std::string& answers) {
    std::vector<std::string> argv = {"/usr/bin/env",
                                     "HOME=" + home_,
                                     "XDG_DATA_HOME=" + home_ + "/.local/share",
                                     "XDG_CONFIG_HOME=" + home_ + "/.config",
                                     "XDG_RUNTIME_DIR=" + box_.Path("run"),
                                     "PLOV_TEST_ANSWERS=" + answers,
                                     program};
    if (!argument.empty()) argv.push_back(argument);
    std::string out = box_.Path("transcript.txt");
    ChildProcess child(argv, {}, out, box_.Path("stderr.txt"));
    int status = child.Wait();
    transcript_ = platform::ReadWholeFile(out).value_or("");
    return status;
  }

  std::string Home(const std::string& path) const { return home_ + "/" + path; }

  // Every desktop entry, menu directory file below a folder.
  std::vector<std::string> EntriesBelow(const std::string& folder) const {
    std::vector<std::string> entries;
    if (!fs::exists(folder)) return entries;
    for (const auto& file : fs::recursive_directory_iterator(folder)) {
      auto extension = file.path().extension();
      if (extension == ".desktop" || extension == ".directory") entries.push_back(file.path());
    }
    return entries;
  }

  void ExpectValid(const std::vector<std::string>& entries) {
    std::string validator = FindProgram("desktop-file-validate");
    if (validator.empty()) {
      ADD_FAILURE() << "desktop-file-validate is missing (scripts/setup.sh installs it)";
      return;
    }
    for (const auto& entry : entries) {
      std::string out = box_.Path("validate.txt");
      ChildProcess check({validator, entry}, {}, out, out);
      EXPECT_EQ(check.Wait(), 0) << entry << ":\n" << platform::ReadWholeFile(out).value_or("");
      std::string report = platform::ReadWholeFile(out).value_or("");
      EXPECT_EQ(report.find("error"), std::string::npos) << entry << ":\n" << report;
    }
  }

  Sandbox box_;
  std::string package_, home_, transcript_;
};

TEST_F(MarovinePackageTest, InstallsForTheMenuAutostartAndDesktopThenUninstallsCompletely) {
  ASSERT_EQ(Run(box_.Path("package/setup"), "", "options=group+startup+desktop"), 0) << transcript_;
  EXPECT_NE(transcript_.find("text page [marovine セットアップ] marovine"), std::string::npos)
      << transcript_;
  EXPECT_NE(transcript_.find("インストールが完了しました。"), std::string::npos);

  std::string opt = Home(".local/opt/marovine");
  for (const char* file : {"setup", "setup.inf", "marovine-cli", "tarq", "help/index.html"}) {
    EXPECT_TRUE(fs::exists(opt + "/" + file)) << file;
  }
  EXPECT_EQ(::access((opt + "/tarq").c_str(), X_OK), 0);
  // The installed copy's clean-up run has forgotten the folder to copy into.
  auto script = platform::ReadWholeFile(opt + "/setup.inf").value_or("");
  EXPECT_NE(script.find("InstallDir=\n"), std::string::npos) << script;

  std::string applications = Home(".local/share/applications/marovine");
  EXPECT_TRUE(fs::exists(applications + "/tarq.desktop"));
  EXPECT_TRUE(fs::exists(applications + "/marovine ヘルプ.desktop"));
  EXPECT_TRUE(fs::exists(Home(".config/autostart/tarq.desktop")));
  EXPECT_TRUE(fs::exists(Home("Desktop/tarq.desktop")));
  EXPECT_TRUE(fs::exists(Home(".config/menus/applications-merged/plov-marovine.menu")));
  auto entry = platform::ReadWholeFile(applications + "/tarq.desktop").value_or("");
  EXPECT_NE(entry.find("Exec=" + opt + "/tarq\n"), std::string::npos) << entry;
  std::vector<std::string> entries = EntriesBelow(Home(".local/share"));
  for (const auto& more : EntriesBelow(Home(".config"))) entries.push_back(more);
  for (const auto& more : EntriesBelow(Home("Desktop"))) entries.push_back(more);
  EXPECT_EQ(entries.size(), 5u);
  ExpectValid(entries);

  plov::xdg::KeyStore keys(Home(".local/share/plov/registry.ini"));
  std::string uninstall_key =
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\marovine";
  EXPECT_EQ(keys.ReadValue(uninstall_key, "UninstallString"), opt + "/setup /r");
  EXPECT_EQ(keys.ReadValue("HKEY_CURRENT_USER\\Software\\marovine", "InstallDir"), opt);

  // The first stage copies itself away and runs the second, which asks to
  // restart at the end (the test mode only reports that).
  ASSERT_EQ(Run(opt + "/setup", "/r", "ask=yes,yes"), 0) << transcript_;
  EXPECT_NE(transcript_.find("アンインストールが完了しました。"), std::string::npos) << transcript_;
  EXPECT_NE(transcript_.find("restart (test mode: not done)"), std::string::npos);
  EXPECT_FALSE(fs::exists(opt));
  EXPECT_FALSE(fs::exists(applications));
  EXPECT_FALSE(fs::exists(Home(".config/menus/applications-merged/plov-marovine.menu")));
  EXPECT_FALSE(fs::exists(Home(".config/autostart/tarq.desktop")));
  EXPECT_FALSE(fs::exists(Home("Desktop/tarq.desktop")));
  EXPECT_FALSE(keys.KeyExists(uninstall_key));
  EXPECT_FALSE(keys.KeyExists("HKEY_CURRENT_USER\\Software\\marovine"));
  EXPECT_FALSE(fs::exists(Home(".local/share/plov/$$UnPlov.inf")));
  // Only the uninstaller's copy is left, with its removal at the next login.
  std::string uninstaller = Home(".local/share/plov/$$UnPlov.exe");
  EXPECT_TRUE(fs::exists(uninstaller));
  auto removals = EntriesBelow(Home(".config/autostart"));
  ASSERT_EQ(removals.size(), 1u);
  ExpectValid(removals);
  auto removal = platform::ReadWholeFile(removals[0]).value_or("");
  EXPECT_NE(removal.find("\\\\$\\\\$UnPlov.exe"), std::string::npos) << removal;
}

}  // namespace
