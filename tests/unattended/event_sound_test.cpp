// Event sounds through libcanberra into a private PulseAudio whose only
// sink is a null sink; its monitor is recorded to hear what arrived.

#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "marovine/unattended/canberra_sound_player.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"
#include "tests/support/wait_for.h"

namespace marovine {
namespace {

using testing::ChildProcess;
using testing::FindProgram;
using testing::Sandbox;
using testing::WaitFor;

// A sine tone as a 16-bit mono WAV file.
std::string WriteTone(const Sandbox& dir, const std::string& name, double seconds) {
  std::string path = dir.Path(name);
  SF_INFO info{};
  info.samplerate = 22050;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  EXPECT_NE(file, nullptr);
  std::vector<short> samples(static_cast<std::size_t>(seconds * info.samplerate));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<short>(12000 * std::sin(2 * 3.14159265 * 440 * i / info.samplerate));
  }
  sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(file);
  return path;
}

class EventSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (FindProgram("pulseaudio").empty() || FindProgram("parec").empty()) {
      GTEST_SKIP() << "pulseaudio or parec missing";
    }
    std::string run = sandbox_.Path("run/");
    ::mkdir(run.c_str(), 0700);
    socket_ = run + "native";
    std::vector<std::string> env = {"HOME=" + sandbox_.Path("home"), "XDG_RUNTIME_DIR=" + run};
    server_ = ChildProcess({FindProgram("pulseaudio"), "--daemonize=no", "-n", "--use-pid-file=no",
                            "--exit-idle-time=-1", "-L", "module-null-sink sink_name=marovine_null",
                            "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + socket_},
                           env, sandbox_.Path("pulse.log"), sandbox_.Path("pulse.log"));
    struct stat info {};
    ASSERT_TRUE(WaitFor([&] { return ::stat(socket_.c_str(), &info) == 0; }));
    ::setenv("PULSE_SERVER", ("unix:" + socket_).c_str(), 1);
    ::setenv("CANBERRA_DRIVER", "pulse", 1);
    recorder_ = ChildProcess({FindProgram("parec"), "-d", "marovine_null.monitor", "--raw",
                              "--format=s16le", "--channels=1", "--rate=8000",
                              // Recording with the default two-second buffer
                              // would make the null sink play in such blocks,
                              // and report a sound's end that late.
                              "--latency-msec=100"},
                             {}, sandbox_.Path("monitor.raw"), sandbox_.Path("parec.log"));
    // The null sink's monitor streams silence from the start.
    ASSERT_TRUE(WaitFor([&] { return Recorded().size() > 1000; }));
  }
  void TearDown() override {
    recorder_.Terminate();
    server_.Terminate();
    ::unsetenv("PULSE_SERVER");
    ::unsetenv("CANBERRA_DRIVER");
  }
  std::vector<short> Recorded() {
    std::ifstream in(sandbox_.Path("monitor.raw"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<short> samples(bytes.size() / 2);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
  }
  int Peak() {
    int peak = 0;
    for (short s : Recorded()) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
  }
  // Seconds from the first to the last loud sample of the recording.
  double LoudSpan() {
    std::vector<short> samples = Recorded();
    std::size_t first = samples.size();
    std::size_t last = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
      if (std::abs(static_cast<int>(samples[i])) < 3000) continue;
      first = std::min(first, i);
      last = i;
    }
    return first < samples.size() ? static_cast<double>(last - first) / 8000 : 0.0;
  }
  int SinkInputs() {
    std::string out = sandbox_.Path("inputs.txt");
    std::string command = FindProgram("pactl") + " list short sink-inputs > " + out;
    if (std::system(command.c_str()) != 0) return -1;
    std::ifstream in(out);
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
  }

  Sandbox sandbox_;
  std::string socket_;
  ChildProcess server_;
  ChildProcess recorder_;
};

TEST_F(EventSoundTest, TheExitSoundIsHeardToItsEnd) {
  std::string tone = WriteTone(sandbox_, "end.wav", 0.4);
  EXPECT_EQ(SoundFileLength(tone).count(), 400);
  EXPECT_LT(Peak(), 100);
  {
    CanberraSoundPlayer player;
    // The program's start sound has played long before its end.
    player.Play(WriteTone(sandbox_, "start.wav", 0.01));
    ASSERT_TRUE(WaitFor([&] { return !player.Playing(); }));
    player.PlayToEnd(tone);
  }
  // The player is gone, as the program is after its exit sound; the tone
  // reached the sink all the same (the server's start swallows a little of
  // any sound, so it is heard for somewhat less than its 0.4 s).
  EXPECT_TRUE(WaitFor([&] { return LoudSpan() >= 0.25; }))
      << "peak " << Peak() << ", heard for " << LoudSpan() << " s";
}

TEST_F(EventSoundTest, ASoundThatPlaysIsNotCutOffAndAMissingFilePlaysNothing) {
  std::string long_tone = WriteTone(sandbox_, "long.wav", 30);
  std::string short_tone = WriteTone(sandbox_, "short.wav", 0.2);
  CanberraSoundPlayer player;
  player.Play(sandbox_.Path("missing.wav"));
  ASSERT_TRUE(WaitFor([&] { return !player.Playing(); }));
  player.Play(long_tone);
  ASSERT_TRUE(WaitFor([&] { return SinkInputs() == 1; }));
  player.Play(short_tone);
  player.PlayToEnd(short_tone);  // returns at once: not started
  EXPECT_TRUE(player.Playing());
  EXPECT_EQ(SinkInputs(), 1);
}

TEST_F(EventSoundTest, ASoundServerThatStopsAnsweringHoldsNeitherTheSoundNorTheEnd) {
  std::string tone = WriteTone(sandbox_, "end.wav", 0.2);
  ::kill(server_.pid(), SIGSTOP);
  {
    CanberraSoundPlayer player;
    player.PlayToEnd(tone);
  }
  ::kill(server_.pid(), SIGCONT);
  SUCCEED();
}

}  // namespace
}  // namespace marovine
