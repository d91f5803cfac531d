#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "marovine/document/marovine_doc.h"
#include "marovine/unattended/unattended_hooks.h"
#include "tests/support/sandbox.h"
#include "tests/support/scripted_ui_services.h"

namespace marovine::testing {

// Everything the unattended hooks do lands in one log, in order.
using EventLog = std::vector<std::string>;

class LoggingSoundPlayer : public SoundPlayer {
 public:
  explicit LoggingSoundPlayer(EventLog& log) : log_(log) {}
  void Play(const std::string& path) override { log_.push_back("play " + path); }
  void PlayToEnd(const std::string& path) override { log_.push_back("play to end " + path); }

 private:
  EventLog& log_;
};

class ScriptedCountdown : public CountdownPresenter {
 public:
  explicit ScriptedCountdown(EventLog& log) : log_(log) {}
  bool RunCountdown() override {
    log_.push_back(runs_out ? "countdown" : "countdown cancelled");
    if (on_run) on_run();
    return runs_out;
  }
  bool runs_out = true;
  std::function<void()> on_run;

 private:
  EventLog& log_;
};

class LoggingPowerService : public PowerService {
 public:
  explicit LoggingPowerService(EventLog& log) : log_(log) {}
  PowerResult Request(PowerKind kind) override {
    const char* names[] = {"suspend", "hibernate", "power off"};
    log_.push_back(names[static_cast<int>(kind)]);
    return PowerResult{true, ""};
  }

 private:
  EventLog& log_;
};

// A dial-up line whose state the test sets.
class FakeDialUpLine : public DialUpLine {
 public:
  explicit FakeDialUpLine(EventLog& log);
  bool IsConnected(const platform::Profile& /*profile*/) override { return connected; }
  void HangUpAll(const platform::Profile& /*profile*/) override {
    log_.push_back("hang up");
    connected = false;
  }
  bool Dial(platform::Profile& /*profile*/) override {
    log_.push_back("dial");
    connected = dial_answer;
    return dial_answer;
  }
  bool connected = false;
  bool dial_answer = true;

 private:
  EventLog& log_;
};

// A document in a sandbox with the unattended hooks installed over logging
// parts and a clock the test sets.
struct UnattendedDoc {
  explicit UnattendedDoc(const Sandbox& home, const std::string& ini);
  ~UnattendedDoc();
  void SetTime(int hour, int minute) { now = ClockTime{hour, minute}; }

  EventLog log;
  ClockTime now{12, 0};
  LoggingSoundPlayer sounds{log};
  ScriptedCountdown countdown{log};
  LoggingPowerService power{log};
  FakeDialUpLine dial_up{log};
  ScriptedUiServices ui;
  std::unique_ptr<CMarovineDoc> doc;
  std::unique_ptr<UnattendedHooks> hooks;
};

}  // namespace marovine::testing
