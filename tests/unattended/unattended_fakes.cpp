#include "tests/unattended/unattended_fakes.h"

namespace marovine::testing {

namespace {

// Nothing to dial: the fake line answers for itself.
class NoNetwork : public DialUpNetwork {
 public:
  std::optional<std::vector<DialUpEntry>> ListEntries() override { return std::nullopt; }
  DialUpCredentials Credentials(const DialUpEntry& /*entry*/) override { return {}; }
  std::optional<std::string> Dial(const DialUpEntry& /*entry*/,
                                  const std::optional<DialUpCredentials>& /*typed*/,
                                  std::string& /*error*/) override {
    return std::nullopt;
  }
  DialProgress Progress(const std::string& /*handle*/) override { return {}; }
  void HangUp(const std::string& /*handle*/) override {}
  std::optional<std::vector<std::string>> Connections(const std::string& /*path*/) override {
    return std::nullopt;
  }
};

NoNetwork no_network;
HeadlessDialUpPrompt no_prompt([](std::chrono::milliseconds) {});

}  // namespace

FakeDialUpLine::FakeDialUpLine(EventLog& log)
    : DialUpLine(no_network, no_prompt, [](std::chrono::milliseconds) {}), log_(log) {}

UnattendedDoc::UnattendedDoc(const Sandbox& home, const std::string& ini) {
  home.WriteFile("marovine.ini", ini);
  doc = std::make_unique<CMarovineDoc>(home.path(), home.Path("store/"));
  doc->SetUiServices(&ui);
  doc->document_path = home.Path("default.mrv");
  UnattendedParts parts;
  parts.sounds = &sounds;
  parts.power = &power;
  parts.dial_up = &dial_up;
  parts.countdown = &countdown;
  parts.ui = &ui;
  parts.close_main_window = [this] { log.push_back("close"); };
  parts.clock = [this] { return now; };
  parts.sleep = [this](std::chrono::milliseconds period) {
    log.push_back("wait " + std::to_string(period.count()));
  };
  hooks = std::make_unique<UnattendedHooks>(*doc, std::move(parts));
  doc->crawl().SetCrawlHooks(hooks.get());
}

UnattendedDoc::~UnattendedDoc() {
  if (doc) doc->crawl().SetCrawlHooks(nullptr);
}

}  // namespace marovine::testing
