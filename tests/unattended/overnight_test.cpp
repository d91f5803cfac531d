// A night left to the program, without a window: the schedule starts the
// crawl, every site is searched, the list is saved, and after the countdown
// logind (mocked on a private system bus) is told to switch the machine off.

#include <gtest/gtest.h>

#include "marovine/document/document_file.h"
#include "marovine/unattended/power_service.h"
#include "platform/file_io.h"
#include "tests/crawl/crawl_fixture.h"
#include "tests/support/loopback_server.h"
#include "tests/support/nginx_server.h"
#include "tests/support/private_system_bus.h"
#include "tests/support/wait_for.h"
#include "tests/unattended/unattended_fakes.h"

namespace marovine {
namespace {

using testing::EventLog;
using testing::LoopbackConnection;
using testing::LoopbackServer;
using testing::NginxServer;
using testing::PrivateSystemBus;
using testing::Sandbox;

TEST(OvernightTest, TheWindowStartsTheCrawlAndTheLastSiteEndsInAPowerOffAfterTheSave) {
  if (!testing::BusToolsPresent()) GTEST_SKIP() << "dbus-daemon or python3-dbusmock missing";
  Sandbox site;
  site.WriteFile("one/index.html", "<html><a href='a.jpg'>a</a><a href='b.jpg'>b</a></html>");
  site.WriteFile("one/a.jpg", Jpeg('a'));
  site.WriteFile("one/b.jpg", Jpeg('b'));
  site.WriteFile("two/index.html", "<html><a href='c.jpg'>c</a></html>");
  site.WriteFile("two/c.jpg", Jpeg('c'));
  NginxServer server(site.path());
  ASSERT_TRUE(server.ok());
  PrivateSystemBus bus;
  ASSERT_TRUE(bus.StartTemplate("logind", "org.freedesktop.login1"));

  Sandbox home;
  home.WriteFile("marovine.ini", CrawlTestIni(home.Path("store/")));
  WriteIniLines(home.Path("marovine.ini"),
                "[Schedule]\nHour1=23\nMin1=2\nHour2=7\nMin2=52\nStartMarovine=1\n"
                "FinishPowerOff=1\nPower=2\n[Ippan]\nSaveMrvFinish=1\n");
  CMarovineDoc doc(home.path(), home.Path("store/"));
  LinkRowModel links;
  DownloadRowModel downloads;
  ScriptedUiServices ui;
  doc.AddLinkView(&links);
  doc.SetDownloadView(&downloads);
  doc.SetUiServices(&ui);
  doc.document_path = home.Path("default.mrv");
  ASSERT_EQ(doc.RegisterUrl(server.Url("/one/index.html")), 1);
  ASSERT_EQ(doc.RegisterUrl(server.Url("/two/index.html")), 1);

  EventLog log;
  ClockTime now{22, 30};
  std::string saved_at_countdown;
  std::string document_at_countdown;
  testing::ScriptedCountdown countdown(log);
  countdown.on_run = [&] {
    saved_at_countdown = platform::ReadWholeFile(doc.document_path).value_or("");
    document_at_countdown = StoreDocument(doc);
  };
  LogindPowerService logind;
  UnattendedParts parts;
  parts.power = &logind;
  parts.countdown = &countdown;
  parts.ui = &ui;
  parts.close_main_window = [&] { log.push_back("close"); };
  parts.clock = [&] { return now; };
  UnattendedHooks hooks(doc, parts);
  doc.crawl().SetCrawlHooks(&hooks);

  // The evening: the maintenance of every 26th tick finds the window shut.
  for (int tick = 0; tick < 26; ++tick) doc.crawl().CrawlTick();
  EXPECT_FALSE(doc.crawl().running());
  // The window opens; the next maintenance starts the crawl by itself.
  now = ClockTime{23, 2};
  for (int tick = 0; tick < 25; ++tick) doc.crawl().CrawlTick();
  EXPECT_FALSE(doc.crawl().running());
  doc.crawl().CrawlTick();
  ASSERT_TRUE(doc.crawl().running());
  EXPECT_EQ(ui.StatusText(2), "開始  ");

  now = ClockTime{23, 5};
  doc.crawl().SetTickPeriod(std::chrono::milliseconds(20));
  ASSERT_TRUE(RunCrawlUntilFinished(doc, std::chrono::seconds(60)));
  for (const LinkItem& link : doc.link_items) EXPECT_EQ(link.state, LS_DONE) << link.url;
  std::set<std::string> fetched;
  for (const std::string& file : FilesBelow(home.Path("store/"))) {
    fetched.insert(file.substr(file.rfind('/') + 1));
  }
  EXPECT_TRUE(fetched.count("a.jpg") && fetched.count("b.jpg") && fetched.count("c.jpg"));
  EXPECT_EQ(ui.StatusText(1), "終了しました。");

  // The list as it stood at the end was on disk before the countdown began,
  // and only then was the machine switched off.
  EXPECT_FALSE(saved_at_countdown.empty());
  EXPECT_EQ(saved_at_countdown, document_at_countdown);
  EXPECT_EQ(bus.MethodCalls("org.freedesktop.login1", "/org/freedesktop/login1", "PowerOff"),
            (std::vector<std::string>{"[<false>]"}));
  EXPECT_EQ(log, (EventLog{"countdown", "close"}));
  EXPECT_EQ(doc.settings.power_when_all_done, 0);
}

TEST(OvernightTest, APowerActionAtTheWindowsEndSavesTheListThenStopsADownloadStillWriting) {
  if (!testing::BusToolsPresent()) GTEST_SKIP() << "dbus-daemon or python3-dbusmock missing";
  // A big file that arrives slowly: the transfer is still writing at 7:54.
  LoopbackServer server([](LoopbackConnection& connection) {
    connection.ReadRequestHead();
    connection.Send("HTTP/1.0 200 OK\r\nContent-Length: 10000000\r\n\r\n");
    connection.Send(std::string(4096, 'x'));
    connection.WaitForClientClose();
  });
  PrivateSystemBus bus;
  ASSERT_TRUE(bus.StartTemplate("logind", "org.freedesktop.login1"));
  Sandbox home;
  home.WriteFile("marovine.ini", CrawlTestIni(home.Path("store/")));
  WriteIniLines(home.Path("marovine.ini"), "[Schedule]\nPowerOffTime=1\nPower=0\n");
  CMarovineDoc doc(home.path(), home.Path("store/"));
  DownloadRowModel downloads;
  ScriptedUiServices ui;
  doc.SetDownloadView(&downloads);
  doc.SetUiServices(&ui);
  doc.document_path = home.Path("default.mrv");
  ASSERT_EQ(doc.RegisterUrl(server.Url("/big.jpg")), 1);

  EventLog log;
  ClockTime now{23, 30};
  std::string saved_at_countdown;
  int image_at_countdown = -1;
  std::size_t suspends_at_countdown = 99;
  testing::ScriptedCountdown countdown(log);
  countdown.on_run = [&] {
    saved_at_countdown = platform::ReadWholeFile(doc.document_path).value_or("");
    image_at_countdown = downloads.rows().at(0).image;
    suspends_at_countdown =
        bus.MethodCalls("org.freedesktop.login1", "/org/freedesktop/login1", "Suspend").size();
  };
  LogindPowerService logind;
  UnattendedParts parts;
  parts.power = &logind;
  parts.countdown = &countdown;
  parts.ui = &ui;
  parts.close_main_window = [&] { log.push_back("close"); };
  parts.clock = [&] { return now; };
  UnattendedHooks hooks(doc, parts);
  doc.crawl().SetCrawlHooks(&hooks);

  hooks.ScheduleCheck(doc);
  doc.crawl().StartCommand();
  ASSERT_TRUE(testing::WaitFor([&] {
    doc.crawl().CrawlTick();
    return doc.crawl().slots()[0].received > 0;
  }));
  now = ClockTime{7, 54};
  hooks.ScheduleCheck(doc);

  // Saved while the transfer was still running (stored to be resumed, so that
  // it is fetched again next time), told to stop, then the countdown, and
  // only after it the machine goes to sleep.
  CMarovineDoc reloaded(home.path(), home.Path("store/"));
  ASSERT_TRUE(LoadDocument(reloaded, saved_at_countdown).ok);
  ASSERT_EQ(reloaded.download_items.size(), 1u);
  EXPECT_EQ(reloaded.download_items[0].state, DS_RETRY_WAIT);
  EXPECT_EQ(image_at_countdown, IMAGE_STOPPED);
  EXPECT_EQ(suspends_at_countdown, 0u);
  EXPECT_EQ(bus.MethodCalls("org.freedesktop.login1", "/org/freedesktop/login1", "Suspend").size(),
            1u);
  EXPECT_EQ(log, (EventLog{"countdown", "close"}));
  // The stopped transfer ends and is collected like any other.
  doc.crawl().SetTickPeriod(std::chrono::milliseconds(20));
  EXPECT_TRUE(RunCrawlUntilFinished(doc, std::chrono::seconds(30)));
}

}  // namespace
}  // namespace marovine
