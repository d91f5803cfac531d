// The daily window, its one-shot actions and the actions after all searches,
// with a clock the test sets and logging stand-ins for sound, power and line.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "marovine/unattended/schedule_window.h"
#include "platform/file_io.h"
#include "tests/unattended/unattended_fakes.h"

namespace marovine {
namespace {

using testing::EventLog;
using testing::Sandbox;
using testing::UnattendedDoc;

bool Inside(int start_h, int start_m, int end_h, int end_m, int h, int m) {
  DocumentSettings settings;
  settings.schedule_start_hour = start_h;
  settings.schedule_start_minute = start_m;
  settings.schedule_end_hour = end_h;
  settings.schedule_end_minute = end_m;
  return InsideScheduleWindow(settings, ClockTime{h, m});
}

TEST(ScheduleWindowTest, AWindowOverMidnightTakesInTheMinuteAfterItsEnd) {
  struct Case {
    int h, m;
    bool inside;
  };
  for (Case c : {Case{23, 1, false}, Case{23, 2, true}, Case{0, 0, true}, Case{3, 0, true},
                 Case{7, 52, true}, Case{7, 53, true}, Case{7, 54, false}, Case{12, 0, false},
                 Case{23, 0, false}}) {
    EXPECT_EQ(Inside(23, 2, 7, 52, c.h, c.m), c.inside) << c.h << ":" << c.m;
  }
}

TEST(ScheduleWindowTest, EqualStartAndEndIsThatMinuteAndTheNext) {
  EXPECT_FALSE(Inside(10, 0, 10, 0, 9, 59));
  EXPECT_TRUE(Inside(10, 0, 10, 0, 10, 0));
  EXPECT_TRUE(Inside(10, 0, 10, 0, 10, 1));
  EXPECT_FALSE(Inside(10, 0, 10, 0, 10, 2));
  // Across midnight too.
  EXPECT_TRUE(Inside(23, 59, 23, 59, 0, 0));
  EXPECT_FALSE(Inside(23, 59, 23, 59, 0, 1));
}

TEST(ScheduleWindowTest, SettingsOutOfRangeNeitherOverflowNorLeaveTheDay) {
  EXPECT_FALSE(Inside(2147483647, 2147483647, -2147483647, 5, 12, 0) &&
               Inside(2147483647, 2147483647, -2147483647, 5, 0, 0) &&
               Inside(2147483647, 2147483647, -2147483647, 5, 6, 0) &&
               Inside(2147483647, 2147483647, -2147483647, 5, 18, 0));
  // 25:00 is 1:00 of the next day.
  EXPECT_TRUE(Inside(25, 0, 2, 0, 1, 30));
}

// Keys appended to it land in section Schedule.
constexpr const char* kScheduleIni =
    "[Ippan]\nNoEndWhenStart=0\n"
    "[Schedule]\nHour1=23\nMin1=2\nHour2=7\nMin2=52\n";

class ScheduleCheckTest : public ::testing::Test {
 protected:
  Sandbox home_;
};

TEST_F(ScheduleCheckTest, TheScheduledStartFiresOnceWhenTheWindowOpens) {
  UnattendedDoc u(home_, std::string(kScheduleIni) + "StartMarovine=1\n");
  ASSERT_EQ(u.doc->settings.start_at_schedule, 1);
  u.SetTime(23, 1);
  u.hooks->ScheduleCheck(*u.doc);
  EXPECT_FALSE(u.doc->crawl().running());
  u.SetTime(23, 2);
  u.hooks->ScheduleCheck(*u.doc);
  EXPECT_TRUE(u.doc->crawl().running());
  EXPECT_EQ(u.ui.StatusText(2), "開始  ");
  // Stopped by the user inside the window: the start does not come back.
  u.doc->crawl().StopListingCommand();
  u.SetTime(1, 0);
  u.hooks->ScheduleCheck(*u.doc);
  EXPECT_FALSE(u.doc->crawl().running());
  // Until the settings are loaded again.
  u.doc->LoadSettings();
  u.hooks->ScheduleCheck(*u.doc);
  EXPECT_TRUE(u.doc->crawl().running());
}

TEST_F(ScheduleCheckTest, TheScheduledExitNeedsTheWindowSeenOpenAndFiresOnce) {
  UnattendedDoc u(home_, std::string(kScheduleIni) + "FinishMarovine=1\n");
  // Started after the window: nothing to close.
  u.SetTime(8, 0);
  u.hooks->ScheduleCheck(*u.doc);
  EXPECT_TRUE(u.log.empty());
  u.SetTime(23, 30);
  u.hooks->ScheduleCheck(*u.doc);
  EXPECT_TRUE(u.hooks->inside_window());
  u.doc->crawl().ResumeQuietly();
  u.SetTime(7, 53);
  u.hooks->ScheduleCheck(*u.doc);
  EXPECT_TRUE(u.log.empty());
  u.SetTime(7, 54);
  u.hooks->ScheduleCheck(*u.doc);
  EXPECT_EQ(u.log, (EventLog{"close"}));
  EXPECT_FALSE(u.doc->crawl().running());
  EXPECT_EQ(u.ui.StatusText(2), "停止  ");
  // The next night the window opens and closes again, with the exit spent.
  u.SetTime(23, 30);
  u.hooks->ScheduleCheck(*u.doc);
  u.SetTime(8, 0);
  u.hooks->ScheduleCheck(*u.doc);
  EXPECT_EQ(u.log, (EventLog{"close"}));
}

TEST_F(ScheduleCheckTest, TheWindowsEndSavesStopsHangsUpThenCountsDownToThePowerAction) {
  UnattendedDoc u(home_,
                  std::string(kScheduleIni) +
                      "PowerOffTime=1\nDialCutTime=1\nPower=1\n[UrlInsert]\nInsertToDown=jpg\n");
  ASSERT_EQ(u.doc->RegisterUrl("http://127.0.0.1:9/a.jpg"), 1);
  bool saved_before_countdown = false;
  u.countdown.on_run = [&] {
    saved_before_countdown =
        platform::ReadWholeFile(home_.Path("default.mrv")).value_or("").find("a.jpg") !=
        std::string::npos;
  };
  u.SetTime(23, 30);
  u.hooks->ScheduleCheck(*u.doc);
  u.SetTime(7, 54);
  u.hooks->ScheduleCheck(*u.doc);
  // The timed hang-up, then the one of the power action.
  EXPECT_EQ(u.log, (EventLog{"hang up", "hang up", "countdown", "hibernate", "close"}));
  EXPECT_TRUE(saved_before_countdown);
  EXPECT_EQ(u.doc->settings.power_at_schedule_end, 0);
}

TEST_F(ScheduleCheckTest, ACancelledKeepDialIsDroppedUntilTheSettingsAreLoadedAgain) {
  UnattendedDoc u(home_, std::string(kScheduleIni) + "DialKeep=1\n");
  u.dial_up.dial_answer = false;
  u.SetTime(12, 0);
  u.hooks->ScheduleCheck(*u.doc);
  EXPECT_TRUE(u.log.empty()) << "outside the window the line is left alone";
  u.SetTime(23, 30);
  u.hooks->ScheduleCheck(*u.doc);
  EXPECT_EQ(u.log, (EventLog{"dial", "wait 4000"}));
  u.hooks->ScheduleCheck(*u.doc);
  EXPECT_EQ(u.log.size(), 2u);
  // Loaded again and dialled up: a line that is up is not dialled.
  u.doc->LoadSettings();
  u.dial_up.dial_answer = true;
  u.hooks->ScheduleCheck(*u.doc);
  u.hooks->ScheduleCheck(*u.doc);
  EXPECT_EQ(u.log, (EventLog{"dial", "wait 4000", "dial"}));
  // The transfer start asks the same.
  u.dial_up.connected = false;
  EXPECT_TRUE(u.hooks->DialUpKeepCheck(*u.doc));
  EXPECT_EQ(u.log.back(), "dial");
}

TEST_F(ScheduleCheckTest, TheFirstAllFinishedAfterStartUpOnlyPlaysItsSound) {
  UnattendedDoc u(home_,
                  "[Ippan]\nNoEndWhenStart=1\n[Schedule]\nFinishMarovineKensaku=1\n"
                  "[Sound]\nCheck7=1\nSound7=done.wav\n");
  // A crawl that starts by itself with nothing to do ends without exiting.
  u.doc->crawl().ResumeQuietly();
  u.doc->crawl().CrawlTick();
  EXPECT_EQ(u.log, (EventLog{"play done.wav"}));
  EXPECT_EQ(u.ui.StatusText(1), "終了しました。");
  u.doc->crawl().ResumeQuietly();
  u.doc->crawl().CrawlTick();
  EXPECT_EQ(u.log, (EventLog{"play done.wav", "play done.wav", "close"}));
}

TEST_F(ScheduleCheckTest, AllSearchesFinishedRunsThePowerActionAfterSavingAndStopping) {
  UnattendedDoc u(home_,
                  "[Ippan]\nNoEndWhenStart=0\n[Schedule]\nFinishPowerOff=1\nDialCut=1\n"
                  "DialKeep=1\n[Sound]\nCheck2=1\nSound2=stop.wav\n");
  bool saved_before_countdown = false;
  u.countdown.on_run = [&] {
    saved_before_countdown = platform::ReadWholeFile(home_.Path("default.mrv")).has_value();
  };
  u.doc->crawl().ResumeQuietly();
  u.doc->crawl().CrawlTick();
  EXPECT_EQ(u.log,
            (EventLog{"hang up", "play stop.wav", "hang up", "countdown", "suspend", "close"}));
  EXPECT_TRUE(saved_before_countdown);
  EXPECT_EQ(u.doc->settings.keep_dial_up, 0);
  EXPECT_EQ(u.doc->settings.power_when_all_done, 0);
}

TEST_F(ScheduleCheckTest, ACancelledCountdownKeepsTheProgramRunningAndAsksAgainInFull) {
  UnattendedDoc u(home_, "[Schedule]\nPower=2\n");
  u.countdown.runs_out = false;
  u.hooks->PowerAction();
  EXPECT_EQ(u.log, (EventLog{"countdown cancelled"}));
  u.countdown.runs_out = true;
  u.hooks->PowerAction();
  EXPECT_EQ(u.log, (EventLog{"countdown cancelled", "countdown", "power off", "close"}));

  ShutdownCountdown countdown;
  EXPECT_EQ(countdown.seconds_left(), 10);
  int steps = 0;
  while (!countdown.Step()) {
    ++steps;
    EXPECT_EQ(countdown.bar_position(), 50 - steps);
    EXPECT_EQ(countdown.seconds_left(), (50 - steps) / 5);
  }
  EXPECT_EQ(steps, 50);  // 51 steps of 200 ms until OK
  countdown.Restart();
  EXPECT_EQ(countdown.bar_position(), 50);
  EXPECT_FALSE(countdown.RunOut());
}

TEST_F(ScheduleCheckTest, EventSoundsFollowTheirCheckBoxesAndTheExitSoundIsWaitedFor) {
  UnattendedDoc u(home_,
                  "[Sound]\nCheck3=1\nSound3=start.wav\nCheck4=1\nSound4=end.wav\n"
                  "Check5=0\nSound5=file.wav\nCheck8=1\nSound8=\n");
  for (int event = 0; event <= 9; ++event) u.hooks->PlayEventSound(event);
  EXPECT_EQ(u.log, (EventLog{"play start.wav", "play to end end.wav"}));
}

TEST_F(ScheduleCheckTest, EachFetchedFileIsHeardAndASwitchedOffSoundStopsWithinASecond) {
  UnattendedDoc u(home_, "[Sound]\nCheck5=1\nSound5=file.wav\n");
  u.hooks->PlayEventSound(EVENT_DOWNLOAD_DONE);
  u.hooks->PlayEventSound(EVENT_DOWNLOAD_DONE);
  EXPECT_EQ(u.log, (EventLog{"play file.wav", "play file.wav"}));
  ASSERT_TRUE(u.doc->profile.WriteString("Sound", "Check5", "0"));
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  u.log.clear();
  u.hooks->PlayEventSound(EVENT_DOWNLOAD_DONE);
  EXPECT_TRUE(u.log.empty()) << u.log.front();
}

}  // namespace
}  // namespace marovine
