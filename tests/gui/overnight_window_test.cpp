// A night left to the desktop program: the schedule opens its window while
// the program runs, the crawl starts by itself, the last site ends in the
// countdown, and logind (mocked on the test's own system bus) is told to
// switch the machine off after the list has been saved.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "marovine/album/jpeg_codec.h"
#include "marovine/album/rgb_image.h"
#include "marovine/document/document_file.h"
#include "marovine/document/first_start_settings.h"
#include "marovine/document/marovine_doc.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "tests/gui/x_test_window.h"
#include "tests/support/child_process.h"
#include "tests/support/nginx_server.h"
#include "tests/support/private_system_bus.h"
#include "tests/support/sandbox.h"
#include "tests/support/wait_for.h"
#include "tests/support/xvfb_display.h"

namespace {

using namespace std::chrono_literals;
using marovine::testing::ChildProcess;
using marovine::testing::PrivateSystemBus;
using marovine::testing::Sandbox;
using marovine::testing::WaitFor;
using marovine::testing::XvfbDisplay;

constexpr char kCaption[] = "default.mrv - marovine";
constexpr char kCountdownCaption[] = "システムのシャットダウン";
constexpr char kLogind[] = "org.freedesktop.login1";
constexpr char kLogindObject[] = "/org/freedesktop/login1";

std::string BuiltProgram() {
  const char* build = std::getenv("MAROVINE_BUILD_DIR");
  return platform::JoinPath(build ? build : ".", "marovine/ui/marovine");
}

std::string Jpeg(int tint) {
  auto image = marovine::AllocateRgbImage(64, 48);
  for (std::size_t i = 0; i < image->pixels.size(); ++i) {
    image->pixels[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(tint));
  }
  return marovine::EncodeJpegRgb(*image, true, 90).value_or("");
}

// Local time `minutes` from now, as the schedule's hour and minute.
std::pair<int, int> LocalTimeIn(int minutes) {
  std::time_t at = std::time(nullptr) + static_cast<std::time_t>(minutes) * 60;
  std::tm local{};
  localtime_r(&at, &local);
  return {local.tm_hour, local.tm_min};
}

std::int64_t ModifiedSeconds(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return -1;
  return static_cast<std::int64_t>(info.st_mtim.tv_sec);
}

bool ListSaysSiteDone(const std::string& folder, const std::string& store,
                      const std::string& document) {
  marovine::CMarovineDoc saved(folder, store);
  if (!marovine::LoadDocumentFile(saved, document).ok) return false;
  return saved.link_items.size() == 1 && saved.link_items[0].state == marovine::LS_DONE;
}

TEST(OvernightWindowTest, TheScheduleStartsTheCrawlAndTheLastSiteEndsInAPowerOffAfterTheSave) {
  if (!marovine::testing::BusToolsPresent()) {
    GTEST_SKIP() << "dbus-daemon or python3-dbusmock missing";
  }
  Sandbox site;
  site.WriteFile("site/index.html", "<html><a href='a.jpg'>a</a><a href='b.jpg'>b</a></html>");
  site.WriteFile("site/a.jpg", Jpeg(1));
  site.WriteFile("site/b.jpg", Jpeg(2));
  marovine::testing::NginxServer server(site.path());
  ASSERT_TRUE(server.ok()) << server.error_log();
  // Sets DBUS_SYSTEM_BUS_ADDRESS for as long as it lives; the program gets
  // the same, so the real system bus is never asked.
  PrivateSystemBus bus;
  ASSERT_TRUE(bus.ok());
  ASSERT_TRUE(bus.StartTemplate("logind", kLogind));
  const char* bus_address = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
  ASSERT_NE(bus_address, nullptr);

  XvfbDisplay xvfb;
  ASSERT_TRUE(xvfb.ok()) << "Xvfb could not be started";
  Display* display = XOpenDisplay(xvfb.name().c_str());
  ASSERT_NE(display, nullptr);

  Sandbox box;
  const std::string folder = box.Path("program/");
  const std::string ini = folder + "marovine.ini";
  ASSERT_TRUE(platform::MakeFolders(folder));
  ASSERT_TRUE(marovine::WriteFirstStartSettings(ini, box.Path("store/")));
  {
    platform::Profile profile(ini);
    auto [start_hour, start_minute] = LocalTimeIn(-10);
    auto [end_hour, end_minute] = LocalTimeIn(120);
    ASSERT_TRUE(profile.WriteStrings("Schedule", {{"Hour1", std::to_string(start_hour)},
                                                  {"Min1", std::to_string(start_minute)},
                                                  {"Hour2", std::to_string(end_hour)},
                                                  {"Min2", std::to_string(end_minute)},
                                                  {"StartMarovine", "1"},
                                                  {"FinishPowerOff", "1"},
                                                  {"Power", "2"}}));
    // Nothing starts the crawl but the schedule, and its first end acts.
    ASSERT_TRUE(profile.WriteStrings("DownLoad", {{"AutoMarovine", "0"}, {"RetryWaitTime", "0"}}));
    ASSERT_TRUE(profile.WriteStrings(
        "Ippan",
        {{"NoEndWhenStart", "0"}, {"SaveMrvFinish", "1"}, {"Clear_List_After_Finish_Site", "0"}}));
    ASSERT_TRUE(profile.WriteStrings("MarovineDownLoad", {{"Kakuchoushi", "jpg"},
                                                          {"Make Date Name Folder", "0"},
                                                          {"Put Random Num", "0"},
                                                          {"Dont Down Gomi", "0"}}));
  }
  std::string document;
  {
    // The list of the evening before: one site, not yet searched.
    marovine::CMarovineDoc doc(folder, box.Path("store/"));
    ASSERT_EQ(doc.RegisterUrl(server.Url("/site/index.html")), 1);
    document = doc.paths.default_document_path;
    ASSERT_TRUE(marovine::SaveDocumentFile(doc, document));
  }

  std::vector<std::string> environment = xvfb.ProgramEnvironment(box.Path("home"));
  environment.push_back(std::string("DBUS_SYSTEM_BUS_ADDRESS=") + bus_address);
  if (const char* zone = std::getenv("TZ")) environment.push_back(std::string("TZ=") + zone);
  ChildProcess program({BuiltProgram(), "--home", folder, "--tick-ms", "250"}, environment,
                       box.Path("out.txt"), box.Path("err.txt"));
  ASSERT_TRUE(program.started());
  std::optional<Window> window;
  ASSERT_TRUE(WaitFor(
      [&] {
        window = marovine::testing::FindMappedWindowTitled(display, kCaption);
        return window && marovine::testing::HasBeenPainted(display, *window);
      },
      60s, 50ms))
      << box.ReadFile("err.txt");

  // The schedule check (every 26 seconds) finds the window open and starts
  // the crawl; the site is searched and both pictures arrive.
  ASSERT_TRUE(WaitFor(
      [&] {
        return box.ReadFile("store/a.jpg") == Jpeg(1) && box.ReadFile("store/b.jpg") == Jpeg(2);
      },
      120s))
      << box.ReadFile("err.txt");

  // Every site searched: the countdown, and the list already on disk.
  std::optional<Window> countdown;
  ASSERT_TRUE(WaitFor(
      [&] {
        countdown = marovine::testing::FindMappedWindowTitled(display, kCountdownCaption);
        return countdown && marovine::testing::HasBeenPainted(display, *countdown);
      },
      60s, 50ms))
      << box.ReadFile("err.txt");
  const std::int64_t saved_at = ModifiedSeconds(document);
  EXPECT_TRUE(ListSaysSiteDone(folder, box.Path("store/"), document));
  EXPECT_TRUE(bus.MethodCalls(kLogind, kLogindObject, "PowerOff").empty());
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(
      xvfb.Screenshot(marovine::testing::ScreenshotPath("marovine_overnight_countdown.png")));

  // The countdown runs out: logind may, and is told to, without asking.
  ASSERT_TRUE(
      WaitFor([&] { return !bus.MethodCalls(kLogind, kLogindObject, "PowerOff").empty(); }, 60s))
      << box.ReadFile("err.txt");
  EXPECT_EQ(bus.MethodCalls(kLogind, kLogindObject, "PowerOff"),
            std::vector<std::string>{"[<false>]"});
  EXPECT_EQ(bus.MethodCalls(kLogind, kLogindObject, "CanPowerOff").size(), 1u);
  EXPECT_TRUE(bus.MethodCalls(kLogind, kLogindObject, "Suspend").empty());
  std::vector<std::int64_t> called_at = bus.MethodCallTimes(kLogind, kLogindObject, "PowerOff");
  ASSERT_EQ(called_at.size(), 1u);
  EXPECT_LE(saved_at, called_at[0]);

  // Then the window closes through its normal path and the program ends.
  ASSERT_TRUE(WaitFor([&] { return !program.Running(); }, 60s));
  EXPECT_EQ(program.Wait(), 0) << box.ReadFile("err.txt");
  EXPECT_TRUE(ListSaysSiteDone(folder, box.Path("store/"), document));
  XCloseDisplay(display);
}

}  // namespace
