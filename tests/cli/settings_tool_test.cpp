// `marovine-cli settings` on a sandbox program folder: what set writes, get
// and list read back, through the program's own store and key tables.

#include "marovine/cli/settings_tool.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "marovine/cli/settings_catalog.h"
#include "marovine/document/document_settings.h"
#include "marovine/document/first_start_settings.h"
#include "marovine/document/settings_loader.h"
#include "platform/profile.h"
#include "platform/program_folder.h"
#include "tests/support/sandbox.h"

namespace marovine::cli {
namespace {

class SettingsToolTest : public ::testing::Test {
 protected:
  // Runs the tool; its output and errors land in out_ and err_.
  int Run(std::vector<std::string> args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    int status = RunSettingsTool(args, box.Path("home/"), out, err);
    out_ = Read(out);
    err_ = Read(err);
    return status;
  }
  static std::string Read(std::FILE* file) {
    std::string text;
    std::rewind(file);
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
    std::fclose(file);
    return text;
  }
  std::string Ini() { return box.ReadFile("home/marovine.ini"); }

  testing::Sandbox box;
  std::string out_, err_;
};

TEST_F(SettingsToolTest, SetWritesWhatGetAndListAndTheLoaderReadBack) {
  box.WriteFile("home/marovine.ini",
                "; kept by hand\n[DownLoad]\nDouziDL=3\nTimeOut=50\n\n[Kensaku]\nPage=0\n");
  EXPECT_EQ(Run({"set", "DownLoad.DouziDL", "7"}), 0) << err_;
  // A key spelt in another case, and a key only one section has.
  EXPECT_EQ(Run({"set", "marovinedownload.kakunou folder", "/srv/pictures/"}), 0) << err_;
  EXPECT_EQ(Run({"set", "KensakuLevel", "1"}), 0) << err_;
  EXPECT_EQ(Run({"set", "Kakuchoushi2", "png gif"}), 0) << err_;

  EXPECT_EQ(Ini(),
            "; kept by hand\n[DownLoad]\nDouziDL=7\nTimeOut=50\n\n[Kensaku]\nPage=0\n"
            "KensakuLevel=1\n\n[MarovineDownLoad]\nKakunou Folder=/srv/pictures/\n"
            "Kakuchoushi2=png gif\n");
  EXPECT_EQ(Run({"get", "douzidl"}), 0);
  EXPECT_EQ(out_, "7\n");
  // A key the file does not have reads as the program's default.
  EXPECT_EQ(Run({"get", "DownLoad.RetryWaitTime"}), 0);
  EXPECT_EQ(out_, "10\n");

  EXPECT_EQ(Run({"list"}), 0);
  EXPECT_NE(out_.find("DownLoad.DouziDL=7\n"), std::string::npos) << out_;
  EXPECT_NE(out_.find("MarovineDownLoad.Kakunou Folder=/srv/pictures/\n"), std::string::npos);
  EXPECT_NE(out_.find("MarovineDownLoad.Kakuchoushi2=png gif\n"), std::string::npos);
  EXPECT_EQ(out_.find("MarovineDownLoad.Kakuchoushi3="), std::string::npos);
  EXPECT_NE(out_.find("Proxy.DontUseProxy=1\n"), std::string::npos);

  DocumentSettings settings;
  WorkerSettings worker;
  settings = LoadInitialSettings(platform::Profile(box.Path("home/marovine.ini")),
                                 platform::DefaultStorageFolder(), worker);
  EXPECT_EQ(settings.simultaneous_transfers, 7);
  EXPECT_EQ(settings.crawl_folder, "/srv/pictures/");
  EXPECT_EQ(settings.default_search_level, 1);
}

TEST_F(SettingsToolTest, AFlagsNameStandsForItsKeysAsOnTheCommandLine) {
  box.WriteFile("home/marovine.ini", "[DownLoad]\nDouziDL=3\n");
  EXPECT_EQ(Run({"set", "jobs", "4"}), 0) << err_;
  EXPECT_EQ(Run({"get", "DouziDL"}), 0);
  EXPECT_EQ(out_, "4\n");
  EXPECT_EQ(Run({"set", "folder", "/srv/files"}), 0) << err_;
  EXPECT_EQ(Run({"set", "proxy", "127.0.0.1:3128"}), 0) << err_;
  EXPECT_EQ(Run({"get", "folder"}), 0);
  EXPECT_EQ(
      out_,
      "MarovineDownLoad.Kakunou Folder=/srv/files/\nMarugotoDownload.MarugotoPass=/srv/files/\n"
      "DownLoad.KakunouFolder=/srv/files/\n");
  EXPECT_EQ(platform::Profile(box.Path("home/marovine.ini")).GetInt("Proxy", "UseThisProxy", 0), 1);
  EXPECT_EQ(platform::Profile(box.Path("home/marovine.ini")).GetInt("Proxy", "DontUseProxy", 1), 0);
}

TEST_F(SettingsToolTest, UnknownKeysAndBadValuesAreRefusedAndTheFileStaysAsItWas) {
  const std::string before = "[DownLoad]\nDouziDL=3\n";
  box.WriteFile("home/marovine.ini", before);
  struct Case {
    std::vector<std::string> args;
    std::string said;
  };
  const Case cases[] = {
      {{"set", "DownLoad.Douzi", "3"}, "unknown key \"Douzi\" in [DownLoad]; its keys: "},
      {{"set", "Nowhere.DouziDL", "3"}, "the sections are: DownLoad, MarovineDownLoad, "},
      {{"get", "Frobnicate"}, "unknown key \"Frobnicate\"; give SECTION.KEY or a flag's name"},
      {{"get", "Kakuchoushi10"}, "unknown key"},
      {{"set", "InsertToLink", "html"}, "UrlInsert.InsertToLink"},
      {{"set", "DouziDL", "11"}, "takes a number from 1 to 10 (see -j/--jobs), not 11"},
      {{"set", "DownLoad.TimeOut", "fifty"}, "takes a whole number, not \"fifty\""},
      {{"set", "DownLoad.TimeOut", "99999999999"}, "takes a whole number"},
      {{"set", "UrlInsert.Mushi", "banner\n[DownLoad]\nDouziDL=10"}, "no control characters"},
      {{"set", "UrlInsert.Mushi", std::string(256, 'w')}, "255 bytes"},
      {{"set", "DouziDL"}, "set takes a KEY and a VALUE"},
      {{"set", "jobs", "0"}, "-j/--jobs takes a whole number from 1 to 10, not \"0\""},
      {{"set", "date-folder", "1"}, "unknown key \"date-folder\""},
      {{"frob"}, "unknown settings command frob"},
      {{}, "get, set or list?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.args), 2) << c.said;
    EXPECT_NE(err_.find(c.said), std::string::npos) << err_;
    EXPECT_EQ(err_.find('\n'), err_.size() - 1) << err_;
  }
  EXPECT_EQ(Ini(), before);
}

TEST_F(SettingsToolTest, EveryKeyTheProgramReadsOrTheFirstStartWritesIsKnown) {
  const auto& catalog = SettingsCatalog(platform::DefaultStorageFolder());
  std::string error;
  for (const SettingKey& key : DocumentSettingKeys()) {
    EXPECT_TRUE(ResolveKey(catalog, std::string(key.section) + "." + key.name, error)) << error;
  }
  ASSERT_TRUE(WriteFirstStartSettings(box.Path("first.ini"), box.Path("store/")));
  std::string section;
  for (std::string line : {box.ReadFile("first.ini")}) {
    std::size_t from = 0;
    while (from < line.size()) {
      std::size_t end = line.find('\n', from);
      std::string one = line.substr(from, end - from);
      from = end + 1;
      if (one.starts_with("[")) {
        section = one.substr(1, one.size() - 2);
      } else if (auto eq = one.find('='); eq != std::string::npos) {
        EXPECT_TRUE(ResolveKey(catalog, section + "." + one.substr(0, eq), error)) << error;
      }
    }
  }
}

}  // namespace
}  // namespace marovine::cli
