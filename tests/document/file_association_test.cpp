#include "marovine/document/file_association.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"

namespace marovine {
namespace {

using testing::ChildProcess;
using testing::FindProgram;
using testing::Sandbox;

class FileAssociationTest : public ::testing::Test {
 protected:
  FileAssociation InSandbox(const std::string& executable) const {
    FileAssociation association;
    association.data_home = box_.Path("home/.local/share");
    association.config_home = box_.Path("home/.config");
    association.executable = executable;
    association.icon_pngs = {{16, "png16"}, {256, "png256"}};
    return association;
  }

  // desktop-file-validate's verdict on an entry: empty when it is clean.
  std::string ValidationErrors(const std::string& entry_text) const {
    const std::string validator = FindProgram("desktop-file-validate");
    if (validator.empty()) return "desktop-file-validate is missing (scripts/setup.sh installs it)";
    const std::string entry = box_.WriteFile("check/marovine.desktop", entry_text);
    const std::string out = box_.Path("validate.txt");
    const int status = ChildProcess({validator, entry}, {}, out, out).Wait();
    std::string report = platform::ReadWholeFile(out).value_or("");
    return status == 0 && report.find("error") == std::string::npos
               ? ""
               : report + "(status " + std::to_string(status) + ")";
  }

  Sandbox box_;
};

TEST_F(FileAssociationTest, TheShippedEntryAndOnesForAnyProgramPathAreValid) {
  const std::string shipped = DesktopEntryFor("");
  EXPECT_NE(shipped.find("\nExec=marovine %f\n"), std::string::npos);
  EXPECT_NE(shipped.find("\nMimeType=application/x-marovine-document;\n"), std::string::npos);
  EXPECT_NE(shipped.find("\nCategories=Network;FileTransfer;\n"), std::string::npos);
  EXPECT_EQ(ValidationErrors(shipped), "");

  // A program folder with blanks, quotes, a dollar and a percent sign must
  // still start that very program with the file.
  const std::string odd = DesktopEntryFor("/opt/my \"programs\"/$HOME/100%/marovine");
  EXPECT_NE(odd.find("\nExec=\"/opt/my \\\\\"programs\\\\\"/\\\\$HOME/100%%/marovine\" %f\n"),
            std::string::npos)
      << odd;
  EXPECT_EQ(ValidationErrors(odd), "");
  EXPECT_NE(DesktopEntryFor("/usr/local/bin/marovine").find("\nExec=/usr/local/bin/marovine %f\n"),
            std::string::npos);
}

TEST_F(FileAssociationTest, RegisteringWritesTheUsersFilesAndKeepsOtherDefaults) {
  box_.WriteFile("home/.config/mimeapps.list",
                 "[Default Applications]\ntext/html=firefox.desktop\n[Added Associations]\n"
                 "image/png=viewer.desktop;\n");
  const FileAssociation association = InSandbox("/opt/marovine/marovine");
  FileAssociationResult result = RegisterMrvFileType(association);
  ASSERT_TRUE(result.ok) << result.failure;
  // Twice is as good as once.
  result = RegisterMrvFileType(association);
  ASSERT_TRUE(result.ok) << result.failure;

  const std::string share = association.data_home + "/";
  auto mime = platform::ReadWholeFile(share + "mime/packages/marovine-document.xml");
  ASSERT_TRUE(mime);
  EXPECT_NE(mime->find("<glob pattern=\"*.mrv\"/>"), std::string::npos);
  EXPECT_NE(mime->find("type=\"application/x-marovine-document\""), std::string::npos);
  auto entry = platform::ReadWholeFile(share + "applications/marovine.desktop");
  ASSERT_TRUE(entry);
  EXPECT_NE(entry->find("\nExec=/opt/marovine/marovine %f\n"), std::string::npos);
  EXPECT_EQ(platform::ReadWholeFile(share + "icons/hicolor/16x16/apps/marovine.png"), "png16");
  EXPECT_EQ(platform::ReadWholeFile(share + "icons/hicolor/256x256/apps/marovine.png"), "png256");

  platform::Profile defaults(association.config_home + "/mimeapps.list");
  EXPECT_EQ(defaults.Find("Default Applications", "application/x-marovine-document"),
            "marovine.desktop");
  EXPECT_EQ(defaults.Find("Default Applications", "text/html"), "firefox.desktop");
  EXPECT_EQ(defaults.Find("Added Associations", "image/png"), "viewer.desktop;");

  // Where the desktop's tools are installed, the user's databases know the type.
  if (!FindProgram("update-mime-database").empty()) {
    EXPECT_TRUE(platform::FileExists(share + "mime/application/x-marovine-document.xml"));
    EXPECT_NE(std::find(result.ran.begin(), result.ran.end(), "update-mime-database"),
              result.ran.end());
  }
  if (!FindProgram("update-desktop-database").empty()) {
    auto cache = platform::ReadWholeFile(share + "applications/mimeinfo.cache");
    ASSERT_TRUE(cache);
    EXPECT_NE(cache->find("application/x-marovine-document=marovine.desktop;"), std::string::npos);
  }
}

TEST_F(FileAssociationTest, AFolderThatCannotBeWrittenIsReportedNotPassedOver) {
  box_.WriteFile("home/.local/share/mime", "a file where the folder should be");
  const FileAssociationResult result = RegisterMrvFileType(InSandbox("/opt/marovine/marovine"));
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.failure.find("marovine-document.xml"), std::string::npos);
}

TEST_F(FileAssociationTest, TheInstallPutsEntryTypeAndIconsWhereTheDesktopLooks) {
  const char* build = std::getenv("MAROVINE_BUILD_DIR");
  const std::string cmake = FindProgram("cmake");
  if (!build || cmake.empty()) GTEST_SKIP() << "needs the build folder and cmake";
  // Only a build with the desktop program installs its menu entry.
  auto cache = platform::ReadWholeFile(platform::JoinPath(build, "CMakeCache.txt"));
  if (!cache || cache->find("MAROVINE_GUI:BOOL=ON") == std::string::npos) {
    GTEST_SKIP() << "a build without the desktop program";
  }
  const std::string prefix = box_.Path("prefix");
  const std::string log = box_.Path("install.txt");
  ASSERT_EQ(ChildProcess({cmake, "--install", build, "--prefix", prefix, "--component", "desktop"},
                         {}, log, log)
                .Wait(),
            0)
      << platform::ReadWholeFile(log).value_or("");
  EXPECT_EQ(platform::ReadWholeFile(prefix + "/share/applications/marovine.desktop"),
            DesktopEntryFor(""));
  EXPECT_TRUE(platform::FileExists(prefix + "/share/mime/packages/marovine-document.xml"));
  for (const char* size : {"16x16", "32x32", "48x48", "256x256"}) {
    auto png =
        platform::ReadWholeFile(prefix + "/share/icons/hicolor/" + size + "/apps/marovine.png");
    ASSERT_TRUE(png) << size;
    EXPECT_EQ(png->substr(1, 3), "PNG") << size;
  }
}

}  // namespace
}  // namespace marovine
