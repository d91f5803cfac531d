// The crawl's command line: every settings flag by each of its names, its
// range, the flags that contradict each other, and the keys each one sets.

#include "marovine/cli/crawl_options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/sandbox.h"

namespace marovine::cli {
namespace {

std::optional<CrawlOptions> Parse(std::vector<std::string> args, std::string* error = nullptr) {
  std::string reason;
  auto options = ParseCrawlArguments(args, reason);
  if (error != nullptr) *error = reason;
  return options;
}

std::string ValueOf(const CrawlOptions& options, const std::string& flag_name) {
  for (const GivenSettingFlag& given : options.settings) {
    if (given.flag->name == flag_name) return given.value;
  }
  return "<not given>";
}

TEST(CrawlOptionsTest, EveryNameOfAFlagAndEveryWayOfGivingItsValueIsTheSame) {
  for (std::vector<std::string> args : {std::vector<std::string>{"-P", "/srv/out"},
                                        {"-P/srv/out"},
                                        {"--folder", "/srv/out"},
                                        {"--folder=/srv/out"},
                                        {"--directory-prefix=/srv/out/"}}) {
    auto options = Parse(args);
    ASSERT_TRUE(options) << args[0];
    EXPECT_EQ(ValueOf(*options, "folder"), "/srv/out/") << args[0];
    EXPECT_TRUE(options->urls.empty()) << args[0];
  }
  auto options = Parse({"-j", "4", "--tries=3", "--waitretry", "0", "-T", "0", "-l2",
                        "--page-limit", "7", "--depth=1", "http://a/"});
  ASSERT_TRUE(options);
  EXPECT_EQ(ValueOf(*options, "jobs"), "4");
  EXPECT_EQ(ValueOf(*options, "retries"), "3");
  EXPECT_EQ(ValueOf(*options, "retry-wait"), "0");
  EXPECT_EQ(ValueOf(*options, "timeout"), "0");
  EXPECT_EQ(ValueOf(*options, "level"), "2");
  EXPECT_EQ(ValueOf(*options, "page-limit"), "7");
  EXPECT_EQ(ValueOf(*options, "depth"), "1");
  EXPECT_EQ(options->urls, std::vector<std::string>{"http://a/"});
  EXPECT_EQ(options->verbosity, Verbosity::kNormal);

  // A relative folder is the one under the current folder, whatever the
  // settings file's readers take as theirs; the same flag again replaces it.
  options = Parse({"-P", "out", "-P", "mirror/../files"});
  ASSERT_TRUE(options);
  EXPECT_EQ(ValueOf(*options, "folder"),
            (std::filesystem::current_path() / "files").string() + "/");
  ASSERT_EQ(options->settings.size(), 1u);

  // Extensions as wget takes them or as the settings keep them.
  options = Parse({"-A", "jpg,.png, gif", "-q"});
  ASSERT_TRUE(options);
  EXPECT_EQ(ValueOf(*options, "accept"), "jpg png gif");
  EXPECT_EQ(options->verbosity, Verbosity::kQuiet);
  EXPECT_EQ(Parse({"--verbose"})->verbosity, Verbosity::kVerbose);
}

TEST(CrawlOptionsTest, OutOfRangeUnknownOrContradictoryArgumentsFailWithOneLineNamingThem) {
  struct Case {
    std::vector<std::string> args;
    std::string named;
  };
  const Case cases[] = {
      {{"-j", "0"}, "-j/--jobs takes a whole number from 1 to 10, not \"0\""},
      {{"--jobs=11"}, "-j/--jobs takes a whole number from 1 to 10"},
      {{"-j", "three"}, "not \"three\""},
      {{"-l", "4"}, "-l/--level takes a whole number from 0 to 3"},
      {{"-T", "-1"}, "-T/--timeout"},
      {{"--page-limit", "1e3"}, "--page-limit"},
      {{"-j"}, "-j needs N"},
      {{"-A", " , "}, "-A/--accept needs at least one extension"},
      {{"-A", "../x"}, "-A/--accept an extension holds no"},
      {{"-x", "proxy:0"}, "-x/--proxy takes HOST or HOST:PORT"},
      {{"-x", ":8080"}, "-x/--proxy takes HOST"},
      {{"--no-proxy=1"}, "--no-proxy takes no value"},
      {{"-q", "-v"}, "-q/--quiet and -v/--verbose contradict each other"},
      {{"-x", "p:3128", "--no-proxy"}, "-x/--proxy and --no-proxy contradict each other"},
      {{"--no-date-folder", "--date-folder"},
       "--no-date-folder and --date-folder contradict each other"},
      {{"--random-prefix", "--no-random-prefix"}, "contradict each other"},
      {{"--whole-site", "-l", "1"}, "-l/--level sets the search level of crawled sites"},
      {{"--frobnicate"}, "unknown option --frobnicate"},
      {{"--fast=yes"}, "--fast takes no value"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(Parse(c.args, &error)) << c.args[0];
    EXPECT_NE(error.find(c.named), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(CrawlOptionsTest, FlagsSetTheirKeysAndTheProxyRadioGroupAsAWhole) {
  testing::Sandbox box;
  platform::Profile profile(box.WriteFile("marovine.ini", "[MarovineDownLoad]\nGroupNo=3\n"));
  auto options = Parse({"-A", "png", "-x", "127.0.0.1:3128", "--no-date-folder"});
  ASSERT_TRUE(options);
  std::vector<std::string> keys;
  for (const GivenSettingFlag& given : options->settings) {
    for (const SettingOverride& o : OverridesOf(*given.flag, given.value, profile)) {
      keys.push_back(o.section + "." + o.key + "=" + o.value);
    }
  }
  EXPECT_EQ(keys, (std::vector<std::string>{
                      "MarovineDownLoad.Kakuchoushi=png",
                      // A new site takes the extensions of the default group.
                      "MarovineDownLoad.Kakuchoushi3=png",
                      "MarugotoDownload.MarugotoKakuchoushi=png",
                      "Proxy.DefaultProxy=127.0.0.1:3128",
                      "Proxy.DontUseProxy=0",
                      "Proxy.UseThisProxy=1",
                      "Proxy.UseProxyTopToUnder=0",
                      "Proxy.UseProxyRandom=0",
                      "MarovineDownLoad.Make Date Name Folder=0",
                  }));
}

}  // namespace
}  // namespace marovine::cli
